// The one window: its record, the OpenGL 3.3 core context, fixed GL state and debug output.
#pragma once

#include <cstdint>
#include <string>

struct GLFWwindow;

constexpr int keyCount = 1024;

struct Window {
    GLFWwindow* handle = nullptr;
    int32_t width = 1024;
    int32_t height = 1024;
    int32_t framebufferWidth = 0;  // measured once at creation; everything renders at this size
    int32_t framebufferHeight = 0;
    bool fullscreen = false;
    bool antialiasing = false;
    uint8_t keys[keyCount] = {};   // 1 while held
    float lastX = 0.0f, lastY = 0.0f;
    float mouseDeltaX = 0.0f, mouseDeltaY = 0.0f;
    float scrollDelta = 0.0f;
    bool firstMouse = true;
};

// Filled by start-up from the settings; the GLFW window's user pointer.
extern Window window;

// 0 on success; 1 after printing the failure and terminating GLFW.
int createWindow();
void destroyWindow();

// GLFW callbacks, registered by createWindow: find the record through the window's user pointer.
void keyCallback(GLFWwindow* handle, int key, int scancode, int action, int mods);
void cursorPositionCallback(GLFWwindow* handle, double x, double y);
void scrollCallback(GLFWwindow* handle, double xOffset, double yOffset);

std::string formatDebugMessage(uint32_t source, uint32_t type, uint32_t id, uint32_t severity, const char* message);
// True for the two driver ids that are never printed.
bool isSilencedDebugMessage(uint32_t id);
