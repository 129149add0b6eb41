// The player's hands: keys held and released, mouse motion and wheel into one frame's input, the render switches,
// and the orbit camera they turn, whose eye stays above the drawn ground and in front of hills and nowhere else
// differs.
#include <gtest/gtest.h>

#include <cmath>

#include <GLFW/glfw3.h>
#include <glm/geometric.hpp>
#include <glm/trigonometric.hpp>

#include "core/camera.h"
#include "core/input.h"
#include "core/terrain.h"

namespace {

TEST(KeyInput, AKeyIsHeldFromPressToReleaseAndEscapeAsksToClose) {
    InputState w;
    EXPECT_FALSE(handleKey(w, GLFW_KEY_ENTER, GLFW_PRESS));
    handleKey(w, GLFW_KEY_ENTER, GLFW_REPEAT);
    EXPECT_TRUE(takeFrameInput(w, false, false).resetDown);
    handleKey(w, GLFW_KEY_ENTER, GLFW_RELEASE);
    EXPECT_FALSE(takeFrameInput(w, false, false).resetDown);
    EXPECT_TRUE(handleKey(w, GLFW_KEY_ESCAPE, GLFW_PRESS));
    for (int key : {GLFW_KEY_UNKNOWN, keyCount, 5000}) EXPECT_FALSE(handleKey(w, key, GLFW_PRESS)) << key;
}

// Clicks shorter than a frame, motion and scroll adding up over a frame: test_frame_input.cpp.
TEST(MouseInput, RightButtonRestartsLeftBoostsAndMovingTheMouseDownIsNegative) {
    InputState w;
    FrameInput input = takeFrameInput(w, true, false);
    EXPECT_TRUE(input.resetDown && !input.boostDown);
    input = takeFrameInput(w, false, true);
    EXPECT_TRUE(input.boostDown && !input.resetDown);
    handleCursor(w, 400.0, 300.0);
    handleCursor(w, 410.0, 330.0);
    input = takeFrameInput(w, false, false);
    EXPECT_FLOAT_EQ(input.mouseDeltaX, 10.0f);
    EXPECT_FLOAT_EQ(input.mouseDeltaY, -30.0f);
    EXPECT_EQ(takeFrameInput(w, false, false).mouseDeltaX, 0.0f) << "taken by the frame";
}

TEST(RenderFlagsFromKeys, EachNumberKeySwitchesItsAidWhileHeld) {
    InputState w;
    RenderFlags f = renderFlagsFromInput(takeFrameInput(w, false, false));
    EXPECT_TRUE(f.bloomEnabled && f.smoothShadows);
    EXPECT_FALSE(f.debugNormals || f.showDepthMap || f.showBrightPass);
    EXPECT_FLOAT_EQ(f.reflectivity, 0.1f);
    for (int key : {GLFW_KEY_0, GLFW_KEY_5, GLFW_KEY_6, GLFW_KEY_7, GLFW_KEY_8, GLFW_KEY_9}) w.keys[key] = 1;
    f = renderFlagsFromInput(takeFrameInput(w, false, false));
    EXPECT_FALSE(f.bloomEnabled || f.smoothShadows);
    EXPECT_TRUE(f.debugNormals && f.showDepthMap && f.showBrightPass);
    EXPECT_FLOAT_EQ(f.reflectivity, 1.0f);
}

TEST(OrbitCamera, TheMouseTurnsItTheWheelMovesItAwayAndBothStopAtTheirLimits) {
    Camera c;
    resetCamera(c, glm::vec3(0.0f), -60.0f);
    const glm::vec3 startFront = c.front;
    FrameInput input;
    input.mouseDeltaX = 20.0f; // half a degree per unit: ten degrees to the right
    input.scrollDelta = 3.0f;
    updateCamera(c, input, glm::vec3(0.0f), 0.016f, nullptr);
    EXPECT_NEAR(glm::degrees(std::acos(glm::dot(c.front, startFront))), 10.0f, 0.01f);
    EXPECT_LT(glm::cross(startFront, c.front).y, 0.0f) << "turned right: clockwise seen from above";
    EXPECT_FLOAT_EQ(glm::length(cameraEye(c)), 18.0f);

    input = FrameInput{};
    input.mouseDeltaY = -400.0f;
    input.scrollDelta = -100.0f;
    updateCamera(c, input, glm::vec3(0.0f), 0.016f, nullptr);
    EXPECT_FLOAT_EQ(c.pitch, -89.0f) << "looking down, never over the top";
    EXPECT_GT(cameraEye(c).y, 0.0f);
    EXPECT_FLOAT_EQ(glm::length(cameraEye(c)), 5.0f);
    input.mouseDeltaY = 1000.0f;
    input.scrollDelta = 500.0f;
    updateCamera(c, input, glm::vec3(0.0f), 0.016f, nullptr);
    EXPECT_FLOAT_EQ(c.pitch, 8.0f) << "looking up only a little: more can only be from under the ground";
    EXPECT_FLOAT_EQ(glm::length(cameraEye(c)), 80.0f);
}

TEST(OrbitCamera, FollowsTheBallAndOneLongFrameNearlyLandsOnItWithoutOvershooting) {
    Camera c;
    resetCamera(c, glm::vec3(0.0f), -60.0f);
    const glm::vec3 ball(10.0f, 0.0f, 0.0f);
    updateCamera(c, FrameInput{}, ball, 0.1f, nullptr);
    EXPECT_GT(c.position.x, 0.0f);
    EXPECT_LT(c.position.x, 10.0f) << "glides";
    updateCamera(c, FrameInput{}, glm::vec3(100.0f, 0.0f, 0.0f), 2.0f, nullptr);
    EXPECT_GT(c.position.x, 99.5f) << "two seconds close all but a fraction of a unit";
    EXPECT_LE(c.position.x, 100.0f) << "and never overshoot";
}

// --- The camera arm ---

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

TEST(CameraArm, AHillBetweenBallAndEyeStopsTheEyeInFrontOfIt) {
    // The ridge at column 40 stands at world x = 8; the ball at x = 0 looks towards -x, so the eye goes +x.
    const Terrain ridge = course(40);
    const glm::vec3 centre(0.0f, 1.0f, 0.0f);
    const glm::vec3 front = frontOf(180.0f, 0.0f);
    const glm::vec3 eye = centre - front * clearArmLength(centre, front, 30.0f, &ridge);
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
    EXPECT_GT(shortened, 1.0f) << "the eye still stands back from the ball";
    const glm::vec3 eye = cameraEye(c);
    EXPECT_GE(eye.y, drawnGroundHeight(flat, eye.x, eye.z) + clearance) << "looking up from below, above the ground";

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
