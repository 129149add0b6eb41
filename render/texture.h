// 2D textures from image files: the two loaders and the fourteen textures of start-up.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

struct Texture {
    uint32_t textureId = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t channelCount = 0; // 8-bit channels per pixel in the file
    uint32_t unit = 0;        // 0 diffuse, 1 specular, 2 normal map
    std::string filePath; // copied, so a model's texture path cannot dangle

    Texture() = default;
    explicit Texture(std::string path) : filePath(std::move(path)) {}

    // Repeating, mipmapped; keeps the file's channel count. False (and a message) when decoding fails.
    // Every upload uses an unpack alignment of 1, so rows of any byte length are read exactly.
    bool load();
    // Clamped to the border, linear; decoded and uploaded as three channels whatever the file holds.
    bool loadClampedRgb();
    void clear();
};

// GL pixel format for a channel count: 1 red, 2 red-green, 3 RGB, anything else RGBA.
uint32_t textureFormatForChannels(int channelCount);

extern Texture grassTexture, grassSpecularTexture, grassNormalTexture, particleTexture;
extern Texture boostPTexture, boostTexture, boostGaugeTexture, boostGaugePointerTexture;
extern Texture timePTexture, timeTexture, youWonTexture, youLostTexture, getReadyTexture, letRollTexture;

// Start-up step: loads the fourteen textures and sets the terrain units. A missing image prints its line and
// stays empty; the scene pass sets its two materials right after this step.
void loadStartupTextures();
// Releases the fourteen textures; needs the context.
void releaseStartupTextures();
