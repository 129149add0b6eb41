// Every input of a frame counts: cursor motion and scroll add up over the frame's events, a click shorter than the
// frame still presses, and the motion a window change brings turns nothing.
#include <gtest/gtest.h>

#include "core/camera.h"
#include "core/input.h"

namespace {

constexpr int press = 1, release = 0, leftButton = 0, rightButton = 1;

// The camera's yaw after one frame of the given cursor events, starting from the centre of a window.
float yawAfter(const std::vector<glm::vec2>& positions) {
    InputState state;
    handleCursor(state, 500.0, 500.0); // the reference position
    takeFrameInput(state, false, false);
    for (const glm::vec2& p : positions) handleCursor(state, p.x, p.y);
    const FrameInput input = takeFrameInput(state, false, false);
    Camera camera;
    resetCamera(camera, glm::vec3(0.0f), 0.0f);
    updateCamera(camera, input, glm::vec3(0.0f), 1.0f / 60.0f, nullptr);
    return camera.yaw;
}

TEST(FrameInput, TwentySmallMovesInOneFrameTurnAsFarAsOneMoveOfTheSameTotal) {
    std::vector<glm::vec2> small;
    for (int i = 1; i <= 20; ++i) small.emplace_back(500.0f + 3.0f * float(i), 500.0f - float(i));
    const float many = yawAfter(small);
    const float one = yawAfter({glm::vec2(560.0f, 480.0f)});
    EXPECT_NEAR(many, one, 1e-3f);
    EXPECT_NEAR(one, 60.0f * Camera{}.sensitivity, 1e-3f) << "60 pixels of motion at the default sensitivity";
}

TEST(FrameInput, ScrollStepsAddUpWithinAFrameAndCountOnce) {
    InputState state;
    for (int i = 0; i < 3; ++i) handleScroll(state, 1.0);
    handleScroll(state, -0.5);
    EXPECT_FLOAT_EQ(takeFrameInput(state, false, false).scrollDelta, 2.5f);
    EXPECT_FLOAT_EQ(takeFrameInput(state, false, false).scrollDelta, 0.0f);
}

TEST(FrameInput, AClickWithinOneFramePressesForThatFrameOnly) {
    InputState state;
    handleMouseButton(state, leftButton, press);
    handleMouseButton(state, leftButton, release);
    // Polled after the release, the button reads up: the click is kept all the same.
    FrameInput input = takeFrameInput(state, false, false);
    EXPECT_TRUE(input.boostDown);
    EXPECT_FALSE(input.resetDown);
    EXPECT_FALSE(takeFrameInput(state, false, false).boostDown) << "one click, one frame";

    handleMouseButton(state, rightButton, press);
    handleMouseButton(state, rightButton, release);
    EXPECT_TRUE(takeFrameInput(state, false, false).resetDown);
    // A held button is read from the poll, frame after frame.
    EXPECT_TRUE(takeFrameInput(state, false, true).boostDown);
}

TEST(FrameInput, TheCursorJumpOfAWindowChangeTurnsNothing) {
    InputState state;
    handleCursor(state, 100.0, 100.0);
    handleCursor(state, 110.0, 100.0);
    // Leaving full screen moves the cursor far away in one event.
    forgetCursor(state);
    handleCursor(state, 900.0, 50.0);
    handleCursor(state, 905.0, 50.0);
    const FrameInput input = takeFrameInput(state, false, false);
    EXPECT_FLOAT_EQ(input.mouseDeltaX, 5.0f) << "only the motion after the change counts";
    EXPECT_FLOAT_EQ(input.mouseDeltaY, 0.0f);
}

} // namespace
