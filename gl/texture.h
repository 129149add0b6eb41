// 2D textures on the GPU: the upload of a decoded image, the two loaders and the start-up textures.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "core/image.h"

// Texture units of the lit programs.
constexpr uint32_t diffuseUnit = 0, specularUnit = 1, normalUnit = 2, shadowUnit = 3, heightUnit = 4,
                   environmentUnit = 5;

// Owns its GL texture (moved, never copied); released only by clear(), while the context exists.
struct Texture {
    uint32_t textureId = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t channelCount = 0; // 8-bit channels per pixel in the file
    uint32_t unit = 0;        // 0 diffuse, 1 specular, 2 normal map
    std::string filePath;     // copied, so a model's texture path cannot dangle

    Texture() = default;
    explicit Texture(std::string path) : filePath(std::move(path)) {}
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    Texture(Texture&& other) noexcept
        : textureId(std::exchange(other.textureId, 0)), width(other.width), height(other.height),
          channelCount(other.channelCount), unit(other.unit), filePath(std::move(other.filePath)) {}
    // Swaps, so whatever this held is left in other for its owner to clear.
    Texture& operator=(Texture&& other) noexcept {
        std::swap(textureId, other.textureId);
        std::swap(width, other.width);
        std::swap(height, other.height);
        std::swap(channelCount, other.channelCount);
        std::swap(unit, other.unit);
        std::swap(filePath, other.filePath);
        return *this;
    }

    // Repeating, mipmapped; keeps the file's channel count. False (and a message) when decoding fails.
    bool load();
    // Clamped to the border, linear; decoded and uploaded as three channels whatever the file holds.
    bool loadClampedRgb();
    void clear();
};

// GL pixel format for a channel count: 1 red, 2 red-green, 3 RGB, anything else RGBA.
uint32_t textureFormatForChannels(int channelCount);
// A new texture holding the image (pixel and internal format from its channels) with its mipmaps; the unpack
// alignment is 1, so rows of any byte length are read exactly. Leaves no texture bound.
uint32_t uploadTexture(const Image& image, int32_t wrap, int32_t minFilter);

// The textures loaded at start-up: the terrain's three maps, the sparks' sprite and the HUD's pictures.
struct StartupTextures {
    Texture grass, grassSpecular, grassNormal, particle;
    Texture boostP, boost, boostGauge, boostGaugePointer;
    Texture timeP, time, youWon, youLost, getReady, letRoll;
    Texture digits, best, newRecord; // the race clock's digits, its record label and the new-record sprite
    Texture medals; // the won race's medal: one row per medal
    Texture paused;
};

// Loads every start-up texture and sets the terrain units. A missing image prints its line and stays empty.
void loadStartupTextures(StartupTextures& textures);
// Releases them; needs the context.
void releaseStartupTextures(StartupTextures& textures);
