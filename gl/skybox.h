// The mountain sky box: six faces in one cube map, drawn around the camera and used as the environment map.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <glm/mat4x4.hpp>

#include "gl/mesh.h"
#include "gl/shader.h"
#include "core/sky_faces.h"

struct Skybox {
    Mesh* cubeMesh = nullptr;   // null when a face failed to load: the sky is then skipped
    Shader* shader = nullptr;
    uint32_t cubeMap = 0;
    int32_t projectionLocation = -1;
    int32_t viewLocation = -1;
};

Skybox* loadSkybox(const std::array<std::string, skyboxFaceCount>& facePaths);
// Start-up step: the six faces of the mountain panorama.
void setupSkybox();
// Draws the sky on the far plane where the depth buffer is still clear, after the opaque scene; writes no depth and
// leaves the depth test at GL_LESS.
void drawSkybox(const glm::mat4& view, const glm::mat4& projection);
void releaseSkybox();

// Made by setupSkybox; lives until shutdown.
extern Skybox* skybox;
