// The one window: its record, the OpenGL 3.3 core context, fixed GL state, debug output, full screen and the
// game controller.
#pragma once

#include <cstdint>
#include <string>

#include "core/input.h"

struct GLFWwindow;

struct Window {
    GLFWwindow* handle = nullptr;
    int32_t width = 1024;
    int32_t height = 1024;
    int32_t framebufferWidth = 0;  // kept current by the framebuffer-size callback; 0 x 0 while minimised
    int32_t framebufferHeight = 0;
    bool fullscreen = false;
    bool antialiasing = false;
    bool vsync = true;
    int32_t windowedX = 0, windowedY = 0; // where full screen returns to; taken when it is entered
    int32_t windowedWidth = 0, windowedHeight = 0;
    InputState input; // what the callbacks saw since the frame last took its input
    // The controller in use: a joystick id, or -1. Its previous state makes button presses into single events.
    int activeGamepad = -1;
    GamepadState previousGamepad;
};

// Opens window (filled from the settings; it becomes the GLFW window's user pointer, so it must stay where it is
// while open). 0 on success; 1 after printing the failure and terminating GLFW. Also sets the swap interval from
// vsync and takes the first game controller that GLFW knows a standard mapping for. A window larger than the
// primary monitor's work area is shrunk to fit it, keeping its aspect, with one line on stderr.
int createWindow(Window& window);
void destroyWindow(Window& window);

// Full screen on the monitor under the window at that monitor's own resolution, or back to the window it came
// from (the settings' size, centred, when the game started in full screen).
void toggleFullscreen(Window& window);
// Captured: the cursor is hidden and its motion unlimited (while playing); released: the desktop's cursor.
void captureCursor(Window& window, bool captured);
// Adds the window's active game controller's state to the frame's input; nothing without one.
void addControllerInput(Window& window, FrameInput& input);

// GLFW callbacks, registered by createWindow: find the record through the window's user pointer.
void keyCallback(GLFWwindow* handle, int key, int scancode, int action, int mods);
void cursorPositionCallback(GLFWwindow* handle, double x, double y);
void scrollCallback(GLFWwindow* handle, double xOffset, double yOffset);
void framebufferSizeCallback(GLFWwindow* handle, int width, int height);
void mouseButtonCallback(GLFWwindow* handle, int button, int action, int mods);
// A change of focus, size, position or iconified state moves the cursor without the player: its next position only
// sets the reference.
void windowFocusCallback(GLFWwindow* handle, int focused);
void windowIconifyCallback(GLFWwindow* handle, int iconified);
void windowSizeCallback(GLFWwindow* handle, int width, int height);
void windowPositionCallback(GLFWwindow* handle, int x, int y);
// A controller plugged in or out: the window whose context is current takes it or lets it go, with one line on
// stderr.
void joystickCallback(int joystick, int event);

std::string formatDebugMessage(uint32_t source, uint32_t type, uint32_t id, uint32_t severity, const char* message);
// True for the two driver ids that are never printed.
bool isSilencedDebugMessage(uint32_t id);
