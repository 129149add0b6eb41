// The terrain's chunk choice: what the view excludes is not drawn, what it sees is drawn once, full resolution near
// the eye, and chunks that meet at different levels draw the same edge.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "core/terrain.h"
#include "core/terrain_lod.h"

namespace {

constexpr int32_t side = 1025; // grid points: 1024 cells, five levels
constexpr float nearPlane = 0.5f, farPlane = 500.0f;

// Rolling hills 60 units high with a rough 4-unit jitter on top: plenty of height inside every chunk's box.
const std::vector<int16_t>& hills() {
    static const std::vector<int16_t> samples = [] {
        std::vector<int16_t> s(std::size_t(side) * side);
        std::mt19937 random(11);
        std::uniform_real_distribution<float> jitter(-2.0f, 2.0f);
        for (int32_t z = 0; z < side; ++z)
            for (int32_t x = 0; x < side; ++x) {
                const float h = 30.0f * std::sin(float(x) / 40.0f) * std::cos(float(z) / 55.0f) + jitter(random);
                s[std::size_t(z) * side + std::size_t(x)] = int16_t(std::lround(h / 100.0f * 32767.0f));
            }
        return s;
    }();
    return samples;
}

float heightAt(int32_t x, int32_t z) { return sampleHeight(hills()[std::size_t(z) * side + std::size_t(x)], 100.0f); }

// An eye in grid space and the direction it looks.
struct Eye { glm::vec3 at, look; };
void PrintTo(const Eye& e, std::ostream* out) { *out << "eye (" << e.at.x << ", " << e.at.y << ", " << e.at.z << ")"; }
const Eye eyes[] = {
    {{300.0f, 60.0f, 500.0f}, {1.0f, -0.15f, 0.2f}},  // across the map, a little down
    {{512.0f, 40.0f, 100.0f}, {0.0f, -0.05f, 1.0f}},  // along z, near the horizon
    {{700.0f, 170.0f, 700.0f}, {-0.3f, -1.0f, -0.2f}}, // high above, looking down
    {{20.0f, 45.0f, 20.0f}, {1.0f, -0.1f, 1.0f}},     // from a corner
};

glm::mat4 clipFromGrid(const Eye& e) {
    return glm::perspective(glm::radians(60.0f), 1.0f, nearPlane, farPlane) *
           glm::lookAt(e.at, e.at + e.look, glm::vec3(0.0f, 1.0f, 0.0f));
}

// Seen, by projecting the point itself: inside all six clip planes.
bool inView(const glm::mat4& clip, const glm::vec3& p) {
    const glm::vec4 c = clip * glm::vec4(p, 1.0f);
    return c.w > 0.0f && std::abs(c.x) <= c.w && std::abs(c.y) <= c.w && std::abs(c.z) <= c.w;
}

struct Rect { int32_t x0, z0, x1, z1; };
Rect rectOf(const TerrainChunk& c) {
    const int32_t size = chunkCells << c.level;
    return {c.x, c.z, std::min(c.x + size, side - 1), std::min(c.z + size, side - 1)};
}

class TerrainChunks : public testing::TestWithParam<Eye> {
protected:
    TerrainLod lod = buildTerrainLod(side, side, hills().data());
    std::vector<TerrainChunk> chunks;
};

TEST_P(TerrainChunks, DrawEverythingInViewOnceFullDetailNearTheEyeAndMeetOtherLevelsOnTheSameEdge) {
    const glm::mat4 clip = clipFromGrid(GetParam());
    selectTerrainChunks(lod, GetParam().at, frustumPlanes(clip), chunks);
    ASSERT_FALSE(chunks.empty());

    // Each chunk: not wholly beyond one clip plane (checked on its box corners in clip space), full resolution
    // wherever its ground comes within fullDetailDistance, nearest first.
    long drawnCells = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const TerrainChunk& c = chunks[i];
        const Rect r = rectOf(c);
        drawnCells += long(r.x1 - r.x0) * (r.z1 - r.z0);
        float low = 1e9f, high = -1e9f, nearest = 1e9f;
        for (int32_t z = r.z0; z <= r.z1; ++z)
            for (int32_t x = r.x0; x <= r.x1; ++x) {
                low = std::min(low, heightAt(x, z));
                high = std::max(high, heightAt(x, z));
                nearest = std::min(nearest, glm::length(glm::vec3(x, heightAt(x, z), z) - GetParam().at));
            }
        for (int plane = 0; plane < 6; ++plane) {
            bool allBeyond = true;
            for (int corner = 0; corner < 8 && allBeyond; ++corner) {
                const glm::vec4 p = clip * glm::vec4(corner & 1 ? r.x1 : r.x0, corner & 2 ? high : low,
                                                     corner & 4 ? r.z1 : r.z0, 1.0f);
                const float along = plane < 2 ? p.x : plane < 4 ? p.y : p.z;
                allBeyond = plane % 2 == 0 ? along < -p.w : along > p.w;
            }
            EXPECT_FALSE(allBeyond) << "chunk at " << c.x << ", " << c.z << " level " << c.level << " plane " << plane;
        }
        if (nearest < fullDetailDistance) { EXPECT_EQ(c.level, 0) << "chunk at " << c.x << ", " << c.z; }
        if (i > 0) { EXPECT_LE(chunks[i - 1].distance, c.distance); }
    }
    // The view holds far less than the map: culling, not the map's size, bounds the work.
    EXPECT_LT(drawnCells, long(side - 1) * (side - 1) / 3);
    EXPECT_LT(chunks.size(), maxTerrainChunks(lod) / 8);

