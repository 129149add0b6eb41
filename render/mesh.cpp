// Indexed meshes on the GPU, model files imported with Assimp (parse, then upload), and the five start-up models.
#include "render/mesh.h"

#include <GL/glew.h>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cstddef>
#include <cstdio>

namespace {

constexpr unsigned int importFlags = aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                                     aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;

constexpr const char* materialTextureFolder = "Textures/";

// Attribute location, float count and float offset of each Vertex field.
struct AttributeLayout {
    GLuint location;
    GLint floats;
    std::size_t offset;
};
constexpr AttributeLayout vertexAttributes[] = {
    {0, 3, offsetof(Vertex, position)},
    {1, 2, offsetof(Vertex, texCoord)},
    {2, 3, offsetof(Vertex, normal)},
    {3, 3, offsetof(Vertex, tangent)},
    {4, 3, offsetof(Vertex, bitangent)},
};

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

// Loads one material texture on the heap; on failure prints the model's line and gives null.
Texture* loadMaterialTexture(const std::string& path, uint32_t unit, const char* failureFormat) {
    Texture* texture = new Texture(path);
    texture->unit = unit;
    if (!texture->load()) {
        std::printf(failureFormat, path.c_str());
        texture->clear();
        delete texture;
        return nullptr;
    }
    return texture;
}

void releaseTexture(Texture*& texture) {
    if (texture != nullptr) {
        texture->clear();
        delete texture;
        texture = nullptr;
    }
}

struct StartupModel {
    Model* model;
    const char* path;
};
const StartupModel startupModels[] = {
    {&ballModel, "Models/Golf_Ball_sale.obj"},
    {&flagModel, "Models/flag.obj"},
    {&flagModel1, "Models/flag1.obj"},
    {&stickModel, "Models/stick.obj"},
    {&markerModel, "Models/ico.obj"},
};

} // namespace

Model ballModel, flagModel, flagModel1, stickModel, markerModel;
std::vector<Mesh*> terrainMeshes;

void Mesh::createMesh(const float* vertices, const uint32_t* indices, uint32_t floatCount, uint32_t indexCountIn) {
    indexCount = static_cast<int32_t>(indexCountIn);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);

    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(uint32_t)) * indexCountIn, indices,
                 GL_STATIC_DRAW);

    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(float)) * floatCount, vertices, GL_STATIC_DRAW);

    for (const AttributeLayout& a : vertexAttributes) {
        glEnableVertexAttribArray(a.location);
        glVertexAttribPointer(a.location, a.floats, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(a.offset));
    }

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // Unbinding inside the vertex array drops its index buffer: draw() binds ibo itself every time.
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void Mesh::draw() const {
    glBindVertexArray(vao);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void Mesh::clear() {
    if (ibo != 0) {
        glDeleteBuffers(1, &ibo);
        ibo = 0;
    }
    if (vbo != 0) {
        glDeleteBuffers(1, &vbo);
        vbo = 0;
    }
    if (vao != 0) {
        glDeleteVertexArrays(1, &vao);
        vao = 0;
    }
    indexCount = 0;
}

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
    const aiScene* scene = importer.ReadFile(path, importFlags);
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

void Model::loadModel(const char* path) {
    const ImportedModel imported = importModelFile(path);
    if (!imported.ok) {
        std::printf("Model (%s) failed to load: %s", path, imported.error.c_str());
        return;
    }
    for (const ImportedMesh& m : imported.meshes) {
        Mesh* mesh = new Mesh();
        mesh->createMesh(m.vertices.data(), m.indices.data(), static_cast<uint32_t>(m.vertices.size()),
                         static_cast<uint32_t>(m.indices.size()));
        meshList.push_back(mesh);
        meshMaterial.push_back(m.materialIndex);
    }

    textureList.assign(imported.materials.size(), nullptr);
    for (std::size_t i = 0; i < imported.materials.size(); ++i) {
        const ImportedMaterial& material = imported.materials[i];
        if (!material.diffusePath.empty()) {
            textureList[i] = loadMaterialTexture(material.diffusePath, 0, "Failed to load texture at: %s\n");
        }
        // One specular and one normal map serve the whole model: a later material's texture replaces the
        // earlier one (released here, nothing else refers to it), and a later failed load leaves none.
        if (!material.specularPath.empty()) {
            releaseTexture(specularMap);
            specularMap = loadMaterialTexture(material.specularPath, 1, "Failed to load specularmap at: %s\n");
        }
        if (!material.normalPath.empty()) {
            releaseTexture(normalMap);
            normalMap = loadMaterialTexture(material.normalPath, 2, "Failed to load normalmap at: %s\n");
        }
    }
}

namespace {

void bindOnItsUnit(const Texture& texture) {
    glActiveTexture(GL_TEXTURE0 + texture.unit);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glActiveTexture(GL_TEXTURE0);
}

} // namespace

void Model::draw() const {
    for (std::size_t i = 0; i < meshList.size(); ++i) {
        // A mesh without a diffuse texture binds nothing: whatever unit 0 holds stays bound.
        const uint32_t material = meshMaterial[i];
        if (material < textureList.size() && textureList[material] != nullptr) {
            bindOnItsUnit(*textureList[material]);
        }
        if (specularMap != nullptr) {
            bindOnItsUnit(*specularMap);
        }
        if (normalMap != nullptr) {
            bindOnItsUnit(*normalMap);
        }
        meshList[i]->draw();
    }
}

void Model::clear() {
    for (Mesh* mesh : meshList) {
        mesh->clear();
        delete mesh;
    }
    meshList.clear();
    meshMaterial.clear();
    for (Texture*& texture : textureList) {
        releaseTexture(texture);
    }
    textureList.clear();
    releaseTexture(specularMap);
    releaseTexture(normalMap);
}

void loadStartupModels() {
    // A model that fails prints its line and stays empty, which draws nothing; start-up goes on.
    for (const StartupModel& entry : startupModels) {
        *entry.model = Model();
        entry.model->loadModel(entry.path);
    }
}

void releaseStartupModels() {
    for (const StartupModel& entry : startupModels) {
        entry.model->clear();
    }
}
