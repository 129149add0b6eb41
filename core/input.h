// What the player did this frame (one record, filled from the window and a game controller or by a script), the
// plain halves of the input callbacks, the controller's mapping, and the render switches taken from held keys.
#pragma once

#include <array>
#include <cstdint>

constexpr int keyCount = 1024;

// GLFW key codes the game reads.
constexpr int keyEscape = 256, keyEnter = 257, keyInsert = 260, keyF11 = 300, keyP = 80, keyG = 71;
constexpr int keyBackspace = 259, keyRight = 262, keyLeft = 263, keyDown = 264, keyUp = 265, keyKeypadEnter = 335;
constexpr int key0 = 48, key5 = 53, key6 = 54, key7 = 55, key8 = 56, key9 = 57;

// The one record of the player's input for a frame: the rules and the camera read nothing else.
struct FrameInput {
    bool resetDown = false;     // Enter held or right button down
    bool boostDown = false;     // left button down
    bool printPosition = false; // Insert held
    bool fullReflections = false; // 5 held
    bool sparks = false;        // 6 held: hard shadows and a stream of sparks
    bool showDepthMap = false;  // 7 held
    bool debugNormals = false;  // 8 held
    bool noBloom = false;       // 9 held
    bool showBrightPass = false; // 0 held
    float mouseDeltaX = 0.0f;   // cursor motion since the last frame; up is positive
    float mouseDeltaY = 0.0f;
    float scrollDelta = 0.0f;   // wheel steps; away from the ball is positive
    bool togglePause = false;   // P or the controller's Back pressed since the last frame
    bool toggleFullscreen = false; // F11 pressed since the last frame
    bool toggleGhost = false;   // G pressed since the last frame: shows or hides the ghost
    float stickX = 0.0f;        // right stick past its dead zone, -1..1; right and up are positive
    float stickY = 0.0f;
    float zoomRate = 0.0f;      // shoulder buttons: -1 nearer, 1 farther, 0 neither or both
    // For the menu, which reads them only while it is open: each is a press since the last frame (Up and Down also
    // count a key's auto-repeat), from the keys or the controller's d-pad, A and B.
    bool menuUp = false;        // Up, d-pad up
    bool menuDown = false;      // Down, d-pad down
    bool menuLeft = false;      // Left, d-pad left
    bool menuRight = false;     // Right, d-pad right
    bool menuSelect = false;    // Enter, A
    bool menuBack = false;      // Backspace, B
    bool cursorKnown = false;   // false until the cursor has been seen since it was last forgotten
    float cursorX = 0.0f;       // the cursor in window pixels from the top-left corner
    float cursorY = 0.0f;
    bool click = false;         // the left button went down since the last frame
};

// A controller's state in GLFW's standard gamepad layout (the same indices as GLFWgamepadstate), so the
// mapping needs no GLFW header.
struct GamepadState {
    std::array<unsigned char, 15> buttons{}; // 1 while pressed
    std::array<float, 6> axes{};             // sticks -1..1 (down is positive); triggers -1 released .. 1
};

struct RenderFlags {
    bool bloomEnabled = true;   // key 9 not held
    bool smoothShadows = true;  // key 6 not held
    bool debugNormals = false;  // key 8 held
    bool showDepthMap = false;  // key 7 held
    bool showBrightPass = false; // key 0 held
    float reflectivity = 0.1f;  // 1.0 while key 5 is held
    bool hud = true;            // false while the pause menu covers the frame: its title stands for the banner
};

// What the window's callbacks have seen since the frame last took its input: held keys, cursor motion, scroll and
// the keys that act once per press.
struct InputState {
    uint8_t keys[keyCount] = {}; // 1 while held
    float lastX = 0.0f, lastY = 0.0f;
    float mouseDeltaX = 0.0f, mouseDeltaY = 0.0f;
    float scrollDelta = 0.0f;
    bool firstMouse = true;
    bool pausePressed = false;      // P went down since the frame last took its input
    bool fullscreenPressed = false; // F11 likewise
    bool ghostPressed = false;      // G likewise
    bool leftPressed = false;       // the left button went down since the frame last took its input
    bool rightPressed = false;      // the right button likewise: a click shorter than a frame still counts
    bool upPressed = false;         // Up went down (or repeated) since the frame last took its input
    bool downPressed = false;       // Down likewise
    bool leftKeyPressed = false;    // Left likewise
    bool rightKeyPressed = false;   // Right likewise
    bool enterPressed = false;      // Enter or the keypad's Enter went down
    bool backPressed = false;       // Backspace went down
};

// The plain halves of the callbacks. handleKey returns true when the key asks the window to close.
bool handleKey(InputState& w, int key, int action);
void handleCursor(InputState& w, double x, double y);
void handleScroll(InputState& w, double yOffset);
// GLFW's mouse-button callback, plain: 0 is the left button, 1 the right.
void handleMouseButton(InputState& w, int button, int action);
// The motion that comes with a change of window mode, focus or size, or with the cursor captured again, is no
// motion of the player's: the next cursor position only sets the reference.
void forgetCursor(InputState& w);
inline bool keyHeld(const InputState& w, int key) { return key >= 0 && key < keyCount && w.keys[key] != 0; }

// The frame's input from the callbacks' record and the two polled buttons; takes the pending motion, scroll and
// clicks, so they count once. A button pressed and released within the frame counts as down for it.
FrameInput takeFrameInput(InputState& w, bool rightButtonDown, bool leftButtonDown);
// Adds a controller to the frame's input: right stick turns, right trigger or A boosts, B or Start restarts,
// the shoulder buttons zoom, and Back toggles the pause when it goes down (before is the previous frame's state).
// For the menu, buttons that go down: the d-pad moves, A selects, B goes back.
void addGamepadInput(FrameInput& input, const GamepadState& now, const GamepadState& before);
RenderFlags renderFlagsFromInput(const FrameInput& input);
