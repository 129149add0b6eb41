// Input callbacks: key states, cursor motion and scroll waiting in the window record for the next update.
#include "app/input.h"

#include <GLFW/glfw3.h>

RenderFlags renderFlags;

namespace {

Window* recordOf(GLFWwindow* handle) {
    return static_cast<Window*>(glfwGetWindowUserPointer(handle));
}

} // namespace

bool handleKey(Window& w, int key, int action) {
    if (key == keyEscape && action == GLFW_PRESS) {
        w.keys[keyEscape] = 1;
        return true;
    }
    // Unsigned, so the unknown key (-1) is ignored with the codes above the table.
    if (static_cast<unsigned>(key) >= static_cast<unsigned>(keyCount)) {
        return false;
    }
    if (action == GLFW_PRESS) {
        w.keys[key] = 1;
    } else if (action == GLFW_RELEASE) {
        w.keys[key] = 0;
    }
    return false;
}

void handleCursor(Window& w, double x, double y) {
    if (w.firstMouse) {
        w.firstMouse = false;
        w.lastX = static_cast<float>(x);
        w.lastY = static_cast<float>(y);
    }
    // Overwritten, not summed: only the last event of a frame turns the camera. Screen y grows downwards.
    w.mouseDeltaX = static_cast<float>(x - static_cast<double>(w.lastX));
    w.mouseDeltaY = static_cast<float>(static_cast<double>(w.lastY) - y);
    w.lastX = static_cast<float>(x);
    w.lastY = static_cast<float>(y);
}

void handleScroll(Window& w, double yOffset) {
    w.scrollDelta = static_cast<float>(yOffset);
}

RenderFlags renderFlagsFromKeys(const Window& w) {
    RenderFlags flags;
    flags.showBrightPass = keyHeld(w, key0);
    flags.bloomEnabled = !keyHeld(w, key9);
    flags.debugNormals = keyHeld(w, key8);
    flags.smoothShadows = !keyHeld(w, key6);
    flags.showDepthMap = keyHeld(w, key7);
    flags.reflectivity = static_cast<float>(w.keys[key5] * 0.9 + 0.1);
    return flags;
}

void keyCallback(GLFWwindow* handle, int key, int, int action, int) {
    Window* w = recordOf(handle);
    if (w && handleKey(*w, key, action)) {
        glfwSetWindowShouldClose(handle, GLFW_TRUE);
    }
}

void cursorPositionCallback(GLFWwindow* handle, double x, double y) {
    if (Window* w = recordOf(handle)) {
        handleCursor(*w, x, y);
    }
}

void scrollCallback(GLFWwindow* handle, double, double yOffset) {
    if (Window* w = recordOf(handle)) {
        handleScroll(*w, yOffset);
    }
}
