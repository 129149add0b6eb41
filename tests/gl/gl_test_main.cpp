// Entry point of the GL tests: one hidden window with an OpenGL 3.3 core context, current for every test.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int hiddenWindowSize = 64; // pixels; tests render into their own framebuffers

void printGlfwError(int code, const char* description) {
    std::fprintf(stderr, "GLFW error %d: %s\n", code, description);
}

class GlContextEnvironment : public testing::Environment {
public:
    void SetUp() override {
        glfwSetErrorCallback(printGlfwError);
        if (!glfwInit()) {
            fail("GLFW could not start: the GL tests need a display (run them under xvfb-run)");
        }
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        window = glfwCreateWindow(hiddenWindowSize, hiddenWindowSize, "kelvara-gl-tests", nullptr, nullptr);
        if (window == nullptr) {
            glfwTerminate();
            fail("no OpenGL 3.3 core context could be created");
        }
        glfwMakeContextCurrent(window);
        glewExperimental = GL_TRUE;
        const GLenum glewStatus = glewInit();
        if (glewStatus != GLEW_OK) {
            std::fprintf(stderr, "GLEW: %s\n", reinterpret_cast<const char*>(glewGetErrorString(glewStatus)));
            fail("GLEW could not load the OpenGL entry points");
        }
        // glewInit asks for the extension string the legacy way, which a core context rejects once.
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    void TearDown() override {
        if (window != nullptr) {
            glfwDestroyWindow(window);
            window = nullptr;
        }
        glfwTerminate();
    }

private:
    [[noreturn]] static void fail(const char* reason) {
        std::fprintf(stderr, "kelvara-gl-tests: %s\n", reason);
        std::exit(1);
    }

    GLFWwindow* window = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new GlContextEnvironment());
    return RUN_ALL_TESTS();
}
