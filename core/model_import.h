// Model files read into plain vertex and index lists and material texture paths: no GL, usable without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/vertex.h"

// What Model::loadModel uploads.
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
