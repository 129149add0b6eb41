// The terrain's levels of detail: chunk height bounds, the distances where levels hand over, frustum culling and the
// chunk choice of each frame.
#include "core/terrain_lod.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "core/terrain.h"

namespace {

// A level's vertices slide onto the next level's over this share of the distance where the slide starts.
constexpr float morphShare = 0.5f;
float distanceToBox(const glm::vec3& p, const glm::vec3& low, const glm::vec3& high) {
    return glm::length(glm::clamp(p, low, high) - p);
}

void visitChunk(const TerrainLod& lod, const glm::vec3& eye, const Frustum& frustum, int32_t level, int32_t column,
                int32_t row, std::vector<TerrainChunk>& out) {
    glm::vec3 low, high;
    chunkBox(lod, level, column, row, low, high);
    if (boxOutsideFrustum(frustum, low, high)) return;
    const float distance = distanceToBox(eye, low, high);
    // Only chunks wholly past the finer level's reach are drawn at this level; see buildTerrainLod for why two
    // chunks that meet then differ by one level at most, and why the finer one has finished sliding there.
    if (level == 0 || distance > lod.morphEnd[std::size_t(level - 1)]) {
        const int32_t side = chunkCells << level;
        out.push_back(TerrainChunk{column * side, row * side, level, distance});
        return;
    }
    const std::size_t finer = std::size_t(level - 1);
    for (int32_t r = 2 * row; r < std::min(2 * row + 2, lod.chunksDown[finer]); ++r) {
        for (int32_t c = 2 * column; c < std::min(2 * column + 2, lod.chunksAcross[finer]); ++c) {
            visitChunk(lod, eye, frustum, level - 1, c, r, out);
        }
    }
}

} // namespace

Frustum frustumPlanes(const glm::mat4& m) {
    // Gribb and Hartmann: -w <= x, y, z <= w in clip space, each side a row combination of the matrix.
    auto row = [&m](int i) { return glm::vec4(m[0][i], m[1][i], m[2][i], m[3][i]); };
    Frustum f;
    f.planes = {row(3) + row(0), row(3) - row(0), row(3) + row(1), row(3) - row(1), row(3) + row(2), row(3) - row(2)};
    return f;
}

bool boxOutsideFrustum(const Frustum& frustum, const glm::vec3& low, const glm::vec3& high) {
    for (const glm::vec4& p : frustum.planes) {
        // The corner farthest along the plane's normal: if even it is outside, the whole box is.
        const glm::vec3 corner(p.x >= 0.0f ? high.x : low.x, p.y >= 0.0f ? high.y : low.y,
                               p.z >= 0.0f ? high.z : low.z);
        if (p.x * corner.x + p.y * corner.y + p.z * corner.z + p.w < 0.0f) return true;
    }
    return false;
}

