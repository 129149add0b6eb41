// Models are files a player can replace: the bytes before the first NUL are written as model.obj and any bytes after
// it as model.mtl beside it, so the material library a model names is fuzzed too; then importModelFile reads
// model.obj as the game reads Models/*.obj.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/model_import.h"
#include "core/vertex.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Import time grows faster than the file (vertex joining, smoothed normals); the shipped models are up to
    // 300 KiB, and past 64 KiB an input reaches nothing new and only makes each run slower.
    if (size > (64u << 10)) return 0;
    const auto* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const std::size_t objSize = split != nullptr ? std::size_t(split - data) : size;
    // importModelFile takes a path, so the bytes go to files of this process's own first.
    const std::string path = fuzz::writeFile("model.obj", data, objSize);
    const std::string library = fuzz::pathOf("model.mtl");
    if (split != nullptr) {
        fuzz::writeFile("model.mtl", split + 1, size - objSize - 1);
    } else {
        fuzz::removeFile(library);
    }

    const ImportedModel model = importModelFile(path.c_str());
    if (!model.ok) {
        fuzz::expect(model.meshes.empty() && !model.error.empty(), "a model that failed says why and holds nothing");
        return 0;
    }
    for (const ImportedMesh& mesh : model.meshes) {
        fuzz::expect(mesh.vertices.size() % floatsPerVertex == 0, "whole vertices");
        fuzz::expect(mesh.indices.size() % 3 == 0, "whole triangles");
        const std::size_t vertexCount = mesh.vertices.size() / floatsPerVertex;
        for (uint32_t index : mesh.indices) fuzz::expect(index < vertexCount, "triangles of this mesh's vertices");
        fuzz::expect(mesh.materialIndex < model.materials.size(), "a material the model has");
    }
    return 0;
}
