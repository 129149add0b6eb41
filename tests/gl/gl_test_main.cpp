// Entry point of the GL tests: one hidden window with an OpenGL 3.3 core context, shared by every test; each test
// makes its own renderer and race.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

int fail(const char* reason) {
    std::fprintf(stderr, "kelvara-gl-tests: %s\n", reason);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!glfwInit()) return fail("GLFW could not start: the GL tests need a display (run them under xvfb-run)");
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, "kelvara-gl-tests", nullptr, nullptr);
    if (!window) return fail("no OpenGL 3.3 core context could be created");
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) return fail("GLEW could not load the OpenGL entry points");
    while (glGetError() != GL_NO_ERROR) continue; // glewInit asks for extensions the legacy way once
    const int result = RUN_ALL_TESTS();
    glfwDestroyWindow(window);
    glfwTerminate();
    return result;
}
