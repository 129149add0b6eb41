// Vertex layout, indexed meshes on the GPU, and models imported with Assimp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/texture.h"

// Fourteen floats at attribute locations 0..4; the normal points into the surface.
struct Vertex {
    float position[3];
    float texCoord[2];
    float normal[3];
    float tangent[3];
    float bitangent[3];
};
static_assert(sizeof(Vertex) == 56, "Vertex is fourteen packed floats");
constexpr int floatsPerVertex = 14;

struct Mesh {
    uint32_t vao = 0;
    uint32_t vbo = 0;
    uint32_t ibo = 0;
    int32_t indexCount = 0;

    void createMesh(const float* vertices, const uint32_t* indices, uint32_t floatCount, uint32_t indexCountIn);
    void draw() const;
    void clear();
};

// The CPU half of an import: what loadModel uploads. Usable without a context.
struct ImportedMesh {
    std::vector<float> vertices;   // floatsPerVertex per vertex
    std::vector<uint32_t> indices;
    uint32_t materialIndex = 0;
};
struct ImportedMaterial {
    std::string diffusePath, specularPath, normalPath; // "Textures/..." or empty
};
struct ImportedModel {
    bool ok = false;
    std::string error;
    std::vector<ImportedMesh> meshes;
    std::vector<ImportedMaterial> materials;
};
// Missing normals, tangents or bitangents are stored as zeros, missing texture coordinates as (0, 0);
// faces that are not triangles (points, lines) are dropped.
ImportedModel importModelFile(const char* path);
// "Textures/" + the part after the last backslash (forward slashes are kept).
std::string materialTexturePath(const std::string& pathInMaterial);

struct Model {
    std::vector<Mesh*> meshList;
    std::vector<Texture*> textureList;
    std::vector<uint32_t> meshMaterial;
    Texture* specularMap = nullptr;
    Texture* normalMap = nullptr;

    // Prints "Model (...) failed to load: ..." and stays empty when the file cannot be imported. A later
    // material's specular or normal map replaces (and releases) an earlier one.
    void loadModel(const char* path);
    void draw() const;
    // Releases meshes and textures with their GL objects; needs the context.
    void clear();
};

extern Model ballModel, flagModel, flagModel1, stickModel, markerModel;
// Start-up step: the five models, in order.
void loadStartupModels();
void releaseStartupModels();

// Terrain meshes released by shutdown.
extern std::vector<Mesh*> terrainMeshes;
