// The player's hands: keys held and released, mouse motion and wheel into one frame's input, the render switches,
// and the orbit camera they turn.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#include <glm/geometric.hpp>
#include <glm/trigonometric.hpp>

#include "core/camera.h"
#include "core/input.h"

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

TEST(MouseInput, RightButtonRestartsLeftBoostsAndMotionCountsOnce) {
    InputState w;
    FrameInput input = takeFrameInput(w, true, false);
    EXPECT_TRUE(input.resetDown);
    EXPECT_FALSE(input.boostDown);
    input = takeFrameInput(w, false, true);
    EXPECT_FALSE(input.resetDown);
    EXPECT_TRUE(input.boostDown);

    handleCursor(w, 400.0, 300.0); // the first event only sets where the cursor is
    handleCursor(w, 410.0, 290.0);
    handleCursor(w, 415.0, 330.0); // every event of a frame turns the camera
    handleScroll(w, 2.0);
    handleScroll(w, 0.5);
    input = takeFrameInput(w, false, false);
    EXPECT_FLOAT_EQ(input.mouseDeltaX, 15.0f);
    EXPECT_FLOAT_EQ(input.mouseDeltaY, -30.0f) << "moving the mouse down is negative";
    EXPECT_FLOAT_EQ(input.scrollDelta, 2.5f);
    input = takeFrameInput(w, false, false);
    EXPECT_EQ(input.mouseDeltaX + input.mouseDeltaY + input.scrollDelta, 0.0f) << "taken by the frame";
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

} // namespace
