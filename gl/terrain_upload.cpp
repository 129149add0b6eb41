// The course's ground on the GPU: its heights, chunk mesh, chunk buffer and grass, made from the race's course and freed.
#include "gl/terrain_upload.h"

#include <GL/glew.h>

#include <cstddef>
#include <vector>

#include <glm/vec2.hpp>


namespace {

// The chunk grid: (chunkCells + 1)^2 grid positions, two triangles per cell split along the diagonal from (x + 1, z)
// to (x, z + 1), counter-clockwise seen from above. The index buffer stays bound in the vertex array.
void createChunkMesh(Mesh& mesh) {
    constexpr int32_t side = chunkCells + 1;
    std::vector<glm::ivec2> positions;
    positions.reserve(std::size_t(side * side));
    for (int32_t z = 0; z < side; ++z)
        for (int32_t x = 0; x < side; ++x) positions.emplace_back(x, z);
    std::vector<uint32_t> indices;
    indices.reserve(std::size_t(6 * chunkCells * chunkCells));
    for (int32_t z = 0; z < chunkCells; ++z) {
        for (int32_t x = 0; x < chunkCells; ++x) {
            const uint32_t v = uint32_t(z * side + x), below = v + uint32_t(side);
            indices.insert(indices.end(), {v, below, v + 1, v + 1, below, below + 1});
        }
    }
    mesh.indexCount = int32_t(indices.size());
    glGenVertexArrays(1, &mesh.vao);
    glBindVertexArray(mesh.vao);
    glGenBuffers(1, &mesh.vbo);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(positions.size() * sizeof(glm::ivec2)), positions.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribIPointer(0, 2, GL_INT, sizeof(glm::ivec2), nullptr);
    glGenBuffers(1, &mesh.ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint32_t)), indices.data(),
                 GL_STATIC_DRAW);
}

} // namespace

bool uploadTerrain(TerrainGpu& gpu, const Terrain& t) {
    gpu.width = t.width;
    gpu.height = t.height;
    gpu.heightScale = t.heightScale;
    gpu.lod = buildTerrainLod(t.width, t.height, t.samples.data(), t.heightScale);
    // Errors left by earlier steps are theirs (the debug output has shown them); only the upload's own count here.
    while (glGetError() != GL_NO_ERROR) {
    }

    // Mesh heights s / 32767, read with texelFetch: every vertex stands on a grid point. Filled a row at a time, so
    // start-up never holds a second copy of the map.
    glGenTextures(1, &gpu.heightTexture);
    glBindTexture(GL_TEXTURE_2D, gpu.heightTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32F, t.width, t.height, 0, GL_RED, GL_FLOAT, nullptr);
    std::vector<float> row(std::size_t(t.width));
    for (int32_t z = 0; z < t.height; ++z) {
        const int16_t* line = t.samples.data() + std::size_t(z) * std::size_t(t.width);
        for (int32_t x = 0; x < t.width; ++x) row[std::size_t(x)] = meshHeight(line[x]);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, z, t.width, 1, GL_RED, GL_FLOAT, row.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (glGetError() != GL_NO_ERROR) {
        releaseTerrainGpu(gpu);
        return false;
    }

    createChunkMesh(gpu.mesh);
    // Each drawn chunk's record, of which the shader reads the first grid point and level once per instance; room
    // for every chunk of level 0, the most that can be drawn at once.
    glGenBuffers(1, &gpu.chunkBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, gpu.chunkBuffer);
    gpu.drawnChunks.reserve(maxTerrainChunks(gpu.lod));
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(maxTerrainChunks(gpu.lod) * sizeof(TerrainChunk)), nullptr,
                 GL_STREAM_DRAW);
    glEnableVertexAttribArray(1);
    glVertexAttribIPointer(1, 3, GL_INT, sizeof(TerrainChunk),
                           reinterpret_cast<const void*>(offsetof(TerrainChunk, x)));
    glVertexAttribDivisor(1, 1);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

void loadCourseGrass(TerrainGpu& gpu, const std::string& file) {
    gpu.grass.clear();
    gpu.grass = Texture(file);
    gpu.grass.unit = diffuseUnit;
    if (!gpu.grass.load()) {
        gpu.grass.clear();
    }
}

void releaseTerrainGpu(TerrainGpu& gpu) {
    gpu.grass.clear();
    glDeleteTextures(1, &gpu.heightTexture);
    glDeleteBuffers(1, &gpu.chunkBuffer);
    gpu.heightTexture = 0;
    gpu.chunkBuffer = 0;
    gpu.mesh.clear();
    gpu.lod = TerrainLod{};
    // The chunk list's memory goes with the course, so a smaller course that follows keeps no room for a larger one.
    std::vector<TerrainChunk>().swap(gpu.drawnChunks);
    gpu.width = gpu.height = 0;
}
