// Raw input into the window record, and the render switches taken from held number keys.
#pragma once

#include "app/window.h"

struct GLFWwindow;

// GLFW key codes the game reads.
constexpr int keyEscape = 256, keyEnter = 257, keyInsert = 260;
constexpr int key0 = 48, key5 = 53, key6 = 54, key7 = 55, key8 = 56, key9 = 57;

struct RenderFlags {
    bool bloomEnabled = true;   // key 9 not held
    bool smoothShadows = true;  // key 6 not held
    bool debugNormals = false;  // key 8 held
    bool showDepthMap = false;  // key 7 held
    bool showBrightPass = false; // key 0 held
    float reflectivity = 0.1f;  // 1.0 while key 5 is held
};

// Rewritten from the key states at the start of every frame update.
extern RenderFlags renderFlags;

// The plain halves of the callbacks. handleKey returns true when the key asks the window to close.
bool handleKey(Window& w, int key, int action);
void handleCursor(Window& w, double x, double y);
void handleScroll(Window& w, double yOffset);
RenderFlags renderFlagsFromKeys(const Window& w);
inline bool keyHeld(const Window& w, int key) { return key >= 0 && key < keyCount && w.keys[key] != 0; }

// GLFW callbacks: find the record through the window's user pointer.
void keyCallback(GLFWwindow* handle, int key, int scancode, int action, int mods);
void cursorPositionCallback(GLFWwindow* handle, double x, double y);
void scrollCallback(GLFWwindow* handle, double xOffset, double yOffset);
