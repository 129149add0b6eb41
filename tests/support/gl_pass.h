// The one GL pass fixture: a renderer of its own with the shipped programs, textures and models, a race on the
// shipped course over ground the test chooses, and an off-screen target standing in for the scene target, read
// back as colours. Every test makes and drops all of it; nothing is shared between tests but the GL context.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <glm/vec4.hpp>

#include "core/camera.h"
#include "core/course.h"
#include "core/race.h"
#include "core/settings.h"
#include "gl/renderer.h"
#include "gl/texture.h"
#include "tests/support/files.h"

// A renderer's first half (programs, shadow map, unit quad, textures, models) from the shipped data folder,
// released when it goes.
struct ShippedRenderer {
    ShippedRenderer() {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        EXPECT_EQ(startRenderer(renderer, Settings{}), RendererFailure::None) << "the shipped programs build";
    }
    ~ShippedRenderer() { releaseRenderer(renderer); }
    ShippedRenderer(const ShippedRenderer&) = delete;
    ShippedRenderer& operator=(const ShippedRenderer&) = delete;

    Renderer renderer;
};

// A grid of one height, side x side grid points.
inline HeightGrid levelGrid(int32_t side, int16_t sample = 0) {
    return HeightGrid{side, side, std::vector<int16_t>(std::size_t(side) * std::size_t(side), sample)};
}

// A race on the shipped course's checkpoints over the given ground (height scale 100) instead of its heightmap.
inline std::unique_ptr<Race> raceOnGround(HeightGrid grid) {
    Course course;
    EXPECT_TRUE(loadCourse(KELVARA_DATA_DIR, defaultCourseId, course));
    return std::make_unique<Race>(std::move(course), Terrain(std::move(grid), 100.0f));
}

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
        // The scene pass draws into this target in place of the renderer's own.
        renderer.targets.scene.framebuffer = framebuffer;
        renderer.projection = makeCameraProjection(size, size);
        race = raceOnGround(levelGrid(2));
    }
    ~GlPass() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        // The target is the fixture's, not the renderer's to delete.
        if (renderer.targets.scene.framebuffer == framebuffer) renderer.targets.scene = SceneTarget{};
        glDeleteRenderbuffers(1, &depth);
        glDeleteTextures(2, colour);
        glDeleteFramebuffers(1, &framebuffer);
        glUseProgram(0);
        glDisable(GL_BLEND);
    }

    // A new race over ground, its ground uploaded to the renderer in place of the last one.
    void useGround(HeightGrid ground) {
        releaseCourse(renderer);
        race = raceOnGround(std::move(ground));
        ASSERT_TRUE(uploadCourse(renderer, *race));
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

    // Declared first: released last, after the tests' own GL objects.
    ShippedRenderer shipped;
    Renderer& renderer = shipped.renderer;
    std::unique_ptr<Race> race;
    RenderFlags flags;
    GLuint framebuffer = 0, colour[2] = {0, 0}, depth = 0;
};

// A 1 x 1 texture of one colour on the given unit.
inline Texture texel(uint8_t r, uint8_t g, uint8_t b, uint32_t unit) {
    Texture t;
    t.textureId = uploadTexture(Image{1, 1, 4, 4, {r, g, b, 255}}, GL_REPEAT, GL_NEAREST);
    t.unit = unit;
    return t;
}

// Replaces the renderer's grass maps (releasing the shipped ones) with maps a test can read a stray value from;
// they go with the renderer.
inline void replaceGrass(Renderer& renderer, Texture colour, Texture specular, Texture normals) {
    for (Texture* t : {&renderer.textures.grass, &renderer.textures.grassSpecular, &renderer.textures.grassNormal}) {
        t->clear();
    }
    renderer.textures.grass = std::move(colour);
    renderer.textures.grassSpecular = std::move(specular);
    renderer.textures.grassNormal = std::move(normals);
}