TerrainLod buildTerrainLod(int32_t width, int32_t height, const int16_t* samples, float heightScale) {
    TerrainLod lod;
    if (width < 2 || height < 2 || !samples) return lod;
    const int32_t cellsX = width - 1, cellsZ = height - 1;
    int32_t levels = 1;
    while ((chunkCells << (levels - 1)) < std::max(cellsX, cellsZ) && levels < maxTerrainLevels) ++levels;
    lod.width = width;
    lod.height = height;
    lod.levelCount = levels;

    for (int32_t l = 0; l < levels; ++l) {
        const int32_t side = chunkCells << l;
        lod.chunksAcross[std::size_t(l)] = (cellsX + side - 1) / side;
        lod.chunksDown[std::size_t(l)] = (cellsZ + side - 1) / side;
        lod.heightBounds[std::size_t(l)].assign(
            std::size_t(lod.chunksAcross[std::size_t(l)]) * std::size_t(lod.chunksDown[std::size_t(l)]),
            glm::vec2(std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()));
    }
    // Level 0 from the samples, each chunk with both its border rows and columns; every coarser level from the four
    // (or fewer, at the map's edge) chunks it is made of.
    std::vector<glm::vec2>& finest = lod.heightBounds[0];
    for (int32_t row = 0; row < lod.chunksDown[0]; ++row) {
        for (int32_t column = 0; column < lod.chunksAcross[0]; ++column) {
            int16_t lowest = std::numeric_limits<int16_t>::max(), highest = std::numeric_limits<int16_t>::min();
            const int32_t x0 = column * chunkCells, z0 = row * chunkCells;
            for (int32_t z = z0; z <= std::min(z0 + chunkCells, cellsZ); ++z) {
                const int16_t* line = samples + std::size_t(z) * std::size_t(width);
                for (int32_t x = x0; x <= std::min(x0 + chunkCells, cellsX); ++x) {
                    lowest = std::min(lowest, line[x]);
                    highest = std::max(highest, line[x]);
                }
            }
            finest[std::size_t(row) * std::size_t(lod.chunksAcross[0]) + std::size_t(column)] =
                glm::vec2(sampleHeight(lowest, heightScale), sampleHeight(highest, heightScale));
        }
    }
    for (int32_t l = 1; l < levels; ++l) {
        const std::size_t finer = std::size_t(l - 1);
        for (int32_t row = 0; row < lod.chunksDown[finer]; ++row) {
            for (int32_t column = 0; column < lod.chunksAcross[finer]; ++column) {
                const std::size_t at = std::size_t(row) * std::size_t(lod.chunksAcross[finer]) + std::size_t(column);
                const glm::vec2 child = lod.heightBounds[finer][at];
                const std::size_t up =
                    std::size_t(row / 2) * std::size_t(lod.chunksAcross[std::size_t(l)]) + std::size_t(column / 2);
                glm::vec2& parent = lod.heightBounds[std::size_t(l)][up];
                parent = glm::vec2(std::min(parent.x, child.x), std::max(parent.y, child.y));
            }
        }
    }

    // The hand-over distances. A chunk of level l is split when its box comes within morphEnd[l - 1], so all of a
    // split chunk lies within morphEnd[l - 1] plus its diagonal. Starting level l's slide only past that distance
    // means that where a level l - 1 chunk meets a level l chunk, the coarser one has not begun to slide while the
    // finer one (whose neighbour lies wholly past morphEnd[l - 1]) has finished: both draw the same edge. The same
    // margin keeps a chunk from meeting one two levels coarser.
    lod.morphStart[0] = fullDetailDistance;
    lod.morphEnd[0] = fullDetailDistance * (1.0f + morphShare);
    for (int32_t l = 1; l < levels; ++l) {
        float extent = 0.0f;
        for (const glm::vec2& b : lod.heightBounds[std::size_t(l)]) extent = std::max(extent, b.y - b.x);
        const float side = float(chunkCells << l);
        const float diagonal = std::sqrt(2.0f * side * side + extent * extent);
        lod.morphStart[std::size_t(l)] = lod.morphEnd[std::size_t(l - 1)] + diagonal;
        lod.morphEnd[std::size_t(l)] = lod.morphStart[std::size_t(l)] * (1.0f + morphShare);
    }
    lod.morphStart[std::size_t(levels - 1)] = std::numeric_limits<float>::max();
    lod.morphEnd[std::size_t(levels - 1)] = std::numeric_limits<float>::max();
    return lod;
}

void chunkBox(const TerrainLod& lod, int32_t level, int32_t column, int32_t row, glm::vec3& low, glm::vec3& high) {
    const int32_t side = chunkCells << level;
    const glm::vec2 bounds =
        lod.heightBounds[std::size_t(level)][std::size_t(row) * std::size_t(lod.chunksAcross[std::size_t(level)]) +
                                             std::size_t(column)];
    low = glm::vec3(float(column * side), bounds.x, float(row * side));
    high = glm::vec3(float(std::min((column + 1) * side, lod.width - 1)), bounds.y,
                     float(std::min((row + 1) * side, lod.height - 1)));
}

void selectTerrainChunks(const TerrainLod& lod, const glm::vec3& eye, const Frustum& frustum,
                         std::vector<TerrainChunk>& out) {
    out.clear();
    if (lod.levelCount <= 0) return;
    const int32_t top = lod.levelCount - 1;
    for (int32_t row = 0; row < lod.chunksDown[std::size_t(top)]; ++row) {
        for (int32_t column = 0; column < lod.chunksAcross[std::size_t(top)]; ++column) {
            visitChunk(lod, eye, frustum, top, column, row, out);
        }
    }
    std::sort(out.begin(), out.end(),
              [](const TerrainChunk& a, const TerrainChunk& b) { return a.distance < b.distance; });
}

std::size_t maxTerrainChunks(const TerrainLod& lod) {
    return lod.levelCount > 0 ? lod.heightBounds[0].size() : 0;
}

glm::mat4 terrainBodyFromGrid(int32_t width, int32_t height) {
    return glm::translate(glm::mat4(1.0f), glm::vec3(-0.5f * float(width), 0.0f, -0.5f * float(height)));
}
