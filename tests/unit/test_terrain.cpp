// The course ground from its heightmap: decoding, refusals, the goal hollow, and the collision surface the ball rolls
// on against the grid that is drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <btBulletDynamicsCommon.h>

#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/game_state.h"

namespace {

class Course : public testing::Test {
protected:
    // Writes the map and runs the terrain's start-up step on it; returns what it printed to stderr.
    std::string setUpFrom(int width, int height, int channels, int bits, const std::vector<uint16_t>& values) {
        EXPECT_TRUE(writePng(file, width, height, channels, bits, values));
        return setUp();
    }
    std::string setUp() {
        return stderrOf([&] { status = setupTerrainCollision(file.c_str()); });
    }
    int16_t sample(int x, int z) const { return terrain->samples[z * terrain->width + x]; }

    FreshGame game;
    TempDir dir;
    std::string file = dir.path("heightmap.png");
    int status = 99;
};

TEST_F(Course, AHeightmapGivesOneSignedHeightPerPixelInImageOrder) {
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

TEST_F(Course, AHeightmapTheCourseCannotUseIsRefusedWithOneLine) {
    EXPECT_EQ(setUp(), "Error loading heightmap from file (" + file + ") \n") << "missing";
    dir.write("heightmap.png", "this is no picture");
    EXPECT_EQ(setUp(), "Error loading heightmap from file (" + file + ") \n") << "no picture";
    EXPECT_EQ(setUpFrom(1, 4, 1, 8, {1, 2, 3, 4}), "Heightmap is smaller than 2 x 2 pixels (" + file + ") \n");
    EXPECT_EQ(setUpFrom(4097, 2, 1, 8, std::vector<uint16_t>(4097 * 2, 0)),
              "Heightmap is larger than 4096 x 4096 pixels (" + file + ") \n");
    EXPECT_EQ(status, -1);
    EXPECT_EQ(terrain, nullptr);
    EXPECT_EQ(terrainBody, nullptr);
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

TEST_F(Course, TheStartUpStepPressesTheHollowUnderTheGoalOfACourseSizedMap) {
    EXPECT_EQ(setUpFrom(512, 512, 1, 8, std::vector<uint16_t>(512 * 512, 128)), "");
    ASSERT_EQ(status, 0);
    ASSERT_NE(terrainBody, nullptr);
    const glm::vec3 goal = checkpoints[goalIndex];
    // Grid point (x, z) is drawn at world (x - width / 2, z - height / 2).
    const int x = int(goal.x) + 256, z = int(goal.z) + 256;
    EXPECT_EQ(sample(x, z), sample(0, 0) - 800);
    EXPECT_EQ(sample(x + 1, z + 1), sample(0, 0) - 400);
}

// Bullet centres the heightfield on its body: the collision surface lies half a grid step beside and half a unit
// above the drawn one, so the drawn ball (radius 1, twice the collision radius) touches the drawn grass.
TEST_F(Course, TheCollisionSurfaceIsTheDrawnGridShiftedHalfAStepAndLiftedHalfAUnit) {
    const int w = 12, h = 9;
    std::vector<uint16_t> ramp;
    for (int z = 0; z < h; ++z)
        for (int x = 0; x < w; ++x) ramp.push_back(uint16_t(32767 + (x - 6) * 655)); // two units up per step
    ASSERT_EQ(setUpFrom(w, h, 1, 16, ramp), "");
    // The drawn surface is what drawnGroundHeight gives (the GL tests hold the drawn terrain to it).
    for (const float worldX : {-3.0f, 0.25f, 2.5f}) {
        const btVector3 from(worldX, 500.0f, 2.0f), to(worldX, -500.0f, 2.0f); // clear of the sphere at the origin
        btCollisionWorld::ClosestRayResultCallback hit(from, to);
        physicsWorld->dynamicsWorld->rayTest(from, to, hit);
        ASSERT_TRUE(hit.hasHit()) << worldX;
        EXPECT_NEAR(hit.m_hitPointWorld.y(), drawnGroundHeight(*terrain, worldX - 0.5f, 1.5f) + 0.5, 0.02)
            << "x = " << worldX;
    }
}

TEST_F(Course, TheBallComesToRestOnTheDrawnGrass) {
    ASSERT_EQ(setUpFrom(16, 16, 1, 16, std::vector<uint16_t>(256, 32767 + 3277)), "");
    // Dropped inside one triangle: landing beside an edge it shares with a neighbour gives a small sideways kick.
    placeBall(glm::vec3(0.25f, 20.0f, 0.2f));
    for (int frame = 0; frame < 300; ++frame) stepPhysics(*physicsWorld, 1.0f / 60.0f);
    EXPECT_NEAR(ballPosition().y, drawnGroundHeight(*terrain, 0.25f, 0.2f) + 1.0f, 0.03f) << "drawn radius 1";
    EXPECT_NEAR(ballPosition().x, 0.25f, 0.01f);
    EXPECT_NEAR(ballPosition().z, 0.2f, 0.01f);
}

} // namespace
