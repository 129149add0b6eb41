// The course ground from its heightmap: decoding, refusals, the goal hollow, and the collision surface the ball rolls
// on against the grid that is drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <btBulletDynamicsCommon.h>
#include <glm/glm.hpp>

#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

// The test course read with its heightmap at file.
class CourseGround : public testing::Test {
protected:
    // Writes the map and loads the course's ground from it; returns what that printed to stderr.
    std::string setUpFrom(int width, int height, int channels, int bits, const std::vector<uint16_t>& values) {
        EXPECT_TRUE(writePng(file, width, height, channels, bits, values));
        return setUp();
    }
    std::string setUp() {
        return stderrOf([&] { loaded = loadTerrain(course, terrain); });
    }
    int16_t sample(int x, int z) const { return terrain.samples[std::size_t(z * terrain.width + x)]; }

    TempDir dir;
    std::string file = dir.path("heightmap.png");
    Course course = [this] {
        Course c = testCourse();
        c.heightmapFile = file;
        return c;
    }();
    Terrain terrain;
    bool loaded = false;
};

TEST_F(CourseGround, AHeightmapGivesOneSignedHeightPerPixelInImageOrder) {
    struct Case {
        const char* what;
        int channels, bits;
        std::vector<uint16_t> values; // 2 x 2 pixels, every channel
        std::vector<int16_t> expected;
    };
    const Case cases[] = {
        {"16-bit grey", 1, 16, {0, 32767, 65535, 40000}, {-32767, 0, 32767, 7233}},
        {"8-bit grey widened by 257", 1, 8, {0, 128, 255, 1}, {-32767, 129, 32767, -32510}},
        {"only the first of several channels", 3, 16, {100, 9, 9, 200, 9, 9, 300, 9, 9, 400, 9, 9},
         {-32667, -32567, -32467, -32367}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writePng(file, 2, 2, c.channels, c.bits, c.values)) << c.what;
        const HeightGrid grid = decodeHeightmap(file.c_str());
        EXPECT_EQ(grid.width, 2) << c.what;
        EXPECT_EQ(grid.samples, c.expected) << c.what;
    }
}

TEST_F(CourseGround, AHeightmapTheCourseCannotUseIsRefusedWithOneLine) {
    EXPECT_EQ(setUp(), "Error loading heightmap from file (" + file + ") \n") << "missing";
    dir.write("heightmap.png", "this is no picture");
    EXPECT_EQ(setUp(), "Error loading heightmap from file (" + file + ") \n") << "no picture";
    EXPECT_EQ(setUpFrom(1, 4, 1, 8, {1, 2, 3, 4}), "Heightmap is smaller than 2 x 2 pixels (" + file + ") \n");
    EXPECT_EQ(setUpFrom(4097, 2, 1, 8, std::vector<uint16_t>(4097 * 2, 0)),
              "Heightmap is larger than 4096 x 4096 pixels (" + file + ") \n");
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(terrain.samples.empty() && terrain.width == 0) << "nothing half-loaded";
    EXPECT_EQ(stderrOf([&] { EXPECT_EQ(makeRace(course), nullptr); }),
              "Heightmap is larger than 4096 x 4096 pixels (" + file + ") \n")
        << "and no race on it";
}

TEST(GoalHollow, IsPressedUnderTheNearestGridPointAndStaysOnTheMap) {
    struct Case {
        const char* what;
        int width, height;
        int16_t level;
        float goalX, goalZ;
        std::vector<int16_t> expected; // row by row
    };
    const Case cases[] = {
        {"centre, edges and corners", 4, 3, 0, 0.0f, 0.0f, {0, -400, -600, -400, 0, -600, -800, -600, 0, -400, -600, -400}},
        {"truncated towards zero", 4, 3, 0, -0.5f, -0.9f, {-600, -800, -600, 0, -400, -600, -400, 0, 0, 0, 0, 0}},
        {"clipped at the map's corner", 4, 3, 0, -2.0f, -1.0f, {-800, -600, 0, 0, -600, -400, 0, 0, 0, 0, 0, 0}},
        {"held at the bottom", 3, 1, -32500, -1.0f, 0.0f, {-32767, -32767, -32500}},
        {"off the map", 3, 1, 7, 40.0f, 0.0f, {7, 7, 7}},
        {"no number", 3, 1, 7, std::nanf(""), 0.0f, {7, 7, 7}},
    };
    for (const Case& c : cases) {
        HeightGrid grid{c.width, c.height, std::vector<int16_t>(std::size_t(c.width * c.height), c.level)};
        pressGoalHollow(grid, c.goalX, c.goalZ);
        EXPECT_EQ(grid.samples, c.expected) << c.what;
    }
}

TEST_F(CourseGround, LoadingPressesTheHollowUnderTheCoursesGoalOfACourseSizedMap) {
    course.checkpoints.back() = glm::vec3(-133.0f, -74.5f, 177.0f);
    EXPECT_EQ(setUpFrom(512, 512, 1, 8, std::vector<uint16_t>(512 * 512, 128)), "");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(terrain.width, 512);
    // Grid point (x, z) is drawn at world (x - width / 2, z - height / 2).
    const int x = -133 + 256, z = 177 + 256;
    EXPECT_EQ(sample(x, z), sample(0, 0) - 800);
    EXPECT_EQ(sample(x + 1, z + 1), sample(0, 0) - 400);
    EXPECT_EQ(sample(x + 2, z), sample(0, 0)) << "and nowhere else";
}

