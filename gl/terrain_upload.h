// The course's ground on the GPU: its heights as a texture, the chunk grid mesh, the chunk buffer and the levels of
// detail, made from a race's terrain and released when the course goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/terrain.h"
#include "core/terrain_lod.h"
#include "gl/mesh.h"
#include "gl/texture.h"

// Owns the height texture, the chunk mesh and the chunk buffer; made by uploadTerrain, freed by releaseTerrainGpu.
struct TerrainGpu {
    int32_t width = 0;  // grid points of the uploaded terrain
    int32_t height = 0;
    float heightScale = 100.0f;
    uint32_t heightTexture = 0; // mesh heights s / 32767, one texel per grid point
    Mesh mesh;                  // one chunk of chunkCells x chunkCells cells, drawn once per chunk
    uint32_t chunkBuffer = 0;   // the drawn chunks' records, read once per instance
    TerrainLod lod;
    std::vector<TerrainChunk> drawnChunks; // this frame's choice; room for every chunk of level 0, made up front
    Texture grass; // the course's own grass diffuse map; empty for the default grass, drawn with the start-up one

    TerrainGpu() = default;
    TerrainGpu(const TerrainGpu&) = delete;
    TerrainGpu& operator=(const TerrainGpu&) = delete;
};

// The levels of detail, the height texture, the chunk mesh and the chunk buffer of t. False, with nothing left made,
// when the driver refuses the height texture. gpu must be empty (released). Throws std::bad_alloc when memory runs out.
bool uploadTerrain(TerrainGpu& gpu, const Terrain& t);
// Loads a course's own grass diffuse map (repeating, mipmapped, on the diffuse unit) into gpu; a file that cannot be
// read prints its line and leaves the default grass.
void loadCourseGrass(TerrainGpu& gpu, const std::string& file);
// Deletes everything uploadTerrain and loadCourseGrass made and empties gpu; needs the context.
void releaseTerrainGpu(TerrainGpu& gpu);
