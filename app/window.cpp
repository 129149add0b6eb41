// Opens the window with its OpenGL 3.3 core context, registers input callbacks and prints driver debug output.
#include "app/window.h"

#include <cstdio>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/input.h"

Window window;

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

} // namespace

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

int createWindow() {
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

    window.handle = glfwCreateWindow(window.width, window.height, windowTitle, monitor, nullptr);
    if (!window.handle) {
        std::printf("Error creating GLFW window!");
        glfwTerminate();
        return 1;
    }
    glfwGetFramebufferSize(window.handle, &window.framebufferWidth, &window.framebufferHeight);
    glfwMakeContextCurrent(window.handle);

    glfwSetKeyCallback(window.handle, keyCallback);
    glfwSetCursorPosCallback(window.handle, cursorPositionCallback);
    glfwSetScrollCallback(window.handle, scrollCallback);
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

void destroyWindow() {
    if (window.handle) {
        glfwDestroyWindow(window.handle);
        window.handle = nullptr;
    }
    glfwTerminate();
}
