// GL test helpers: building a program from the data folder without letting its exception escape, reading
// textures and framebuffers back, and a small colour-plus-depth target to draw into.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/shader.h"

namespace glreadback {

// Builds s from two files (relative to the working directory); a failure becomes a test failure.
inline bool buildShader(Shader& s, const char* vertexPath, const char* fragmentPath) {
    try {
        s.createFromFiles(vertexPath, fragmentPath);
        return true;
    } catch (FileNotFoundException* e) {
        ADD_FAILURE() << "shader file missing: " << e->getFileName();
        delete e;
    } catch (ShaderCompilationException* e) {
        ADD_FAILURE() << "shader build failed: " << e->what();
        delete e;
    }
    return false;
}

// Every error still queued, as text; empty when there is none.
inline std::string drainGlErrors() {
    std::string errors;
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        errors += std::to_string(e) + " ";
    }
    return errors;
}

// Level 0 of a 2D texture as tightly packed RGB floats, bottom row first.
inline std::vector<float> readTextureRgb(GLuint texture, int width, int height) {
    std::vector<float> pixels(static_cast<std::size_t>(width) * height * 3, -1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

inline void writeTextureRgb(GLuint texture, int width, int height, const std::vector<float>& pixels) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGB, GL_FLOAT, pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
}

// RGBA bytes of the bound read framebuffer's current read buffer, bottom row first.
inline std::vector<uint8_t> readPixelsRgba(int width, int height) {
    std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// An 8-bit RGBA colour target with a 24-bit depth buffer, deleted with the object.
struct ColourTarget {
    GLuint framebuffer = 0, colour = 0, depth = 0;
    int width = 0, height = 0;

    ColourTarget(int w, int h) : width(w), height(h) {
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
    }
    ~ColourTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &colour);
        glDeleteRenderbuffers(1, &depth);
    }
    ColourTarget(const ColourTarget&) = delete;
    ColourTarget& operator=(const ColourTarget&) = delete;

    std::vector<uint8_t> read() const {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        return readPixelsRgba(width, height);
    }
    std::vector<float> readDepth() const {
        std::vector<float> values(static_cast<std::size_t>(width) * height, -1.0f);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, values.data());
        return values;
    }
};

} // namespace glreadback
