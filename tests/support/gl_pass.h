// The one GL pass fixture: a renderer of its own with the shipped programs, textures and models, a race on the
// shipped course over ground the test chooses, and the renderer's scene target at a small size, read back as
// colours. Every test makes and drops all of it; nothing is shared between tests but the GL context.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <glm/vec4.hpp>

#include "core/camera.h"
#include "core/settings.h"
#include "gl/renderer.h"
#include "gl/texture.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

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

// A race on the shipped course's checkpoints over the given ground (height scale 100) instead of its heightmap.
inline std::unique_ptr<Race> raceOnGround(HeightGrid grid) {
    return std::make_unique<Race>(shippedCourse(), Terrain(std::move(grid), 100.0f));
}

class GlPass : public testing::Test {
public:
    static constexpr int size = 128; // pixels per side of the target

protected:
    GlPass() {
        createBloomTargets(renderer.targets, size, size, false);
        framebuffer = renderer.targets.scene.framebuffer;
        drawIntoTarget();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer.projection = makeCameraProjection(size, size);
        race = raceOnGround(levelGrid(2));
    }
    ~GlPass() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
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
    GLuint framebuffer = 0; // the renderer's own scene target, size x size
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
    for (Texture* t : {&renderer.textures.grass, &renderer.textures.grassSpecular, &renderer.textures.grassNormal})
        t->clear();
    renderer.textures.grass = std::move(colour);
    renderer.textures.grassSpecular = std::move(specular);
    renderer.textures.grassNormal = std::move(normals);
}
