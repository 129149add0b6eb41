// Input: key states, cursor motion and scroll wait in the window record until the frame takes them as one record;
// a controller's state is mapped onto the same record.
#include "core/input.h"

#include <algorithm>
#include <cmath>

namespace {

// GLFW's action codes, so the plain halves need no GLFW header.
constexpr int actionRelease = 0, actionPress = 1, actionRepeat = 2;
constexpr int mouseButtonLeft = 0, mouseButtonRight = 1;

// GLFW's standard gamepad indices.
constexpr int buttonA = 0, buttonB = 1, buttonLeftBumper = 4, buttonRightBumper = 5, buttonBack = 6, buttonStart = 7;
constexpr int buttonDpadUp = 11, buttonDpadRight = 12, buttonDpadDown = 13, buttonDpadLeft = 14;
constexpr int axisRightX = 2, axisRightY = 3, axisRightTrigger = 5;

constexpr float stickDeadZone = 0.2f;   // of full deflection: a resting stick never turns the camera
constexpr float triggerPressed = 0.0f;  // trigger position past which it boosts: half way down

} // namespace

bool handleKey(InputState& w, int key, int action) {
    if (key == keyEscape && action == actionPress) {
        w.keys[keyEscape] = 1;
        return true;
    }
    // Unsigned, so the unknown key (-1) is ignored with the codes above the table.
    if (static_cast<unsigned>(key) >= static_cast<unsigned>(keyCount)) {
        return false;
    }
    if (action == actionPress) {
        w.keys[key] = 1;
        w.pausePressed = w.pausePressed || key == keyP;
        w.fullscreenPressed = w.fullscreenPressed || key == keyF11;
        w.ghostPressed = w.ghostPressed || key == keyG;
        w.enterPressed = w.enterPressed || key == keyEnter || key == keyKeypadEnter;
        w.backPressed = w.backPressed || key == keyBackspace;
    }
    // A held arrow key walks down a long list.
    if (action == actionPress || action == actionRepeat) {
        w.upPressed = w.upPressed || key == keyUp;
        w.downPressed = w.downPressed || key == keyDown;
        w.leftKeyPressed = w.leftKeyPressed || key == keyLeft;
        w.rightKeyPressed = w.rightKeyPressed || key == keyRight;
    }
    if (action == actionRelease) {
        w.keys[key] = 0;
    }
    return false;
}

void handleCursor(InputState& w, double x, double y) {
    if (w.firstMouse) {
        w.firstMouse = false;
        w.lastX = static_cast<float>(x);
        w.lastY = static_cast<float>(y);
    }
    // Summed over the frame, so every event of a fast mouse turns the camera. Screen y grows downwards.
    w.mouseDeltaX += static_cast<float>(x - static_cast<double>(w.lastX));
    w.mouseDeltaY += static_cast<float>(static_cast<double>(w.lastY) - y);
    w.lastX = static_cast<float>(x);
    w.lastY = static_cast<float>(y);
}

void handleScroll(InputState& w, double yOffset) {
    w.scrollDelta += static_cast<float>(yOffset);
}

void handleMouseButton(InputState& w, int button, int action) {
    if (action != actionPress) return;
    w.leftPressed = w.leftPressed || button == mouseButtonLeft;
    w.rightPressed = w.rightPressed || button == mouseButtonRight;
}

void forgetCursor(InputState& w) {
    w.firstMouse = true;
    w.mouseDeltaX = 0.0f;
    w.mouseDeltaY = 0.0f;
}

FrameInput takeFrameInput(InputState& w, bool rightButtonDown, bool leftButtonDown) {
    FrameInput input;
    input.resetDown = keyHeld(w, keyEnter) || rightButtonDown || w.rightPressed;
    input.boostDown = leftButtonDown || w.leftPressed;
    input.printPosition = keyHeld(w, keyInsert);
    input.fullReflections = keyHeld(w, key5);
    input.sparks = keyHeld(w, key6);
    input.showDepthMap = keyHeld(w, key7);
    input.debugNormals = keyHeld(w, key8);
    input.noBloom = keyHeld(w, key9);
    input.showBrightPass = keyHeld(w, key0);
    input.mouseDeltaX = w.mouseDeltaX;
    input.mouseDeltaY = w.mouseDeltaY;
    input.scrollDelta = w.scrollDelta;
    input.togglePause = w.pausePressed;
    input.toggleFullscreen = w.fullscreenPressed;
    input.toggleGhost = w.ghostPressed;
    input.menuUp = w.upPressed;
    input.menuDown = w.downPressed;
    input.menuLeft = w.leftKeyPressed;
    input.menuRight = w.rightKeyPressed;
    input.menuSelect = w.enterPressed;
    input.menuBack = w.backPressed;
    input.cursorKnown = !w.firstMouse;
    input.cursorX = w.lastX;
    input.cursorY = w.lastY;
    input.click = w.leftPressed;
    w.mouseDeltaX = 0.0f;
    w.mouseDeltaY = 0.0f;
    w.scrollDelta = 0.0f;
    w.pausePressed = false;
    w.fullscreenPressed = false;
    w.ghostPressed = false;
    w.leftPressed = false;
    w.rightPressed = false;
    w.upPressed = w.downPressed = w.leftKeyPressed = w.rightKeyPressed = w.enterPressed = w.backPressed = false;
    return input;
}

void addGamepadInput(FrameInput& input, const GamepadState& now, const GamepadState& before) {
    const auto held = [&now](int button) { return now.buttons[static_cast<std::size_t>(button)] != 0; };
    input.boostDown = input.boostDown || held(buttonA) || now.axes[axisRightTrigger] > triggerPressed;
    input.resetDown = input.resetDown || held(buttonB) || held(buttonStart);
    input.togglePause = input.togglePause || (held(buttonBack) && before.buttons[buttonBack] == 0);
    const auto wentDown = [&](int button) { return held(button) && before.buttons[std::size_t(button)] == 0; };
    input.menuUp = input.menuUp || wentDown(buttonDpadUp);
    input.menuDown = input.menuDown || wentDown(buttonDpadDown);
    input.menuLeft = input.menuLeft || wentDown(buttonDpadLeft);
    input.menuRight = input.menuRight || wentDown(buttonDpadRight);
    input.menuSelect = input.menuSelect || wentDown(buttonA);
    input.menuBack = input.menuBack || wentDown(buttonB);
    input.zoomRate = (held(buttonLeftBumper) ? 1.0f : 0.0f) - (held(buttonRightBumper) ? 1.0f : 0.0f);

    // A round dead zone, then the rest of the travel stretched to 0..1 so the turn starts gently at its edge.
    const float x = now.axes[axisRightX], y = -now.axes[axisRightY];
    const float length = std::sqrt(x * x + y * y);
    if (!(length > stickDeadZone)) {
        input.stickX = input.stickY = 0.0f;
        return;
    }
    const float scale = std::min((length - stickDeadZone) / (1.0f - stickDeadZone), 1.0f) / length;
    input.stickX = x * scale;
    input.stickY = y * scale;
}

RenderFlags renderFlagsFromInput(const FrameInput& input) {
    RenderFlags flags;
    flags.showBrightPass = input.showBrightPass;
    flags.bloomEnabled = !input.noBloom;
    flags.debugNormals = input.debugNormals;
    flags.smoothShadows = !input.sparks;
    flags.showDepthMap = input.showDepthMap;
    // Exactly 0.1 or 1.0.
    flags.reflectivity = static_cast<float>((input.fullReflections ? 1 : 0) * 0.9 + 0.1);
    return flags;
}
