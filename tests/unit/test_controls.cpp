// The player's controls beyond the mouse: a game controller's mapping, the camera's sensitivity and inversion,
// and the pause that stops every clock of the race.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>
#include <glm/geometric.hpp>

#include "core/camera.h"
#include "core/input.h"
#include "core/race.h"
#include "tests/support/checks.h"
#include "tests/support/race_fixture.h"

namespace {

constexpr float frame = 1.0f / 60.0f;

GamepadState pad(std::vector<int> pressed, float rightX = 0.0f, float rightY = 0.0f, float rightTrigger = -1.0f) {
    GamepadState s;
    for (int button : pressed) {
        s.buttons[static_cast<std::size_t>(button)] = GLFW_PRESS;
    }
    s.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    s.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = rightX;
    s.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = rightY;
    s.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = rightTrigger;
    return s;
}

TEST(GamepadMapping, SticksTriggersAndButtonsBecomeTheFramesInput) {
    struct Case {
        const char* what;
        GamepadState now, before;
        bool boost, reset, pause;
        float stickX, stickY, zoom;
    };
    const Case cases[] = {
        {"resting pad", pad({}), pad({}), false, false, false, 0.0f, 0.0f, 0.0f},
        {"stick inside the dead zone", pad({}, 0.15f, -0.1f), pad({}), false, false, false, 0.0f, 0.0f, 0.0f},
        {"stick half way past the dead zone", pad({}, 0.6f), pad({}), false, false, false, 0.5f, 0.0f, 0.0f},
        {"stick pushed up looks up", pad({}, 0.0f, -1.0f), pad({}), false, false, false, 0.0f, 1.0f, 0.0f},
        {"diagonal beyond full stays at full", pad({}, 0.8f, 0.8f), pad({}), false, false, false, 0.7071f, -0.7071f, 0.0f},
        {"trigger half down", pad({}, 0.0f, 0.0f, 0.0f), pad({}), false, false, false, 0.0f, 0.0f, 0.0f},
        {"trigger pressed", pad({}, 0.0f, 0.0f, 0.6f), pad({}), true, false, false, 0.0f, 0.0f, 0.0f},
        {"A", pad({GLFW_GAMEPAD_BUTTON_A}), pad({}), true, false, false, 0.0f, 0.0f, 0.0f},
        {"B", pad({GLFW_GAMEPAD_BUTTON_B}), pad({}), false, true, false, 0.0f, 0.0f, 0.0f},
        {"Start", pad({GLFW_GAMEPAD_BUTTON_START}), pad({}), false, true, false, 0.0f, 0.0f, 0.0f},
        {"left shoulder zooms out", pad({GLFW_GAMEPAD_BUTTON_LEFT_BUMPER}), pad({}), false, false, false, 0.0f, 0.0f, 1.0f},
        {"right shoulder zooms in", pad({GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER}), pad({}), false, false, false, 0.0f, 0.0f, -1.0f},
        {"both shoulders cancel",
         pad({GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER}), pad({}), false, false, false, 0.0f, 0.0f, 0.0f},
        {"Back going down pauses", pad({GLFW_GAMEPAD_BUTTON_BACK}), pad({}), false, false, true, 0.0f, 0.0f, 0.0f},
        {"Back held pauses only once",
         pad({GLFW_GAMEPAD_BUTTON_BACK}), pad({GLFW_GAMEPAD_BUTTON_BACK}), false, false, false, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        FrameInput input;
        addGamepadInput(input, c.now, c.before);
        EXPECT_EQ(input.boostDown, c.boost) << c.what;
        EXPECT_EQ(input.resetDown, c.reset) << c.what;
        EXPECT_EQ(input.togglePause, c.pause) << c.what;
        EXPECT_NEAR(input.stickX, c.stickX, 1e-4f) << c.what;
        EXPECT_NEAR(input.stickY, c.stickY, 1e-4f) << c.what;
        EXPECT_EQ(input.zoomRate, c.zoom) << c.what;
    }

    // The controller adds to the mouse and keyboard: a resting pad lets go of nothing they hold.
    FrameInput held;
    held.boostDown = held.resetDown = held.togglePause = true;
    addGamepadInput(held, pad({}), pad({}));
    EXPECT_TRUE(held.boostDown && held.resetDown && held.togglePause);
}

TEST(ControlledCamera, StickTurnsAtItsSpeedAndInversionFlipsMouseAndStick) {
    Camera c;
    resetCamera(c, glm::vec3(0.0f), -60.0f);
    c.stickSpeed = 90.0f;
    FrameInput input;
    input.stickX = 1.0f;
    input.zoomRate = 1.0f;
    updateCamera(c, input, glm::vec3(0.0f), 0.5f, nullptr);
    EXPECT_NEAR(c.yaw, -60.0f + 45.0f, 1e-4f) << "half a second at full deflection and 90 degrees a second";
    EXPECT_NEAR(c.distance, 15.0f + 10.0f, 1e-4f) << "a shoulder button zooms 20 units a second";

    c.invertY = true;
    c.sensitivity = 2.0f;
    FrameInput up;
    up.mouseDeltaY = 5.0f;
    up.stickY = 0.5f;
    updateCamera(c, up, glm::vec3(0.0f), 0.1f, nullptr);
    EXPECT_NEAR(c.pitch, -10.0f - 4.5f, 1e-4f) << "mouse and stick up both look down when inverted";
}

// The race on level ground, as the game's frame update runs it; the first frame of a run may press the pause.
class Pause : public ::testing::Test {
protected:
    void SetUp() override { stdoutOf([&] { resetRace(race); }); }

    std::string runFrames(int count, bool pressPause = false) {
        FrameInput press;
        press.togglePause = pressPause;
        std::string printed = driver.frame(press);
        return printed + driver.frames(count - 1);
    }

    std::unique_ptr<Race> made = testRace();
    Race& race = *made;
    FrameDriver driver{race, frame};
};

TEST_F(Pause, GetReadyWaitsForTheEndOfThePause) {
    runFrames(30, true);
    runFrames(300);
    EXPECT_EQ(race.state.phase, RacePhase::GetReady);
    EXPECT_FALSE(rollingIsDue(race.state, race.clock)) << "five paused seconds are no time on the race's clock";
    runFrames(1, true);
    int running = 1; // the frame that paused still ran
    while (race.state.phase == RacePhase::GetReady && running < 1000) {
        runFrames(1);
        ++running;
    }
    EXPECT_NEAR(running * frame, 2.0f, 1.5f * frame) << "two running seconds in all";
}

TEST_F(Pause, BallCountdownAndSparksStandStillAndThePrintedTimeLeavesThePauseOut) {
    race.state.phase = RacePhase::Rolling;
    runFrames(10);
    pushBody(race.ball, glm::vec3(0.1f, 0.0f, 0.0f));
    spawnParticles(race.particles, ballPosition(race), 5);
    runFrames(1, true); // this frame still runs
    const glm::vec3 ball = ballPosition(race);
    const float timer = race.state.timer;
    const Particle& spark = race.particles.slots[0];
    ASSERT_TRUE(spark.active);
    const glm::vec3 sparkAt = spark.position;

    runFrames(120);
    EXPECT_EQ(ballPosition(race), ball);
    EXPECT_EQ(race.state.timer, timer);
    EXPECT_EQ(spark.position, sparkAt);

    runFrames(1, true);
    runFrames(1);
    EXPECT_GT(glm::length(ballPosition(race) - ball), 0.01f) << "the ball rolls on after the pause";
    placeBall(race.ball, race.course.checkpoints[1]);
    // Thirteen running frames since the reset, however long the pause lasted.
    EXPECT_EQ(runFrames(1), "checkpoint checked after 0.22 Seconds!\n");
}

} // namespace
