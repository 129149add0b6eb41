// Input into the window record, the render switches, and the orbit camera with its follow filters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <GLFW/glfw3.h>
#include <glm/geometric.hpp>

#include "app/camera.h"
#include "app/input.h"

namespace {

TEST(KeyInput, PressHoldsUntilReleaseAndRepeatsChangeNothing) {
    Window w;
    EXPECT_FALSE(handleKey(w, GLFW_KEY_7, GLFW_PRESS));
    EXPECT_EQ(w.keys[GLFW_KEY_7], 1);
    handleKey(w, GLFW_KEY_7, GLFW_REPEAT);
    EXPECT_EQ(w.keys[GLFW_KEY_7], 1);
    handleKey(w, GLFW_KEY_7, GLFW_RELEASE);
    EXPECT_EQ(w.keys[GLFW_KEY_7], 0);
}

TEST(KeyInput, EscapeAsksToCloseAndCodesOutsideTheTableAreIgnored) {
    Window w;
    EXPECT_TRUE(handleKey(w, GLFW_KEY_ESCAPE, GLFW_PRESS));
    EXPECT_EQ(w.keys[GLFW_KEY_ESCAPE], 1);
    EXPECT_FALSE(handleKey(w, GLFW_KEY_ESCAPE, GLFW_RELEASE));
    EXPECT_EQ(w.keys[GLFW_KEY_ESCAPE], 0);

    const Window before = w;
    EXPECT_FALSE(handleKey(w, GLFW_KEY_UNKNOWN, GLFW_PRESS));
    EXPECT_FALSE(handleKey(w, 1024, GLFW_PRESS));
    EXPECT_FALSE(handleKey(w, 5000, GLFW_PRESS));
    EXPECT_EQ(0, std::memcmp(before.keys, w.keys, sizeof w.keys));
    handleKey(w, 1023, GLFW_PRESS);
    EXPECT_EQ(w.keys[1023], 1);
}

TEST(CursorInput, FirstEventMovesNothingAndOnlyTheLastEventOfAFrameCounts) {
    Window w;
    handleCursor(w, 400.0, 300.0);
    EXPECT_FALSE(w.firstMouse);
    EXPECT_FLOAT_EQ(w.mouseDeltaX, 0.0f);
    EXPECT_FLOAT_EQ(w.mouseDeltaY, 0.0f);

    handleCursor(w, 410.0, 290.0);
    handleCursor(w, 415.0, 300.0);
    EXPECT_FLOAT_EQ(w.mouseDeltaX, 5.0f);
    EXPECT_FLOAT_EQ(w.mouseDeltaY, -10.0f) << "moving the mouse down gives a negative delta";

    handleScroll(w, 2.0);
    handleScroll(w, -1.0);
    EXPECT_FLOAT_EQ(w.scrollDelta, -1.0f);
}

TEST(RenderFlagsFromKeys, EachNumberKeySwitchesItsAidWhileHeld) {
    Window w;
    RenderFlags f = renderFlagsFromInput(takeFrameInput(w, false, false));
    EXPECT_TRUE(f.bloomEnabled);
    EXPECT_TRUE(f.smoothShadows);
    EXPECT_FALSE(f.debugNormals || f.showDepthMap || f.showBrightPass);
    EXPECT_FLOAT_EQ(f.reflectivity, 0.1f);

    for (int key : {key0, key5, key6, key7, key8, key9}) {
        w.keys[key] = 1;
    }
    f = renderFlagsFromInput(takeFrameInput(w, false, false));
    EXPECT_FALSE(f.bloomEnabled);
    EXPECT_FALSE(f.smoothShadows);
    EXPECT_TRUE(f.debugNormals && f.showDepthMap && f.showBrightPass);
    EXPECT_FLOAT_EQ(f.reflectivity, 1.0f);
}

TEST(OrbitCamera, StartsLookingAlongPlusXAndMinusZBehindTheStart) {
    Camera c;
    const glm::vec3 start(10.0f, 5.0f, -3.0f);
    resetCamera(c, start);
    EXPECT_NEAR(c.front.x, 0.5f, 1e-6f);
    EXPECT_NEAR(c.front.y, 0.0f, 1e-6f);
    EXPECT_NEAR(c.front.z, -0.8660254f, 1e-6f);
    EXPECT_NEAR(glm::length(cameraEye(c) - start), 15.0f, 1e-4f);
    EXPECT_NEAR(glm::dot(c.right, c.front), 0.0f, 1e-6f);
    EXPECT_NEAR(c.up.y, 1.0f, 1e-6f);
    EXPECT_EQ(c.followTarget, glm::vec3(0.0f)) << "the target filter starts at the origin";
}

TEST(OrbitCamera, MouseTurnsScrollZoomsAndBothAreClampedAndConsumed) {
    Camera c;
    resetCamera(c, glm::vec3(0.0f));
    Window w;
    w.mouseDeltaX = 20.0f;
    w.mouseDeltaY = 400.0f;
    w.scrollDelta = -30.0f;
    updateCamera(c, takeFrameInput(w, false, false), glm::vec3(0.0f), 0.016f, nullptr);
    EXPECT_FLOAT_EQ(c.yaw, -50.0f);
    EXPECT_FLOAT_EQ(c.pitch, 8.0f) << "a look up from under the ground is cut short";
    EXPECT_FLOAT_EQ(c.distance, 5.0f);
    EXPECT_EQ(w.mouseDeltaX, 0.0f);
    EXPECT_EQ(w.mouseDeltaY, 0.0f);
    EXPECT_EQ(w.scrollDelta, 0.0f);

    w.mouseDeltaY = -1000.0f;
    w.scrollDelta = 500.0f;
    w.mouseDeltaX = 100000.0f;
    updateCamera(c, takeFrameInput(w, false, false), glm::vec3(0.0f), 0.016f, nullptr);
    EXPECT_FLOAT_EQ(c.pitch, -89.0f);
    EXPECT_FLOAT_EQ(c.distance, 80.0f);
    EXPECT_FLOAT_EQ(c.yaw, 49950.0f) << "yaw is never wrapped";
}

TEST(OrbitCamera, FollowFiltersGlideToTheBall) {
    Camera c;
    resetCamera(c, glm::vec3(0.0f));
    const FrameInput w;
    const glm::vec3 ball(10.0f, 0.0f, 0.0f);
    updateCamera(c, w, ball, 0.1f, nullptr);
    EXPECT_NEAR(c.position.x, 3.0f, 1e-5f) << "position follows by 3 x frame time";
    EXPECT_NEAR(c.target.x, 8.0f, 1e-5f) << "target follows by 0.8 per frame";
    updateCamera(c, w, ball, 0.1f, nullptr);
    EXPECT_NEAR(c.position.x, 3.0f + 7.0f * 0.3f, 1e-4f);
    EXPECT_NEAR(c.target.x, 9.6f, 1e-4f);
}

TEST(OrbitCamera, OneLongFrameLandsOnTheBallInsteadOfOvershooting) {
    Camera c;
    resetCamera(c, glm::vec3(0.0f));
    const FrameInput w;
    updateCamera(c, w, glm::vec3(100.0f, 0.0f, 0.0f), 2.0f, nullptr);
    EXPECT_FLOAT_EQ(c.position.x, 100.0f);
}

TEST(CameraProjection, UsesAFieldOfViewOfAbout58DegreesAndTheFramebufferAspect) {
    const glm::mat4 p = makeCameraProjection(1600, 800);
    EXPECT_NEAR(p[1][1], 1.7925910f, 1e-5f);
    EXPECT_NEAR(p[0][0], 1.7925910f / 2.0f, 1e-5f);
    EXPECT_NEAR(p[2][2], -1.002002f, 1e-6f);
    EXPECT_NEAR(p[3][2], -1.001001f, 1e-6f);
    EXPECT_FLOAT_EQ(p[2][3], -1.0f);
    const glm::mat4 degenerate = makeCameraProjection(800, 0);
    EXPECT_TRUE(std::isfinite(degenerate[0][0]));
}

TEST(CameraView, LooksFromTheEyeTowardsTheTarget) {
    Camera c;
    resetCamera(c, glm::vec3(1.0f, 2.0f, 3.0f));
    const glm::mat4 v = cameraView(c);
    const glm::vec4 eyeInView = v * glm::vec4(cameraEye(c), 1.0f);
    EXPECT_NEAR(glm::length(glm::vec3(eyeInView)), 0.0f, 1e-4f);
    const glm::vec4 targetInView = v * glm::vec4(c.target, 1.0f);
    EXPECT_NEAR(targetInView.z, -15.0f, 1e-4f);
    EXPECT_NEAR(targetInView.x, 0.0f, 1e-4f);
}

} // namespace
