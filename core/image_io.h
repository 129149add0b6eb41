// Encoding images, in memory or to disk: PNG (8-bit, one to four channels; 16-bit grey) and JPEG, byte-identical
// from run to run. The generator writes its assets with it, and the game the courses it makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/vec3.hpp>

// 8-bit pixels, row-major, top row first, channels interleaved (grey, grey-alpha, RGB or RGBA).
struct Image8 {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels;
};

// A channel value 0..1 as a byte, clamped and rounded.
uint8_t unitToByte(float v);
// A black three-channel image.
Image8 makeRgbImage(int width, int height);
// Sets one pixel of a three-channel image from 0..1 channels.
void setRgb(Image8& image, int x, int y, const glm::vec3& colour);

// Each writer returns true when the whole file was written. Otherwise it writes the reason (naming the path) into
// error and returns false; a partly written file is removed.
bool writePng8(const std::string& path, const Image8& image, std::string& error);
// One 16-bit grey sample per pixel, row-major, top row first.
bool writePng16Grey(const std::string& path, int width, int height, const std::vector<uint16_t>& samples,
                    std::string& error);
// The same PNG bytes in memory; name only names the image in the error.
bool encodePng8(const std::string& name, const Image8& image, std::vector<uint8_t>& out, std::string& error);
bool encodePng16Grey(const std::string& name, int width, int height, const std::vector<uint16_t>& samples,
                     std::vector<uint8_t>& out, std::string& error);
// Writes bytes as the whole file at path.
bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
// quality 1..100; grey, RGB or RGBA input (alpha is dropped by the format).
bool writeJpeg(const std::string& path, const Image8& image, int quality, std::string& error);

// Creates dir and its parents when missing. False, with the reason in error, when that fails.
bool ensureDirectory(const std::string& dir, std::string& error);
