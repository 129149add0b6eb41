// Models on the GPU: the imported meshes and their material textures, the five start-up models and the markers.
#include "gl/model.h"

#include <cstdio>

#include "gl/gl_util.h"
#include "core/model_import.h"
#include "core/scene_layout.h"
#include "gl/shader.h"

namespace {

// Loads one material texture; on failure prints the model's line and gives an empty texture.
Texture loadMaterialTexture(const std::string& path, uint32_t unit, const char* failureFormat) {
    Texture texture(path);
    texture.unit = unit;
    if (!texture.load()) {
        std::printf(failureFormat, path.c_str());
        texture.clear();
    }
    return texture;
}

struct StartupModel {
    Model StartupModels::*model;
    const char* path;
};
const StartupModel startupModels[] = {
    {&StartupModels::ball, "Models/Golf_Ball_sale.obj"},
    {&StartupModels::flag, "Models/flag.obj"},
    {&StartupModels::flag1, "Models/flag1.obj"},
    {&StartupModels::stick, "Models/stick.obj"},
    {&StartupModels::marker, "Models/ico.obj"},
};

} // namespace

void Model::loadModel(const char* path) {
    const ImportedModel imported = importModelFile(path);
    if (!imported.ok) {
        std::printf("Model (%s) failed to load: %s", path, imported.error.c_str());
        return;
    }
    meshList.reserve(imported.meshes.size());
    for (const ImportedMesh& m : imported.meshes) {
        Mesh& mesh = meshList.emplace_back();
        mesh.createMesh(m.vertices.data(), m.indices.data(), static_cast<uint32_t>(m.vertices.size()),
                        static_cast<uint32_t>(m.indices.size()));
        meshMaterial.push_back(m.materialIndex);
    }

    textureList.resize(imported.materials.size());
    for (std::size_t i = 0; i < imported.materials.size(); ++i) {
        const ImportedMaterial& material = imported.materials[i];
        if (!material.diffusePath.empty()) {
            textureList[i] =
                loadMaterialTexture(material.diffusePath, diffuseUnit, "Failed to load texture at: %s\n");
        }
        // One specular and one normal map serve the whole model: a later material's texture replaces the
        // earlier one (released here, nothing else refers to it), and a later failed load leaves none.
        if (!material.specularPath.empty()) {
            specularMap.clear();
            specularMap =
                loadMaterialTexture(material.specularPath, specularUnit, "Failed to load specularmap at: %s\n");
        }
        if (!material.normalPath.empty()) {
            normalMap.clear();
            normalMap = loadMaterialTexture(material.normalPath, normalUnit, "Failed to load normalmap at: %s\n");
        }
    }
}

void Model::draw() const {
    for (std::size_t i = 0; i < meshList.size(); ++i) {
        // A mesh without a diffuse texture binds nothing: whatever unit 0 holds stays bound.
        const uint32_t material = meshMaterial[i];
        if (material < textureList.size() && textureList[material].textureId != 0) {
            bindTexture2D(textureList[material]);
        }
        if (specularMap.textureId != 0) {
            bindTexture2D(specularMap);
        }
        if (normalMap.textureId != 0) {
            bindTexture2D(normalMap);
        }
        meshList[i].draw();
    }
}

void Model::clear() {
    for (Mesh& mesh : meshList) {
        mesh.clear();
    }
    meshList.clear();
    meshMaterial.clear();
    for (Texture& texture : textureList) {
        texture.clear();
    }
    textureList.clear();
    specularMap.clear();
    normalMap.clear();
}

void loadStartupModels(StartupModels& models) {
    // A model that fails prints its line and stays empty, which draws nothing; start-up goes on.
    for (const StartupModel& entry : startupModels) {
        Model& model = models.*entry.model;
        model = Model();
        model.loadModel(entry.path);
    }
}

void releaseStartupModels(StartupModels& models) {
    for (const StartupModel& entry : startupModels) {
        (models.*entry.model).clear();
    }
}

void drawMarkers(const Model& marker, int32_t modelLocation, const std::vector<glm::vec3>& checkpoints,
                 const std::vector<bool>& reached, float animationTime) {
    for (std::size_t i = 1; i + 2 <= checkpoints.size(); ++i) {
        if (!checkpointHasMarker(i, reached)) {
            continue;
        }
        uploadMatrix(modelLocation, markerModelMatrix(checkpoints[i], i, animationTime));
        marker.draw();
    }
}
