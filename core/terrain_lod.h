// The drawn terrain in chunks: height bounds of every chunk at every level of detail, the view frustum, and the
// choice each frame of which chunks to draw at which level. Plain maths, no GL.
//
// Grid space: x and z count heightmap columns and rows (grid point (x, z) is drawn at world x - width / 2,
// z - height / 2), y is in world units. A chunk at level l covers chunkCells << l cells on a side with one small
// grid mesh of chunkCells x chunkCells cells, so its vertices stand 1 << l grid points apart. Level 0 is the full
// resolution surface the ball rolls on. Towards the end of its level's distance a chunk's odd vertices slide onto
// their even neighbours, so where a chunk meets one a level coarser both draw the same edge: no cracks, no pops.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

constexpr int32_t chunkCells = 16;    // cells along each side of the chunk grid mesh
constexpr int maxTerrainLevels = 9;   // 16 << 8 = 4096 cells: one chunk covers the largest map
// Within this distance of the eye the terrain is drawn at full resolution: well past the arm's longest reach (80).
constexpr float fullDetailDistance = 150.0f; // world units

// Built once from the heightmap. A level's chunks are numbered row by row.
struct TerrainLod {
    int32_t width = 0;  // grid points
    int32_t height = 0;
    int32_t levelCount = 0;
    std::array<int32_t, maxTerrainLevels> chunksAcross{};
    std::array<int32_t, maxTerrainLevels> chunksDown{};
    // Lowest and highest ground of each chunk, world units, its border rows and columns included.
    std::array<std::vector<glm::vec2>, maxTerrainLevels> heightBounds;
    // Distances from the eye between which a level's odd vertices slide onto the next level's; the coarsest level
    // never slides. A chunk whose box comes nearer than morphEnd[l - 1] is drawn as four chunks of level l - 1.
    std::array<float, maxTerrainLevels> morphStart{};
    std::array<float, maxTerrainLevels> morphEnd{};
};

struct TerrainChunk {
    int32_t x = 0; // first grid point
    int32_t z = 0;
    int32_t level = 0;
    float distance = 0.0f; // from the eye to the nearest point of the chunk's box
};

// Six planes (a, b, c, d), each with inside where a x + b y + c z + d >= 0: left, right, bottom, top, near, far.
struct Frustum {
    std::array<glm::vec4, 6> planes{};
};

// The planes of clip space pulled back through clipFromSpace, in the space it starts from.
Frustum frustumPlanes(const glm::mat4& clipFromSpace);
// True when the box lies wholly outside one of the planes.
bool boxOutsideFrustum(const Frustum& frustum, const glm::vec3& low, const glm::vec3& high);

// The bounds and distances of a width x height grid of samples (s stands for heightScale * s / 32767 world units).
// Empty (levelCount 0) for a grid without a cell.
TerrainLod buildTerrainLod(int32_t width, int32_t height, const int16_t* samples, float heightScale = 100.0f);
// The box of a chunk in grid space.
void chunkBox(const TerrainLod& lod, int32_t level, int32_t column, int32_t row, glm::vec3& low, glm::vec3& high);
// Replaces out with the chunks to draw for an eye at eye (grid space) looking through frustum (grid space): every
// point of the terrain inside the frustum lies in exactly one of them, and none lies wholly outside. Nearest
// first, so hidden ground fails the depth test before it is shaded. Does not allocate once out has grown.
void selectTerrainChunks(const TerrainLod& lod, const glm::vec3& eye, const Frustum& frustum,
                         std::vector<TerrainChunk>& out);
// How many chunks selectTerrainChunks can give at most: every chunk of level 0.
std::size_t maxTerrainChunks(const TerrainLod& lod);

// Grid space to the terrain body's space: a shift by half the map.
glm::mat4 terrainBodyFromGrid(int32_t width, int32_t height);
