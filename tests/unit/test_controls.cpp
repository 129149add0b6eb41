// The player's controls beyond the mouse: a game controller's mapping, the camera's sensitivity and inversion,
// the control settings with bad values, and the pause that stops every clock of the race.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>
#include <glm/geometric.hpp>

#include "app/camera.h"
#include "app/input.h"
#include "app/race.h"
#include "app/settings.h"
#include "course/physics.h"
#include "course/terrain.h"
#include "effects/particles.h"
#include "tests/support/temp_files.h"

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
    resetCamera(c, glm::vec3(0.0f));
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

class ControlSettings : public ::testing::Test {
protected:
    // Loads with the shipped defaults and a user file; keeps what went to stdout and stderr.
    Settings load(const std::string& user) {
        const std::string defaults = std::string(KELVARA_DATA_DIR) + "/Config/default.ini";
        const std::string path = dir.write("user.ini", user);
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        Settings s = loadSettings(defaults.c_str(), path.c_str());
        printed = ::testing::internal::GetCapturedStdout();
        complaints = ::testing::internal::GetCapturedStderr();
        return s;
    }
    testfiles::TempDir dir;
    std::string printed, complaints;
};

TEST_F(ControlSettings, ShippedFileHoldsTheBuiltInValuesAndGoodValuesAreTaken) {
    const Settings builtIn;
    Settings s = load("");
    EXPECT_EQ(s.vsync, builtIn.vsync);
    EXPECT_EQ(s.mouseSensitivity, builtIn.mouseSensitivity);
    EXPECT_EQ(s.invertY, builtIn.invertY);
    EXPECT_EQ(s.gamepadSensitivity, builtIn.gamepadSensitivity);
    EXPECT_TRUE(builtIn.vsync);
    EXPECT_EQ(builtIn.mouseSensitivity, 0.5f);
    EXPECT_EQ(complaints, "");

    s = load("[window]\nvsync = off\n[controls]\nmouse_sensitivity = 1.25\ninvert_y = Yes\ngamepad_sensitivity = 90\n");
    EXPECT_FALSE(s.vsync);
    EXPECT_EQ(s.mouseSensitivity, 1.25f);
    EXPECT_TRUE(s.invertY);
    EXPECT_EQ(s.gamepadSensitivity, 90.0f);
    EXPECT_EQ(complaints, "");
    EXPECT_EQ(printed, "");
}

TEST_F(ControlSettings, JunkOrOutOfRangeKeepsTheDefaultWithOneLineNamingTheKey) {
    struct Case {
        const char* line;
        const char* key;
    };
    const Case cases[] = {
        {"[controls]\nmouse_sensitivity = fast\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = 0\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = -2\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = 1e9\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = nan\n", "mouse_sensitivity"},
        {"[controls]\ninvert_y = maybe\n", "invert_y"},
        {"[controls]\ngamepad_sensitivity = 0\n", "gamepad_sensitivity"},
        {"[controls]\ngamepad_sensitivity = 90 degrees\n", "gamepad_sensitivity"},
        {"[window]\nvsync = sometimes\n", "vsync"},
    };
    const Settings builtIn;
    for (const Case& c : cases) {
        const Settings s = load(c.line);
        EXPECT_EQ(s.mouseSensitivity, builtIn.mouseSensitivity) << c.line;
        EXPECT_EQ(s.invertY, builtIn.invertY) << c.line;
        EXPECT_EQ(s.gamepadSensitivity, builtIn.gamepadSensitivity) << c.line;
        EXPECT_EQ(s.vsync, builtIn.vsync) << c.line;
        EXPECT_NE(complaints.find(c.key), std::string::npos) << c.line << " gave: " << complaints;
        EXPECT_EQ(std::count(complaints.begin(), complaints.end(), '\n'), 1) << c.line << " gave: " << complaints;
        EXPECT_EQ(printed, "") << "the console texts stay as they are";
    }
}

// The race with one ball in the global world and no terrain, as the game's frame update runs it.
class Pause : public ::testing::Test {
protected:
    void SetUp() override {
        if (!physicsWorld) {
            physicsWorld = createPhysicsWorld();
        }
        if (!ballBody) {
            setupPhysics();
        }
        raceState = RaceState{};
        frameClock = FrameClock{};
        resetCamera(camera, checkpoints[0]);
        createParticlePool();
        savedTerrain = terrain;
        terrain = nullptr;
        ::testing::internal::CaptureStdout();
        resetRace();
        ::testing::internal::GetCapturedStdout();
    }
    void TearDown() override { terrain = savedTerrain; }

    std::string runFrames(int count, bool pressPause = false) {
        ::testing::internal::CaptureStdout();
        for (int i = 0; i < count; ++i) {
            now += frame;
            tickClock(now);
            FrameInput input;
            input.togglePause = pressPause && i == 0;
            advanceFrame(input);
        }
        return ::testing::internal::GetCapturedStdout();
    }

    Terrain* savedTerrain = nullptr;
    float now = 0.0f;
};

TEST_F(Pause, GetReadyWaitsForTheEndOfThePause) {
    runFrames(30, true);
    runFrames(300);
    EXPECT_EQ(raceState.phase, RacePhase::GetReady);
    EXPECT_FALSE(rollingIsDue(raceState, frameClock)) << "five paused seconds are no time on the race's clock";
    runFrames(1, true);
    runFrames(130);
    EXPECT_TRUE(rollingIsDue(raceState, frameClock)) << "a little over two running seconds in all";
}

TEST_F(Pause, BallCountdownAndSparksStandStillAndThePrintedTimeLeavesThePauseOut) {
    raceState.phase = RacePhase::Rolling;
    runFrames(10);
    pushBall(glm::vec3(3.0f, 0.0f, 0.0f));
    spawnParticles(ballPosition(), 5);
    runFrames(1, true); // this frame still runs
    const glm::vec3 ball = ballPosition();
    const float timer = raceState.timer;
    const glm::vec3 spark = particlePool[0].position;
    ASSERT_TRUE(particlePool[0].active);

    runFrames(120);
    EXPECT_EQ(ballPosition(), ball);
    EXPECT_EQ(raceState.timer, timer);
    EXPECT_EQ(particlePool[0].position, spark);

    runFrames(1, true);
    runFrames(1);
    EXPECT_GT(glm::length(ballPosition() - ball), 0.01f) << "the ball rolls on after the pause";
    placeBall(checkpoints[1]);
    // Thirteen running frames since the reset, however long the pause lasted.
    EXPECT_EQ(runFrames(1), "checkpoint checked after 0.22 Seconds!\n");
}

} // namespace
