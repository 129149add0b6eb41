// The sky box's geometry, its six face files and the checks every face must pass: plain values, no GL.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <glm/mat4x4.hpp>

#include "core/image.h"

constexpr int skyboxFaceCount = 6;
// In cube-map order: +x, -x, +y, -y, +z, -z.
extern const std::array<std::string, skyboxFaceCount> skyboxFacePaths;
// Eight corners of the cube from -1 to 1 and its 36 indices, wound counter-clockwise seen from inside.
extern const std::array<float, 8 * 14> skyboxCubeVertices;
extern const std::array<uint32_t, 36> skyboxCubeIndices;

// The view matrix without its translation: the sky turns with the camera but never moves.
glm::mat4 stripTranslation(const glm::mat4& view);

// A face must be square and, after the first, of the first face's size (sideLength is 0 before the first face and
// then holds its size). False, after printing which face and its size, when it is not.
bool checkSkyFace(const std::string& path, const Image& face, int& sideLength);
