// The mountain sky box: six faces in one cube map, drawn around the camera and used as the environment map.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <glm/mat4x4.hpp>

#include "render/mesh.h"
#include "render/shader.h"

struct Skybox {
    Mesh* cubeMesh = nullptr;   // null when a face failed to load: the sky is then skipped
    Shader* shader = nullptr;
    uint32_t cubeMap = 0;
    int32_t projectionLocation = -1;
    int32_t viewLocation = -1;
};

constexpr int skyboxFaceCount = 6;
// Eight corners of the cube from -1 to 1 and its 36 indices, wound counter-clockwise seen from inside.
extern const std::array<float, 8 * 14> skyboxCubeVertices;
extern const std::array<uint32_t, 36> skyboxCubeIndices;

// The view matrix without its translation: the sky turns with the camera but never moves.
glm::mat4 stripTranslation(const glm::mat4& view);

Skybox* loadSkybox(const std::array<std::string, skyboxFaceCount>& facePaths);
// Start-up step: the six faces of the mountain panorama.
void setupSkybox();
void drawSkybox(const glm::mat4& view, const glm::mat4& projection);
void releaseSkybox();

// Made by setupSkybox; lives until shutdown.
extern Skybox* skybox;
