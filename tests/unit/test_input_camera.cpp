// The player's hands: keys held and released, mouse motion, wheel and clicks into one frame's input (adding up over
// the frame's events, a click shorter than the frame still pressing, the motion a window change brings turning
// nothing), a game controller's mapping, the render switches, and the orbit camera they turn with its sensitivity
// and inversion, whose eye stays above the drawn ground and in front of hills and nowhere else differs; and the pause
// that stops every clock of the race.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/trigonometric.hpp>

#include "core/camera.h"
#include "core/input.h"
#include "core/terrain.h"
#include "tests/support/race_fixture.h"

namespace {

TEST(KeyInput, AKeyIsHeldFromPressToReleaseEscapeAsksToCloseAndNumberKeysSwitchTheirAids) {
    InputState w;
    EXPECT_FALSE(handleKey(w, GLFW_KEY_ENTER, GLFW_PRESS));
    handleKey(w, GLFW_KEY_ENTER, GLFW_REPEAT);
    EXPECT_TRUE(takeFrameInput(w, false, false).resetDown);
    handleKey(w, GLFW_KEY_ENTER, GLFW_RELEASE);
    EXPECT_FALSE(takeFrameInput(w, false, false).resetDown);
    EXPECT_TRUE(handleKey(w, GLFW_KEY_ESCAPE, GLFW_PRESS));
    for (int key : {GLFW_KEY_UNKNOWN, keyCount, 5000}) EXPECT_FALSE(handleKey(w, key, GLFW_PRESS)) << key;

    // Each number key switches its aid while held.
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

TEST(OrbitCamera, MouseStickWheelAndShouldersMoveItWithinTheirLimitsAndItFollowsTheBallWithoutOvershooting) {
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

    // The stick turns at its speed, a shoulder button zooms, and inversion flips mouse and stick alike.
    resetCamera(c, glm::vec3(0.0f), -60.0f);
    c.stickSpeed = 90.0f;
    input = FrameInput{};
    input.stickX = 1.0f;
    input.zoomRate = 1.0f;
    updateCamera(c, input, glm::vec3(0.0f), 0.5f, nullptr);
    EXPECT_NEAR(c.yaw, -60.0f + 45.0f, 1e-4f) << "half a second at full deflection and 90 degrees a second";
    EXPECT_NEAR(c.distance, 15.0f + 10.0f, 1e-4f) << "a shoulder button zooms 20 units a second";
    c.invertY = true;
    c.sensitivity = 2.0f;
    input = FrameInput{};
    input.mouseDeltaY = 5.0f;
    input.stickY = 0.5f;
    updateCamera(c, input, glm::vec3(0.0f), 0.1f, nullptr);
    EXPECT_NEAR(c.pitch, -10.0f - 4.5f, 1e-4f) << "mouse and stick up both look down when inverted";

    // It follows the ball, and one long frame nearly lands on it without overshooting.
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
    HeightGrid grid = levelGrid(64);
    for (int z = 0; z < 64 && ridgeColumn >= 0; ++z) grid.samples[std::size_t(z) * 64 + ridgeColumn] = 32767; // 100 units
    return Terrain(std::move(grid), 100.0f);
}

glm::vec3 frontOf(float yaw, float pitch) {
    Camera c;
    c.yaw = yaw;
    c.pitch = pitch;
    updateCameraVectors(c);
    return c.front;
}

TEST(CameraArm, StopsTheEyeInFrontOfAHillAndAboveTheGroundAndGlidesBackOnceTheWayIsClear) {
    // The ridge at column 40 stands at world x = 8; the ball at x = 0 looks towards -x, so the eye goes +x.
    const Terrain ridge = course(40);
    const glm::vec3 centre(0.0f, 1.0f, 0.0f);
    const glm::vec3 front = frontOf(180.0f, 0.0f);
    const glm::vec3 eye = centre - front * clearArmLength(centre, front, 30.0f, &ridge);
    EXPECT_GT(eye.x, 4.0f);
    EXPECT_LT(eye.x, 7.5f) << "the eye stops on the ball's side of the ridge, which rises from x = 7 to 8";

    // Open ground gives exactly the orbit eye.
    const Terrain flat = course();
    Camera c;
    resetCamera(c, glm::vec3(0.0f, 1.0f, 0.0f), -60.0f);
    FrameInput input;
    input.mouseDeltaY = -40.0f; // 20 degrees down
    updateCamera(c, input, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    EXPECT_EQ(c.armDistance, c.distance);
    EXPECT_EQ(cameraEye(c), c.position - c.front * c.distance);

    // Looking up, the ground limits the look and shortens the arm.
    input.mouseDeltaY = 1000.0f;
    updateCamera(c, input, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    EXPECT_LE(c.pitch, 20.0f) << "no look from under the course";
    EXPECT_GT(c.pitch, 0.0f);
    const float shortened = c.armDistance;
    EXPECT_LT(shortened, c.distance);
    EXPECT_GT(shortened, 1.0f) << "the eye still stands back from the ball";
    const glm::vec3 low = cameraEye(c);
    EXPECT_GE(low.y, drawnGroundHeight(flat, low.x, low.z) + clearance) << "looking up from below, above the ground";

    // Looking level again: the arm does not jump out but glides, a little more each frame.
    input.mouseDeltaY = -c.pitch / c.sensitivity;
    updateCamera(c, input, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    const float first = c.armDistance;
    EXPECT_GT(first, shortened);
    EXPECT_LT(first, c.distance);
    for (int i = 0; i < 300; ++i) updateCamera(c, FrameInput{}, glm::vec3(0.0f, 1.0f, 0.0f), 0.016f, &flat);
    EXPECT_NEAR(c.armDistance, c.distance, 1e-3f);
}

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

TEST(FrameInput, MotionScrollAndClicksAddUpWithinAFrameAndCountOnceAndAWindowChangeTurnsNothing) {
    std::vector<glm::vec2> small;
    for (int i = 1; i <= 20; ++i) small.emplace_back(500.0f + 3.0f * float(i), 500.0f - float(i));
    const float many = yawAfter(small);
    const float one = yawAfter({glm::vec2(560.0f, 480.0f)});
    EXPECT_NEAR(many, one, 1e-3f);
    EXPECT_NEAR(one, 60.0f * Camera{}.sensitivity, 1e-3f) << "60 pixels of motion at the default sensitivity";

    // Scroll steps add up within a frame and count once.
    InputState state;
    for (int i = 0; i < 3; ++i) handleScroll(state, 1.0);
    handleScroll(state, -0.5);
    EXPECT_FLOAT_EQ(takeFrameInput(state, false, false).scrollDelta, 2.5f);
    EXPECT_FLOAT_EQ(takeFrameInput(state, false, false).scrollDelta, 0.0f);

    // A click within one frame presses for that frame only.
    handleMouseButton(state, leftButton, press);
    handleMouseButton(state, leftButton, release);
    // Polled after the release, the button reads up: the click is kept all the same.
    const FrameInput click = takeFrameInput(state, false, false);
    EXPECT_TRUE(click.boostDown && !click.resetDown);
    EXPECT_FALSE(takeFrameInput(state, false, false).boostDown) << "one click, one frame";

    handleMouseButton(state, rightButton, press);
    handleMouseButton(state, rightButton, release);
    EXPECT_TRUE(takeFrameInput(state, false, false).resetDown);
    // A held button is read from the poll, frame after frame: the left boosts, the right restarts.
    EXPECT_TRUE(takeFrameInput(state, false, true).boostDown);
    const FrameInput right = takeFrameInput(state, true, false);
    EXPECT_TRUE(right.resetDown && !right.boostDown);

    // The cursor jump of a window change turns nothing.
    handleCursor(state, 100.0, 100.0);
    handleCursor(state, 110.0, 100.0);
    // Leaving full screen moves the cursor far away in one event.
    forgetCursor(state);
    handleCursor(state, 900.0, 50.0);
    handleCursor(state, 905.0, 80.0);
    const FrameInput input = takeFrameInput(state, false, false);
    EXPECT_FLOAT_EQ(input.mouseDeltaX, 5.0f) << "only the motion after the change counts";
    EXPECT_FLOAT_EQ(input.mouseDeltaY, -30.0f) << "moving the mouse down is negative";
    EXPECT_EQ(takeFrameInput(state, false, false).mouseDeltaX, 0.0f) << "taken by the frame";
}

constexpr float frame = 1.0f / 60.0f;

GamepadState pad(std::vector<int> pressed, float rightX = 0.0f, float rightY = 0.0f, float rightTrigger = -1.0f) {
    GamepadState s;
    for (int button : pressed) s.buttons[static_cast<std::size_t>(button)] = GLFW_PRESS;
    s.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    s.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = rightX;
    s.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = rightY;
    s.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = rightTrigger;
    return s;
}

TEST(GamepadMapping, SticksTriggersAndButtonsBecomeTheFramesInput) {
    struct Case { const char* what; GamepadState now, before; bool boost, reset, pause; float stickX, stickY, zoom; };
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
