// The one GL pass fixture: fresh game globals, the shipped programs and start-up textures (made once per process by
// the GL tests' main), and an off-screen target standing in for the scene target, read back as colours.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include <glm/vec4.hpp>

#include "app/window.h"
#include "gl/bloom.h"
#include "gl/texture.h"
#include "tests/support/game_state.h"

class GlPass : public testing::Test {
public:
    static constexpr int size = 128; // pixels per side of the target

protected:
    GlPass() {
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenTextures(2, colour);
        for (GLuint i = 0; i < 2; ++i) { // lit colour and glow, as the scene target holds them
            glBindTexture(GL_TEXTURE_2D, colour[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, size, size, 0, GL_RGBA, GL_FLOAT, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, colour[i], 0);
        }
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size, size);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        const GLenum outputs[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glDrawBuffers(2, outputs);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, size, size);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        sceneTarget.framebuffer = framebuffer;
        window.framebufferWidth = window.framebufferHeight = size;
        cameraProjection = makeCameraProjection(size, size);
    }
    ~GlPass() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &depth);
        glDeleteTextures(2, colour);
        glDeleteFramebuffers(1, &framebuffer);
        glUseProgram(0);
        glDisable(GL_BLEND);
        sceneTarget = savedTarget;
        window = savedWindow;
    }

    // Output 0 (lit colour) or 1 (glow), every pixel, bottom row first.
    std::vector<glm::vec4> readAll(int output = 0) const {
        std::vector<glm::vec4> pixels(std::size_t(size) * size);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0 + output);
        glReadPixels(0, 0, size, size, GL_RGBA, GL_FLOAT, pixels.data());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return pixels;
    }
    glm::vec4 read(int output, int x, int y) const { return readAll(output)[std::size_t(y) * size + x]; }

    // Binds the target for a pass that draws into whatever is bound.
    void drawIntoTarget() const {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, 0, size, size);
    }

    FreshGame game;
    SceneTarget savedTarget = sceneTarget;
    Window savedWindow = window;
    GLuint framebuffer = 0, colour[2] = {0, 0}, depth = 0;
};

// A 1 x 1 texture of one colour on the given unit.
inline Texture texel(uint8_t r, uint8_t g, uint8_t b, uint32_t unit) {
    Texture t;
    t.textureId = uploadTexture(Image{1, 1, 4, 4, {r, g, b, 255}}, GL_REPEAT, GL_NEAREST);
    t.unit = unit;
    return t;
}

// Maps that stand in for the shipped grass while a test lives; then they go and the grass comes back.
struct GrassStandIn {
    GrassStandIn(Texture colour, Texture specular, Texture normals)
        : maps{std::move(colour), std::move(specular), std::move(normals)} {
        swapWithGrass();
    }
    ~GrassStandIn() {
        swapWithGrass();
        for (Texture& t : maps) t.clear();
    }
    void swapWithGrass() {
        std::swap(grassTexture, maps[0]);
        std::swap(grassSpecularTexture, maps[1]);
        std::swap(grassNormalTexture, maps[2]);
    }
    std::array<Texture, 3> maps;
};
