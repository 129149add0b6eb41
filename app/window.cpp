// Opens the window with its OpenGL 3.3 core context, registers input callbacks, prints driver debug output,
// switches full screen and reads the game controller.
#include "app/window.h"

#include <algorithm>
#include <cstdio>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "core/input.h"
#include "core/window_fit.h"

namespace {

constexpr const char* windowTitle = "Kelvara-Actionminigolf 3D";
constexpr uint32_t silencedIds[] = {131185, 131218}; // driver chatter about buffer placement

// The AMD_debug_output categories share the message callback with the core enums.
constexpr uint32_t amdApiError = 0x9149, amdWindowSystem = 0x914A, amdDeprecation = 0x914B,
                   amdUndefinedBehavior = 0x914C, amdPerformance = 0x914D, amdShaderCompiler = 0x914E,
                   amdApplication = 0x914F, amdOther = 0x9150;

const char* sourceName(uint32_t source) {
    switch (source) {
    case GL_DEBUG_SOURCE_API: case amdApiError: return "API";
    case GL_DEBUG_SOURCE_WINDOW_SYSTEM: case amdWindowSystem: return "Window System";
    case GL_DEBUG_SOURCE_SHADER_COMPILER: case amdShaderCompiler: return "Shader Compiler";
    case GL_DEBUG_SOURCE_THIRD_PARTY: return "Third Party";
    case GL_DEBUG_SOURCE_APPLICATION: case amdApplication: return "Application";
    case GL_DEBUG_SOURCE_OTHER: case amdOther: return "Other";
    default: return "Unknown";
    }
}

const char* typeName(uint32_t type) {
    switch (type) {
    case GL_DEBUG_TYPE_ERROR: return "Error";
    case GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR: case amdDeprecation: return "Deprecated Behavior";
    case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR: case amdUndefinedBehavior: return "Undefined Behavior";
    case GL_DEBUG_TYPE_PORTABILITY: return "Portability";
    case GL_DEBUG_TYPE_PERFORMANCE: case amdPerformance: return "Performance";
    case GL_DEBUG_TYPE_OTHER: case amdOther: return "Other";
    default: return "Unknown";
    }
}

const char* severityName(uint32_t severity) {
    switch (severity) {
    case GL_DEBUG_SEVERITY_HIGH: return "High";
    case GL_DEBUG_SEVERITY_MEDIUM: return "Medium";
    case GL_DEBUG_SEVERITY_LOW: return "Low";
    default: return "Unknown";
    }
}

// May run on a driver thread: keeps no state and writes one whole line.
void GLAPIENTRY debugMessageCallback(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei, const GLchar* message,
                                     const void*) {
    if (isSilencedDebugMessage(id)) {
        return;
    }
    const std::string line = formatDebugMessage(source, type, id, severity, message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

Window* recordOf(GLFWwindow* handle) {
    return static_cast<Window*>(glfwGetWindowUserPointer(handle));
}

// The first connected joystick with a standard gamepad mapping, or -1.
int findGamepad() {
    for (int id = GLFW_JOYSTICK_1; id <= GLFW_JOYSTICK_LAST; ++id) {
        if (glfwJoystickIsGamepad(id)) {
            return id;
        }
    }
    return -1;
}

void takeGamepad(Window& window, int id) {
    window.activeGamepad = id;
    window.previousGamepad = GamepadState{};
    if (id >= 0) {
        const char* name = glfwGetGamepadName(id);
        std::fprintf(stderr, "Controller connected: %s\n", name ? name : "unnamed gamepad");
    }
}

// The monitor holding most of the window, else the primary one.
GLFWmonitor* monitorUnderWindow(const Window& window) {
    int x = 0, y = 0, width = 0, height = 0;
    glfwGetWindowPos(window.handle, &x, &y);
    glfwGetWindowSize(window.handle, &width, &height);
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    GLFWmonitor* best = glfwGetPrimaryMonitor();
    long bestOverlap = 0;
    for (int i = 0; i < count; ++i) {
        const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
        if (mode == nullptr) {
            continue;
        }
        int mx = 0, my = 0;
        glfwGetMonitorPos(monitors[i], &mx, &my);
        const long overlapX = std::max(0, std::min(x + width, mx + mode->width) - std::max(x, mx));
        const long overlapY = std::max(0, std::min(y + height, my + mode->height) - std::max(y, my));
        if (overlapX * overlapY > bestOverlap) {
            bestOverlap = overlapX * overlapY;
            best = monitors[i];
        }
    }
    return best;
}

// Shrinks a window that does not fit the primary monitor's work area (less its frame) to fit, keeping its aspect,
// and places it there; a window that fits keeps the configured size and the window system's place.
void fitInWorkArea(Window& window) {
    GLFWmonitor* primary = glfwGetPrimaryMonitor();
    if (primary == nullptr) {
        return;
    }
    int areaX = 0, areaY = 0, areaWidth = 0, areaHeight = 0;
    glfwGetMonitorWorkarea(primary, &areaX, &areaY, &areaWidth, &areaHeight);
    int left = 0, top = 0, right = 0, bottom = 0;
    glfwGetWindowFrameSize(window.handle, &left, &top, &right, &bottom);
    const int32_t availableWidth = areaWidth - left - right, availableHeight = areaHeight - top - bottom;
    const WindowSize fitted = fitWindowSize({window.width, window.height}, {availableWidth, availableHeight});
    const int32_t width = fitted.width, height = fitted.height;
    if (width == window.width && height == window.height) {
        return;
    }
    std::fprintf(stderr, "The %d x %d window does not fit the screen's %d x %d work area: shrunk to %d x %d.\n",
                 window.width, window.height, areaWidth, areaHeight, width, height);
    window.width = width;
    window.height = height;
    glfwSetWindowSize(window.handle, width, height);
    glfwSetWindowPos(window.handle, areaX + left + (availableWidth - width) / 2,
                     areaY + top + (availableHeight - height) / 2);
}

} // namespace

void keyCallback(GLFWwindow* handle, int key, int, int action, int) {
    Window* w = recordOf(handle);
    if (w && handleKey(w->input, key, action)) {
        glfwSetWindowShouldClose(handle, GLFW_TRUE);
    }
}

void cursorPositionCallback(GLFWwindow* handle, double x, double y) {
    if (Window* w = recordOf(handle)) {
        handleCursor(w->input, x, y);
    }
}

void scrollCallback(GLFWwindow* handle, double, double yOffset) {
    if (Window* w = recordOf(handle)) {
        handleScroll(w->input, yOffset);
    }
}

void framebufferSizeCallback(GLFWwindow* handle, int width, int height) {
    if (Window* w = recordOf(handle)) {
        w->framebufferWidth = width;
        w->framebufferHeight = height;
        forgetCursor(w->input);
    }
}

void mouseButtonCallback(GLFWwindow* handle, int button, int action, int) {
    // Latched here as well as polled once a frame, so a click shorter than a frame still boosts or restarts.
    if (Window* w = recordOf(handle)) {
        handleMouseButton(w->input, button, action);
    }
}

void windowFocusCallback(GLFWwindow* handle, int) {
    if (Window* w = recordOf(handle)) {
        forgetCursor(w->input);
    }
}

void windowIconifyCallback(GLFWwindow* handle, int) {
    if (Window* w = recordOf(handle)) {
        forgetCursor(w->input);
    }
}

void windowSizeCallback(GLFWwindow* handle, int, int) {
    if (Window* w = recordOf(handle)) {
        forgetCursor(w->input);
    }
}

void windowPositionCallback(GLFWwindow* handle, int, int) {
    if (Window* w = recordOf(handle)) {
        forgetCursor(w->input);
    }
}

void joystickCallback(int joystick, int event) {
    // GLFW gives this callback no window: events are delivered while polling on the thread whose context is the
    // game window's.
    GLFWwindow* handle = glfwGetCurrentContext();
    Window* window = handle ? recordOf(handle) : nullptr;
    if (window == nullptr) {
        return;
    }
    if (event == GLFW_CONNECTED && window->activeGamepad < 0 && glfwJoystickIsGamepad(joystick)) {
        takeGamepad(*window, joystick);
    } else if (event == GLFW_DISCONNECTED && joystick == window->activeGamepad) {
        std::fprintf(stderr, "Controller disconnected\n");
        takeGamepad(*window, findGamepad());
    }
}

void addControllerInput(Window& window, FrameInput& input) {
    GLFWgamepadstate state;
    if (window.activeGamepad < 0 || !glfwGetGamepadState(window.activeGamepad, &state)) {
        return;
    }
    GamepadState now;
    std::copy(std::begin(state.buttons), std::end(state.buttons), now.buttons.begin());
    std::copy(std::begin(state.axes), std::end(state.axes), now.axes.begin());
    addGamepadInput(input, now, window.previousGamepad);
    window.previousGamepad = now;
}

void toggleFullscreen(Window& window) {
    if (glfwGetWindowMonitor(window.handle) != nullptr) {
        if (window.windowedWidth <= 0 || window.windowedHeight <= 0) {
            // Started in full screen: the settings' size, in the middle of the monitor.
            const GLFWvidmode* mode = glfwGetVideoMode(glfwGetWindowMonitor(window.handle));
            // Never larger than the monitor, as the first window would have been.
            const WindowSize size = mode ? fitWindowSize({window.width, window.height}, {mode->width, mode->height})
                                         : WindowSize{window.width, window.height};
            window.windowedWidth = size.width;
            window.windowedHeight = size.height;
            window.windowedX = mode ? (mode->width - size.width) / 2 : 0;
            window.windowedY = mode ? (mode->height - size.height) / 2 : 0;
        }
        glfwSetWindowMonitor(window.handle, nullptr, window.windowedX, window.windowedY, window.windowedWidth,
                             window.windowedHeight, GLFW_DONT_CARE);
        window.fullscreen = false;
    } else {
        GLFWmonitor* monitor = monitorUnderWindow(window);
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (mode == nullptr) {
            return;
        }
        glfwGetWindowPos(window.handle, &window.windowedX, &window.windowedY);
        glfwGetWindowSize(window.handle, &window.windowedWidth, &window.windowedHeight);
        glfwSetWindowMonitor(window.handle, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
        window.fullscreen = true;
    }
    // Some platforms forget the swap interval when the window changes mode.
    glfwSwapInterval(window.vsync ? 1 : 0);
    // The cursor lands somewhere else in the new mode: that is no motion of the player's.
    forgetCursor(window.input);
}

void captureCursor(Window& window, bool captured) {
    glfwSetInputMode(window.handle, GLFW_CURSOR, captured ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
    // The cursor comes back wherever the player left it: its first motion turns nothing.
    forgetCursor(window.input);
}

bool isSilencedDebugMessage(uint32_t id) {
    for (uint32_t silenced : silencedIds) {
        if (id == silenced) {
            return true;
        }
    }
    return false;
}

std::string formatDebugMessage(uint32_t source, uint32_t type, uint32_t id, uint32_t severity, const char* message) {
    std::string line = "OpenGL Error: ";
    line += message ? message : "";
    line += " [Source = ";
    line += sourceName(source);
    line += ", Type = ";
    line += typeName(type);
    line += ", Severity = ";
    line += severityName(severity);
    line += ", ID = ";
    line += std::to_string(id);
    line += "]";
    return line;
}

int createWindow(Window& window) {
    if (!glfwInit()) {
        std::printf("Error Initialising GLFW");
        glfwTerminate();
        return 1;
    }

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);

    GLFWmonitor* monitor = nullptr;
    if (window.fullscreen) {
        monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (mode) {
            glfwWindowHint(GLFW_RED_BITS, mode->redBits);
            glfwWindowHint(GLFW_GREEN_BITS, mode->greenBits);
            glfwWindowHint(GLFW_BLUE_BITS, mode->blueBits);
            glfwWindowHint(GLFW_REFRESH_RATE, mode->refreshRate);
        }
    }
    if (window.antialiasing) {
        glfwWindowHint(GLFW_SAMPLES, 4);
    }
    // Shown once it has a size that fits the screen, frame included.
    glfwWindowHint(GLFW_VISIBLE, monitor ? GLFW_TRUE : GLFW_FALSE);

    window.handle = glfwCreateWindow(window.width, window.height, windowTitle, monitor, nullptr);
    if (!window.handle) {
        std::printf("Error creating GLFW window!");
        glfwTerminate();
        return 1;
    }
    if (monitor == nullptr) {
        fitInWorkArea(window);
        glfwShowWindow(window.handle);
    }
    glfwGetFramebufferSize(window.handle, &window.framebufferWidth, &window.framebufferHeight);
    glfwMakeContextCurrent(window.handle);
    glfwSwapInterval(window.vsync ? 1 : 0);

    glfwSetKeyCallback(window.handle, keyCallback);
    glfwSetCursorPosCallback(window.handle, cursorPositionCallback);
    glfwSetScrollCallback(window.handle, scrollCallback);
    glfwSetFramebufferSizeCallback(window.handle, framebufferSizeCallback);
    glfwSetMouseButtonCallback(window.handle, mouseButtonCallback);
    glfwSetWindowFocusCallback(window.handle, windowFocusCallback);
    glfwSetWindowIconifyCallback(window.handle, windowIconifyCallback);
    glfwSetWindowSizeCallback(window.handle, windowSizeCallback);
    glfwSetWindowPosCallback(window.handle, windowPositionCallback);
    glfwSetJoystickCallback(joystickCallback);
    takeGamepad(window, findGamepad());
    glfwSetInputMode(window.handle, GLFW_CURSOR, GLFW_CURSOR_DISABLED);

    glewExperimental = GL_TRUE;
    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) {
        std::printf("Error: %s", reinterpret_cast<const char*>(glewGetErrorString(glewResult)));
        glfwDestroyWindow(window.handle);
        window.handle = nullptr;
        glfwTerminate();
        return 1;
    }

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_DEBUG_OUTPUT);
    if (glDebugMessageCallback) {
        glDebugMessageCallback(debugMessageCallback, nullptr);
    }
    if (window.antialiasing) {
        glEnable(GL_MULTISAMPLE);
    }
    glViewport(0, 0, window.framebufferWidth, window.framebufferHeight);
    glfwSetWindowUserPointer(window.handle, &window);
    return 0;
}

void destroyWindow(Window& window) {
    window.activeGamepad = -1;
    if (window.handle) {
        glfwDestroyWindow(window.handle);
        window.handle = nullptr;
    }
    glfwTerminate();
}
