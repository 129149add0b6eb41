// Scene placement without a window: which checkpoints carry markers, how they turn, and where stick and flag stand.
#include <gtest/gtest.h>

#include <cmath>

#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

#include "app/race_state.h"
#include "render/scene_layout.h"

namespace {

constexpr float pi = 3.1415927f;
constexpr float tolerance = 1e-3f; // world units; checkpoints lie a few hundred units out

glm::vec3 place(const glm::mat4& m, const glm::vec3& p) { return glm::vec3(m * glm::vec4(p, 1.0f)); }
glm::vec3 turn(const glm::mat4& m, const glm::vec3& v) { return glm::vec3(m * glm::vec4(v, 0.0f)); }

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float within = tolerance) {
    EXPECT_NEAR(actual.x, expected.x, within);
    EXPECT_NEAR(actual.y, expected.y, within);
    EXPECT_NEAR(actual.z, expected.z, within);
}

// Heading of the marker model's x axis about the vertical, in radians (rotation about +y turns x towards -z).
float heading(const glm::mat4& m) {
    const glm::vec3 x = turn(m, glm::vec3(1.0f, 0.0f, 0.0f));
    return std::atan2(-x.z, x.x);
}

float wrapAngle(float a) { return std::remainder(a, 2.0f * pi); }

TEST(MarkerChoice, OnlyTheIntermediateCheckpointsCarryMarkers) {
    const std::array<bool, checkpointCount> noneReached{};
    EXPECT_FALSE(checkpointHasMarker(0, noneReached)) << "the start";
    EXPECT_FALSE(checkpointHasMarker(goalIndex, noneReached)) << "the goal";
    int markers = 0;
    for (std::size_t i = 0; i < checkpointCount; ++i) {
        markers += checkpointHasMarker(i, noneReached) ? 1 : 0;
    }
    EXPECT_EQ(markers, 8);
}

TEST(MarkerChoice, ACollectedCheckpointLosesItsMarkerAndOnlyThatOne) {
    std::array<bool, checkpointCount> reached{};
    reached[3] = true;
    EXPECT_FALSE(checkpointHasMarker(3, reached));
    EXPECT_TRUE(checkpointHasMarker(2, reached));
    EXPECT_TRUE(checkpointHasMarker(4, reached));
}

TEST(MarkerChoice, NoMarkerIsLeftOnceEveryCheckpointIsCollected) {
    std::array<bool, checkpointCount> reached{};
    reached.fill(true);
    for (std::size_t i = 0; i < checkpointCount; ++i) {
        EXPECT_FALSE(checkpointHasMarker(i, reached)) << i;
    }
}

TEST(MarkerChoice, AnIndexPastTheTableHasNoMarker) {
    const std::array<bool, checkpointCount> noneReached{};
    EXPECT_FALSE(checkpointHasMarker(checkpointCount, noneReached));
    EXPECT_FALSE(checkpointHasMarker(checkpointCount + 100, noneReached));
}

TEST(MarkerMatrix, StandsAtItsCheckpointTenTimesTheModelSize) {
    for (std::size_t i = 1; i + 1 < checkpointCount; ++i) {
        const glm::mat4 m = markerModelMatrix(i, 2.5f);
        expectNear(place(m, glm::vec3(0.0f)), checkpoints[i]);
        EXPECT_NEAR(glm::length(turn(m, glm::vec3(1.0f, 0.0f, 0.0f))), 10.0f, 1e-4f) << i;
        EXPECT_NEAR(glm::length(turn(m, glm::vec3(0.0f, 1.0f, 0.0f))), 10.0f, 1e-4f) << i;
        EXPECT_NEAR(glm::length(turn(m, glm::vec3(0.0f, 0.0f, 1.0f))), 10.0f, 1e-4f) << i;
    }
}

TEST(MarkerMatrix, NeighboursStartAnEighthOfATurnApart) {
    for (std::size_t i = 1; i + 2 < checkpointCount; ++i) {
        const float step = wrapAngle(heading(markerModelMatrix(i + 1, 0.0f)) - heading(markerModelMatrix(i, 0.0f)));
        EXPECT_NEAR(step, pi * 0.25f, 1e-4f) << i;
    }
    EXPECT_NEAR(wrapAngle(heading(markerModelMatrix(2, 0.0f))), pi * 0.5f, 1e-4f);
}

TEST(MarkerMatrix, TurnsOneRadianPerSecondOfAnimationTime) {
    const float before = heading(markerModelMatrix(3, 10.0f));
    const float after = heading(markerModelMatrix(3, 10.25f));
    EXPECT_NEAR(wrapAngle(after - before), 0.25f, 1e-4f);
    EXPECT_NEAR(wrapAngle(heading(markerModelMatrix(1, 1.0f)) - heading(markerModelMatrix(1, 0.0f))), 1.0f, 1e-4f);
}

TEST(GoalFurniture, TheStickStandsSixAboveTheGoalAndOneTwoTowardsPlusX) {
    const glm::mat4 m = stickModelMatrix();
    const glm::vec3& goal = checkpoints[goalIndex];
    expectNear(place(m, glm::vec3(0.0f)), goal + glm::vec3(1.2f, 6.0f, 0.0f));
    expectNear(turn(m, glm::vec3(0.0f, 100.0f, 0.0f)), glm::vec3(0.0f, 9.0f, 0.0f), 1e-4f);
}

TEST(GoalFurniture, TheFlagHangsTwentyFiveAboveTheGoalWithItsXAxisUp) {
    const glm::mat4 m = flagModelMatrix();
    const glm::vec3& goal = checkpoints[goalIndex];
    expectNear(place(m, glm::vec3(0.0f)), goal + glm::vec3(0.0f, 25.0f, 0.0f));
    // A quarter turn about z: model x points up, model y points to world -x, unscaled.
    expectNear(turn(m, glm::vec3(1.0f, 0.0f, 0.0f)), glm::vec3(0.0f, 1.0f, 0.0f), 1e-5f);
    expectNear(turn(m, glm::vec3(0.0f, 1.0f, 0.0f)), glm::vec3(-1.0f, 0.0f, 0.0f), 1e-5f);
    expectNear(turn(m, glm::vec3(0.0f, 0.0f, 1.0f)), glm::vec3(0.0f, 0.0f, 1.0f), 1e-5f);
    // The cloth's held edge (model y = -1.2) meets the stick's line.
    EXPECT_NEAR(place(m, glm::vec3(0.0f, -1.2f, 0.0f)).x, place(stickModelMatrix(), glm::vec3(0.0f)).x, tolerance);
}

TEST(GoalFurniture, TheShadowPassSmallFlagIsAHundredthSizeThreeAboveTheGoal) {
    const glm::mat4 m = smallFlagShadowMatrix();
    expectNear(place(m, glm::vec3(0.0f)), checkpoints[goalIndex] + glm::vec3(0.0f, 3.0f, 0.0f));
    expectNear(turn(m, glm::vec3(100.0f, 0.0f, 0.0f)), glm::vec3(1.0f, 0.0f, 0.0f), 1e-5f);
}

} // namespace
