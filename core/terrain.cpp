// The course ground: heightmap decoding, the goal hollow, the ground height as drawn and the collision heightfield.
#include "core/terrain.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>
#include <btBulletDynamicsCommon.h>

#include "core/course.h"
#include "core/image.h"
#include "core/shader_file.h"

namespace {

const char* const heightmapErrorMessage = "Error loading heightmap from file";
const char* const heightmapTooSmallMessage = "Heightmap is smaller than 2 x 2 pixels";
const char* const heightmapTooLargeMessage = "Heightmap is larger than 4096 x 4096 pixels";
// The largest course: a larger map is refused before it is decoded, since a small file can declare an image far too
// big to hold.
constexpr int maxHeightmapSide = 4096; // pixels

constexpr int32_t sampleZero = 32767;        // the decoded value that becomes height 0
constexpr int32_t sampleLimit = 32767;       // largest magnitude of a converted sample
constexpr float heightfieldMin = -32768.0f;  // heightfield bounds, in raw sample units
constexpr float heightfieldMax = 32767.0f;
constexpr int hollowCentreDepth = 800;       // sample units (about 2.44 world units)
constexpr int hollowEdgeDepth = 600;
constexpr int hollowCornerDepth = 400;

} // namespace

HeightGrid loadCourseGrid(const char* path, float goalX, float goalZ) {
    HeightGrid grid = decodeHeightmap(path);
    // A heightfield needs at least one cell; without one the ball would fall forever.
    if (grid.width < 2 || grid.height < 2) throw new FileNotFoundException(heightmapTooSmallMessage, path);
    pressGoalHollow(grid, goalX, goalZ);
    return grid;
}

float sampleHeight(int16_t s, float heightScale) {
    return heightScale * float(s) / float(sampleLimit);
}

float meshHeight(int16_t s) {
    return float(s) / float(sampleLimit);
}

int16_t convertSample(uint16_t u) {
    // 65535 would land one past the top of the signed range; it is held at the top instead of wrapping.
    return int16_t(std::min(int32_t(u) - sampleZero, sampleLimit));
}

HeightGrid decodeHeightmap(const char* path) {
    Image16 image;
    const Decode16Result result = path ? decodeImage16(path, maxHeightmapSide, image) : Decode16Result::Unreadable;
    if (result == Decode16Result::TooLarge) throw new FileNotFoundException(heightmapTooLargeMessage, path);
    if (result != Decode16Result::Ok) {
        throw new FileNotFoundException(heightmapErrorMessage, path ? path : "");
    }

    HeightGrid grid;
    grid.width = image.width;
    grid.height = image.height;
    const std::size_t count = std::size_t(image.width) * std::size_t(image.height);
    grid.samples.resize(count);
    const std::size_t stride = std::size_t(image.channels);
    for (std::size_t i = 0; i < count; ++i) grid.samples[i] = convertSample(image.pixels[i * stride]);
    return grid;
}

void pressGoalHollow(HeightGrid& grid, float goalX, float goalZ) {
    if (grid.width <= 0 || grid.height <= 0 ||
        grid.samples.size() != std::size_t(grid.width) * std::size_t(grid.height)) return;
    const float fx = float(grid.width / 2) + goalX;
    const float fz = float(grid.height / 2) + goalZ;
    // Far outside the grid (or not a number) no point of the 3 x 3 hollow can land inside; this also keeps the
    // conversion to int defined.
    if (!(fx > -3.0f && fx < float(grid.width) + 3.0f && fz > -3.0f && fz < float(grid.height) + 3.0f)) return;
    const int32_t cx = int32_t(fx); // truncates toward zero
    const int32_t cz = int32_t(fz);
    for (int32_t dz = -1; dz <= 1; ++dz) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            const int32_t x = cx + dx, z = cz + dz;
            if (x < 0 || x >= grid.width || z < 0 || z >= grid.height) continue;
            const int depth = (dx == 0 && dz == 0) ? hollowCentreDepth
                            : (dx == 0 || dz == 0) ? hollowEdgeDepth
                                                   : hollowCornerDepth;
            int16_t& s = grid.samples[std::size_t(z) * std::size_t(grid.width) + std::size_t(x)];
            s = int16_t(std::max(int32_t(s) - depth, -sampleLimit));
        }
    }
}

Terrain::Terrain(HeightGrid&& grid, float scale) : heightScale(scale) {
    if (grid.width <= 0 || grid.height <= 0 ||
        grid.samples.size() != std::size_t(grid.width) * std::size_t(grid.height)) return;
    samples = std::move(grid.samples);
    width = grid.width;
    height = grid.height;
}

float drawnGroundHeight(const Terrain& t, float x, float z) {
    constexpr float none = -std::numeric_limits<float>::infinity();
    if (t.samples.empty() || t.width < 2 || t.height < 2) return none;
    const float gx = x + 0.5f * float(t.width);
    const float gz = z + 0.5f * float(t.height);
    // The last row and column belong to no drawn triangle; a position that is no number is nowhere.
    if (!(gx >= 0.0f && gz >= 0.0f && gx <= float(t.width - 1) && gz <= float(t.height - 1))) return none;
    const int32_t i = std::min(int32_t(gx), t.width - 2);
    const int32_t j = std::min(int32_t(gz), t.height - 2);
    const float fx = gx - float(i), fz = gz - float(j);
    auto at = [&t](int32_t column, int32_t row) {
        return sampleHeight(t.samples[std::size_t(row) * std::size_t(t.width) + std::size_t(column)], t.heightScale);
    };
    // Each cell is two triangles split along the diagonal from (i + 1, j) to (i, j + 1), as the terrain draws it.
    if (fx + fz <= 1.0f) {
        return at(i, j) + fx * (at(i + 1, j) - at(i, j)) + fz * (at(i, j + 1) - at(i, j));
    }
    return at(i + 1, j + 1) + (1.0f - fx) * (at(i, j + 1) - at(i + 1, j + 1)) +
           (1.0f - fz) * (at(i + 1, j) - at(i + 1, j + 1));
}

std::unique_ptr<btHeightfieldTerrainShape> createHeightfieldShape(const Terrain& t) {
    if (t.width < 2 || t.height < 2 || t.samples.empty()) return nullptr;
    // Bullet centres the shape's bounds on the body: with these bounds the collision surface sits half a unit
    // above and half a grid step beside the drawn one.
    return std::make_unique<btHeightfieldTerrainShape>(t.width, t.height, static_cast<const void*>(t.samples.data()),
                                                       t.heightScale / float(sampleLimit), heightfieldMin,
                                                       heightfieldMax, 1, PHY_SHORT, false);
}

PhysicsBody createTerrainBody(PhysicsWorld& world, const Terrain& t) {
    std::unique_ptr<btHeightfieldTerrainShape> shape = createHeightfieldShape(t);
    if (!shape) return PhysicsBody{};
    return createRigidBody(world, 0.0f, std::move(shape), 0.0f, 0.0f, 0.0f);
}

bool loadTerrain(const Course& course, Terrain& out) {
    const char* path = course.heightmapFile.c_str();
    try {
        out = Terrain(loadCourseGrid(path, course.goal().x, course.goal().z), course.heightScale);
    } catch (FileNotFoundException* e) {
        std::fprintf(stderr, "%s (%s) \n", e->what(), e->getFileName());
        delete e;
        return false;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Not enough memory for the heightmap (%s) \n", path);
        return false;
    }
    return true;
}
