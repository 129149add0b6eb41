// Model files read with Assimp into plain vertex and index lists: the CPU half of loading a model.
#include "core/model_import.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cctype>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr unsigned int importFlags = aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                                     aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;

constexpr const char* materialTextureFolder = "Textures/";

void appendVector(std::vector<float>& out, const aiVector3D* array, unsigned int i, float sign) {
    // Tangents are missing when the mesh has no texture coordinates; zeros keep the slot defined.
    if (array == nullptr) {
        out.insert(out.end(), {0.0f, 0.0f, 0.0f});
        return;
    }
    out.insert(out.end(), {sign * array[i].x, sign * array[i].y, sign * array[i].z});
}

ImportedMesh importMesh(const aiMesh& mesh) {
    ImportedMesh result;
    result.materialIndex = mesh.mMaterialIndex;
    result.vertices.reserve(static_cast<std::size_t>(mesh.mNumVertices) * floatsPerVertex);
    const aiVector3D* texCoords = mesh.mTextureCoords[0];
    for (unsigned int i = 0; i < mesh.mNumVertices; ++i) {
        appendVector(result.vertices, mesh.mVertices, i, 1.0f);
        if (texCoords != nullptr) {
            result.vertices.insert(result.vertices.end(), {texCoords[i].x, texCoords[i].y});
        } else {
            result.vertices.insert(result.vertices.end(), {0.0f, 0.0f});
        }
        // The lit programs take the normal pointing into the surface.
        appendVector(result.vertices, mesh.mNormals, i, -1.0f);
        appendVector(result.vertices, mesh.mTangents, i, 1.0f);
        appendVector(result.vertices, mesh.mBitangents, i, 1.0f);
    }
    for (unsigned int f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        // Points and lines survive triangulation; in a triangle list they would shift every later triangle.
        if (face.mNumIndices != 3) {
            continue;
        }
        result.indices.insert(result.indices.end(), face.mIndices, face.mIndices + 3);
    }
    return result;
}

void importNode(const aiScene& scene, const aiNode& node, ImportedModel& model) {
    // Node transformations are ignored: every mesh keeps the coordinates of the file.
    for (unsigned int i = 0; i < node.mNumMeshes; ++i) {
        model.meshes.push_back(importMesh(*scene.mMeshes[node.mMeshes[i]]));
    }
    for (unsigned int i = 0; i < node.mNumChildren; ++i) {
        importNode(scene, *node.mChildren[i], model);
    }
}

std::string materialTexture(const aiMaterial* material, aiTextureType type) {
    aiString path;
    if (aiGetMaterialTextureCount(material, type) != 0 &&
        aiGetMaterialTexture(material, type, 0, &path) == AI_SUCCESS) {
        return materialTexturePath(path.C_Str());
    }
    return {};
}

// True when the first statement of a material library (after blank and comment lines) is "newmtl", or it has none.
bool startsWithNewMaterial(const std::string& text) {
    std::size_t line = 0;
    while (line < text.size()) {
        std::size_t at = text.find_first_not_of(" \t\r", line);
        const std::size_t end = text.find('\n', line);
        const std::size_t lineEnd = end == std::string::npos ? text.size() : end;
        if (at != std::string::npos && at < lineEnd && text[at] != '#') {
            const bool named = text.compare(at, 6, "newmtl") == 0;
            return named && (at + 6 == lineEnd || std::isspace(static_cast<unsigned char>(text[at + 6])) != 0);
        }
        line = lineEnd + 1;
    }
    return true;
}

// Assimp 5.2 follows a null material, and crashes, when a material library sets a texture before its first newmtl.
// Every file an .obj import opens besides the model itself is a material library, so each is checked here first and
// a bad one is refused, with the model.
class MaterialCheckingIO : public Assimp::DefaultIOSystem {
public:
    explicit MaterialCheckingIO(std::string model) : model_(std::move(model)) {}

    Assimp::IOStream* Open(const char* file, const char* mode = "rb") override {
        if (isLibrary(file)) {
            std::ifstream in(file, std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (in && !startsWithNewMaterial(text)) {
                refused = std::string(file) +
                          ": a material statement before the first newmtl; the model is refused";
                return nullptr;
            }
        }
        return DefaultIOSystem::Open(file, mode);
    }

    std::string refused; // why a material library was refused; empty when none was

private:
    bool isLibrary(const char* file) const {
        std::error_code error;
        return file != model_ && !std::filesystem::equivalent(file, model_, error) && !error;
    }

    std::string model_;
};

bool isObjFile(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".obj";
}

} // namespace

std::string materialTexturePath(const std::string& pathInMaterial) {
    // Only a backslash separates: models exported on Windows name absolute paths, relative ones are kept whole.
    const std::size_t lastBackslash = pathInMaterial.find_last_of('\\');
    const std::string name =
        lastBackslash == std::string::npos ? pathInMaterial : pathInMaterial.substr(lastBackslash + 1);
    return materialTextureFolder + name;
}

ImportedModel importModelFile(const char* path) {
    ImportedModel model;
    Assimp::Importer importer;
    MaterialCheckingIO* io = nullptr;
    if (isObjFile(path)) {
        io = new MaterialCheckingIO(path);
        importer.SetIOHandler(io); // the importer owns it from here
    }
    const aiScene* scene = importer.ReadFile(path, importFlags);
    if (io != nullptr && !io->refused.empty()) {
        model.error = io->refused;
        return model;
    }
    if (scene == nullptr) {
        model.error = importer.GetErrorString();
        return model;
    }
    if (scene->mRootNode != nullptr) {
        importNode(*scene, *scene->mRootNode, model);
    }
    model.materials.reserve(scene->mNumMaterials);
    for (unsigned int i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* material = scene->mMaterials[i];
        ImportedMaterial entry;
        entry.diffusePath = materialTexture(material, aiTextureType_DIFFUSE);
        entry.specularPath = materialTexture(material, aiTextureType_SPECULAR);
        entry.normalPath = materialTexture(material, aiTextureType_NORMALS);
        model.materials.push_back(entry);
    }
    model.ok = true;
    return model;
}
