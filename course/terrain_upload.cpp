// The terrain's start-up step in the game: the collision terrain from the heightmap, then its mesh on the GPU.
#include "course/terrain_upload.h"

#include <cstdio>
#include <new>

#include "render/model.h"

int setupTerrain() {
    if (setupTerrainCollision(heightmapPath) != 0) {
        return -1;
    }
    try {
        const TerrainGeometry geometry = buildTerrainGeometry(terrain->width, terrain->height, terrain->samples);
        terrain->mesh.createMesh(geometry.vertices.data(), geometry.indices.data(),
                                 static_cast<uint32_t>(geometry.vertices.size()),
                                 static_cast<uint32_t>(geometry.indices.size()));
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Not enough memory for the heightmap (%s) \n", heightmapPath);
        return -1;
    }
    terrainMeshes.push_back(&terrain->mesh);
    return 0;
}
