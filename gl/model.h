// Models: the meshes and material textures of one model file, the five start-up models and the checkpoint markers.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/vec3.hpp>

#include "gl/mesh.h"
#include "gl/texture.h"

// Owns its meshes and textures (moved, never copied); released only by clear(), while the context exists.
struct Model {
    std::vector<Mesh> meshList;
    std::vector<Texture> textureList;   // one diffuse texture per material; textureId 0 where there is none
    std::vector<uint32_t> meshMaterial; // material number of each mesh
    Texture specularMap;                // one for the whole model; textureId 0 when there is none
    Texture normalMap;

    Model() = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
    Model(Model&&) noexcept = default;
    Model& operator=(Model&&) noexcept = default;

    // Prints "Model (...) failed to load: ..." and stays empty when the file cannot be imported. A later
    // material's specular or normal map replaces (and releases) an earlier one.
    void loadModel(const char* path);
    void draw() const;
    void clear();
};

// The five models loaded at start-up.
struct StartupModels {
    Model ball, flag, flag1, stick, marker;
};
// Loads the five models, in order.
void loadStartupModels(StartupModels& models);
void releaseStartupModels(StartupModels& models);

// The markers of the checkpoints still to collect (1..count-2 not reached), turning with animationTime; sends only
// the model matrix through modelLocation, so both the scene pass and the shadow pass draw them with their own
// program.
void drawMarkers(const Model& marker, int32_t modelLocation, const std::vector<glm::vec3>& checkpoints,
                 const std::vector<bool>& reached, float animationTime);
