// The camera arm: the eye stays above the drawn ground and in front of hills, and nowhere else differs.
#include <gtest/gtest.h>

#include <cmath>

#include <glm/geometric.hpp>

#include "core/camera.h"
#include "core/input.h"
#include "core/terrain.h"

namespace {

constexpr float clearance = 0.3f; // a little under the camera's own margin, so the check is about the ground

// A 64 x 64 course of level ground at height 0, with an optional ridge along the column x = ridgeColumn.
Terrain course(int ridgeColumn = -1) {
    HeightGrid grid;
    grid.width = grid.height = 64;
    grid.samples.assign(64 * 64, 0);
    for (int z = 0; z < 64 && ridgeColumn >= 0; ++z) {
        grid.samples[std::size_t(z) * 64 + std::size_t(ridgeColumn)] = 32767; // 100 units high
    }
    return Terrain(std::move(grid), 100.0f);
}

glm::vec3 frontOf(float yaw, float pitch) {
    Camera c;
    c.yaw = yaw;
    c.pitch = pitch;
    updateCameraVectors(c);
    return c.front;
}

TEST(CameraArm, LookingUpFromBelowKeepsTheEyeAboveTheGround) {
    const Terrain flat = course();
    const glm::vec3 centre(0.0f, 1.0f, 0.0f); // where the ball's centre rests
    const glm::vec3 front = frontOf(0.0f, 20.0f);
    const float arm = clearArmLength(centre, front, 15.0f, &flat);
    const glm::vec3 eye = centre - front * arm;
    EXPECT_LT(arm, 15.0f);
    EXPECT_GT(arm, 1.0f) << "the eye still stands back from the ball";
    EXPECT_GE(eye.y, drawnGroundHeight(flat, eye.x, eye.z) + clearance);
}

TEST(CameraArm, AHillBetweenBallAndEyeStopsTheEyeInFrontOfIt) {
    // The ridge at column 40 stands at world x = 8; the ball at x = 0 looks towards -x, so the eye goes +x.
    const Terrain ridge = course(40);
    const glm::vec3 centre(0.0f, 1.0f, 0.0f);
    const float arm = clearArmLength(centre, frontOf(180.0f, 0.0f), 30.0f, &ridge);
    const glm::vec3 eye = centre - frontOf(180.0f, 0.0f) * arm;
    EXPECT_GT(eye.x, 4.0f);
    EXPECT_LT(eye.x, 7.5f) << "the eye stops on the ball's side of the ridge, which rises from x = 7 to 8";
}

TEST(CameraArm, OpenGroundGivesExactlyTheOrbitEye) {
    const Terrain flat = course();
    Camera c;
    resetCamera(c, glm::vec3(0.0f, 1.0f, 0.0f), -60.0f);
    FrameInput input;
    input.mouseDeltaY = -40.0f; // 20 degrees down
    updateCamera(c, input, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    EXPECT_EQ(c.armDistance, c.distance);
    EXPECT_EQ(cameraEye(c), c.position - c.front * c.distance);
}

TEST(CameraArm, UpwardLookIsLimitedAndTheArmGlidesBackWhenTheGroundIsGone) {
    const Terrain flat = course();
    Camera c;
    resetCamera(c, glm::vec3(0.0f, 1.0f, 0.0f), -60.0f);
    FrameInput up;
    up.mouseDeltaY = 1000.0f;
    updateCamera(c, up, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    EXPECT_LE(c.pitch, 20.0f) << "no look from under the course";
    EXPECT_GT(c.pitch, 0.0f);
    const float shortened = c.armDistance;
    EXPECT_LT(shortened, c.distance);

    // Looking level again: the arm does not jump out but glides, a little more each frame.
    FrameInput level;
    level.mouseDeltaY = -c.pitch / c.sensitivity;
    updateCamera(c, level, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    const float first = c.armDistance;
    EXPECT_GT(first, shortened);
    EXPECT_LT(first, c.distance);
    for (int i = 0; i < 300; ++i) updateCamera(c, FrameInput{}, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    EXPECT_NEAR(c.armDistance, c.distance, 1e-3f);
}

} // namespace