    // Every grid point in view lies in a drawn chunk, and no cell lies in two.
    for (int32_t z = 0; z < side - 1; z += 3) {
        for (int32_t x = 0; x < side - 1; x += 3) {
            int covering = 0, holding = 0;
            for (const TerrainChunk& c : chunks) {
                const Rect r = rectOf(c);
                covering += x >= r.x0 && x <= r.x1 && z >= r.z0 && z <= r.z1;
                holding += x >= r.x0 && x < r.x1 && z >= r.z0 && z < r.z1;
            }
            if (inView(clip, glm::vec3(x, heightAt(x, z), z))) { EXPECT_GT(covering, 0) << x << ", " << z; }
            EXPECT_LE(holding, 1) << "cell " << x << ", " << z;
        }
    }

    // Chunks that meet differ by one level and draw the same edge.
    const glm::vec3 eye = GetParam().at;
    int levelSeams = 0;
    for (const TerrainChunk& a : chunks) {
        for (const TerrainChunk& b : chunks) {
            if (a.level >= b.level) continue;
            const Rect fine = rectOf(a), coarse = rectOf(b);
            // The stretch of border they share, if any.
            const bool alongX = fine.z1 == coarse.z0 || fine.z0 == coarse.z1;
            const bool alongZ = fine.x1 == coarse.x0 || fine.x0 == coarse.x1;
            const int32_t from = alongX ? std::max(fine.x0, coarse.x0) : std::max(fine.z0, coarse.z0);
            const int32_t to = alongX ? std::min(fine.x1, coarse.x1) : std::min(fine.z1, coarse.z1);
            if (!(alongX || alongZ) || from >= to) continue;
            ++levelSeams;
            EXPECT_EQ(b.level, a.level + 1) << "chunks at " << a.x << ", " << a.z << " and " << b.x << ", " << b.z;
            // Along the seam the finer chunk has slid all the way onto the coarser level, which has not begun to
            // slide onto the next: both draw the coarser level's edge.
            const int32_t line = alongX ? (fine.z1 == coarse.z0 ? fine.z1 : fine.z0)
                                        : (fine.x1 == coarse.x0 ? fine.x1 : fine.x0);
            for (int32_t t = from; t <= to; ++t) {
                const int32_t x = alongX ? t : line, z = alongX ? line : t;
                const float d = glm::length(glm::vec3(x, heightAt(x, z), z) - eye);
                EXPECT_GE(d, lod.morphEnd[std::size_t(a.level)]) << "seam point " << x << ", " << z;
                EXPECT_LE(d, lod.morphStart[std::size_t(b.level)]) << "seam point " << x << ", " << z;
            }
        }
    }
    EXPECT_GT(levelSeams, 0) << "the view should show a change of level";
}

INSTANTIATE_TEST_SUITE_P(Views, TerrainChunks, testing::ValuesIn(eyes));

// A course of lower hills has lower chunk boxes: ground taller than its box would be culled while in view.
TEST(TerrainChunkBounds, FollowTheCoursesHeightScale) {
    const TerrainLod tall = buildTerrainLod(side, side, hills().data(), 100.0f);
    const TerrainLod low = buildTerrainLod(side, side, hills().data(), 40.0f);
    ASSERT_EQ(low.levelCount, tall.levelCount);
    for (int level = 0; level < tall.levelCount; level += 2) {
        for (std::size_t i = 0; i < tall.heightBounds[std::size_t(level)].size(); i += 97) {
            const glm::vec2 t = tall.heightBounds[std::size_t(level)][i], l = low.heightBounds[std::size_t(level)][i];
            EXPECT_NEAR(l.x, 0.4f * t.x, 1e-3f) << "level " << level << ", chunk " << i;
            EXPECT_NEAR(l.y, 0.4f * t.y, 1e-3f) << "level " << level << ", chunk " << i;
        }
    }
}

} // namespace
