// The mountain sky box: six faces in one cube map, drawn around the camera and used as the environment map.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include <glm/mat4x4.hpp>

#include "core/sky_faces.h"
#include "gl/mesh.h"
#include "gl/shader.h"

// Owns its program, cube mesh and cube map (moved, never copied); released by releaseSkybox.
struct Skybox {
    Mesh cubeMesh;   // empty when a face failed to load: the sky is then skipped
    Shader shader;   // empty when the sky's program could not be built
    uint32_t cubeMap = 0;
    int32_t projectionLocation = -1;
    int32_t viewLocation = -1;

    Skybox() = default;
    Skybox(const Skybox&) = delete;
    Skybox& operator=(const Skybox&) = delete;
    Skybox(Skybox&& other) noexcept
        : cubeMesh(std::move(other.cubeMesh)), shader(std::move(other.shader)),
          cubeMap(std::exchange(other.cubeMap, 0)), projectionLocation(other.projectionLocation),
          viewLocation(other.viewLocation) {}
    // Swaps, so whatever this held is left in other for its owner to release.
    Skybox& operator=(Skybox&& other) noexcept {
        std::swap(cubeMesh, other.cubeMesh);
        std::swap(shader, other.shader);
        std::swap(cubeMap, other.cubeMap);
        std::swap(projectionLocation, other.projectionLocation);
        std::swap(viewLocation, other.viewLocation);
        return *this;
    }
};

// True when the sky has all its faces and its program: only then is it drawn and mirrored.
inline bool skyShown(const Skybox& sky) { return sky.cubeMesh.indexCount > 0; }

// Loads the sky from the six faces into sky (which must be empty), with its program from the data folder. A face
// or program that fails prints its line and leaves the sky unshown.
void loadSkybox(Skybox& sky, const std::array<std::string, skyboxFaceCount>& facePaths);
// Draws the sky on the far plane where the depth buffer is still clear, after the opaque scene; writes no depth and
// leaves the depth test at GL_LESS. Nothing for an unshown sky.
void drawSkybox(const Skybox& sky, const glm::mat4& view, const glm::mat4& projection);
void releaseSkybox(Skybox& sky);
