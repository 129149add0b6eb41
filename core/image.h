// Images decoded from files into memory (stb_image): the CPU half of every texture, sky face and heightmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 8 bits per channel, rows top to bottom, tightly packed.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channelCount = 0; // channels per pixel in the file
    int32_t channels = 0;     // channels per pixel in pixels
    std::vector<uint8_t> pixels;

    bool empty() const { return pixels.empty(); }
};

// 16 bits per channel (8-bit files arrive widened by 257).
struct Image16 {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0;
    std::vector<uint16_t> pixels;
};

// The largest picture decodeImage takes: four times the largest shipped texture on a side.
constexpr int maxImageSide = 4096; // pixels

// Decodes with the requested channel count (0 keeps the file's own). When the file is missing or cannot be decoded,
// prints "Failed to find: <path>" and gives an empty image; one that declares more than maxImageSide pixels on a side
// is refused before its pixels are decoded, with a line saying so. The file's first row is the first row (no flip).
Image decodeImage(const std::string& path, int channels);

enum class Decode16Result { Ok, Unreadable, TooLarge };
// Decodes quietly with the file's own channel count. A file that declares more than maxSide pixels on a side is
// refused before its pixels are decoded, since a small file can declare an image far too big to hold.
Decode16Result decodeImage16(const std::string& path, int maxSide, Image16& out);