// The drawn ground between grid points: straight along every cell edge and the diagonal from (x + 1, z) to
// (x, z + 1) that splits the cell, flat inside each of the two triangles, and nothing beyond the grid.
TEST(DrawnGround, MeetsTheGridAndIsFlatOnEachTriangleOfACell) {
    const int w = 4, h = 3;
    const std::vector<int16_t> samples{900, -3000, 12000, 40, 7000, -22000, 500, 31000, -800, 15000, -9000, 2500};
    const Terrain t(HeightGrid{w, h, samples}, 40.0f);
    auto ground = [&](const glm::vec3& p) { return drawnGroundHeight(t, p.x, p.z); };
    // Grid point (i, j) is drawn at world (i - w / 2, j - h / 2): half a unit off the grid along an odd side.
    auto point = [&](int i, int j) {
        return glm::vec3(float(i) - 0.5f * w, sampleHeight(samples[j * w + i], 40.0f), float(j) - 0.5f * h);
    };
    for (int j = 0; j + 1 < h; ++j) {
        for (int i = 0; i + 1 < w; ++i) {
            const glm::vec3 p = point(i, j), right = point(i + 1, j), below = point(i, j + 1);
            const glm::vec3 across = point(i + 1, j + 1);
            const glm::vec3 onGround[] = {p, right, below, across, glm::mix(p, right, 0.3f), glm::mix(p, below, 0.3f),
                                          glm::mix(right, below, 0.3f), glm::mix(right, across, 0.3f),
                                          glm::mix(below, across, 0.3f), (p + right + below) / 3.0f,
                                          (right + below + across) / 3.0f};
            for (const glm::vec3& q : onGround) EXPECT_NEAR(ground(q), q.y, 1e-3f) << q.x << ", " << q.z;
            // No step where the two triangles meet.
            const glm::vec3 middle = glm::mix(right, below, 0.5f), d(1e-4f, 0.0f, 1e-4f);
            EXPECT_NEAR(ground(middle + d), ground(middle - d), 0.02f) << i << ", " << j;
        }
    }
    const float none = -std::numeric_limits<float>::infinity();
    const glm::vec3 x(0.01f, 0.0f, 0.0f), z(0.0f, 0.0f, 0.01f);
    for (const glm::vec3& off : {point(0, 1) - x, point(w - 1, 1) + x, point(1, 0) - z, point(1, h - 1) + z,
                                 glm::vec3(std::nanf(""))}) {
        EXPECT_EQ(ground(off), none) << off.x << ", " << off.z;
    }
    EXPECT_EQ(drawnGroundHeight(Terrain{}, 0.0f, 0.0f), none) << "no grid";
}

// Bullet centres the heightfield on its body: the collision surface lies half a grid step beside and half a unit
// above the drawn one, so the drawn ball (radius 1, twice the collision radius) touches the drawn grass. Both follow
// the course's height scale.
TEST_F(CourseGround, TheCollisionSurfaceIsTheDrawnGridShiftedHalfAStepAndLiftedHalfAUnit) {
    const int w = 12, h = 9;
    std::vector<uint16_t> ramp;
    for (int z = 0; z < h; ++z)
        for (int x = 0; x < w; ++x) ramp.push_back(uint16_t(32767 + (x - 6) * 655)); // one unit up per step
    course.heightScale = 50.0f;
    ASSERT_EQ(setUpFrom(w, h, 1, 16, ramp), "");
    PhysicsWorld world;
    ASSERT_NE(createTerrainBody(world, terrain).body, nullptr);
    // The drawn surface is what drawnGroundHeight gives (the GL tests hold the drawn terrain to it).
    for (const float worldX : {-3.0f, 0.25f, 2.5f}) {
        const btVector3 from(worldX, 500.0f, 2.0f), to(worldX, -500.0f, 2.0f);
        btCollisionWorld::ClosestRayResultCallback hit(from, to);
        world.dynamicsWorld->rayTest(from, to, hit);
        ASSERT_TRUE(hit.hasHit()) << worldX;
        EXPECT_NEAR(hit.m_hitPointWorld.y(), drawnGroundHeight(terrain, worldX - 0.5f, 1.5f) + 0.5, 0.02)
            << "x = " << worldX;
    }
}

TEST_F(CourseGround, TheBallComesToRestOnTheDrawnGrass) {
    ASSERT_EQ(setUpFrom(16, 16, 1, 16, std::vector<uint16_t>(256, 32767 + 3277)), "");
    PhysicsWorld world;
    createTerrainBody(world, terrain);
    // Dropped inside one triangle: landing beside an edge it shares with a neighbour gives a small sideways kick.
    PhysicsBody ball = createBall(world, glm::vec3(0.25f, 20.0f, 0.2f));
    for (int frame = 0; frame < 300; ++frame) stepPhysics(world, 1.0f / 60.0f);
    EXPECT_NEAR(bodyPosition(ball).y, drawnGroundHeight(terrain, 0.25f, 0.2f) + 1.0f, 0.03f) << "drawn radius 1";
    EXPECT_NEAR(bodyPosition(ball).x, 0.25f, 0.01f);
    EXPECT_NEAR(bodyPosition(ball).z, 0.2f, 0.01f);
}

} // namespace
