// Antialiasing through a real context: with it on, an edge drawn by the scene pass reaches the scene colour
// smoothed; with it off, every pixel is either inside or outside.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "app/window.h"
#include "effects/bloom.h"
#include "effects/unit_quad.h"
#include "render/gl_util.h"
#include "render/shader.h"
#include "tests/support/gl_readback.h"
#include "tests/support/scene_fixtures.h"
#include "tests/support/temp_files.h"

namespace {

constexpr int size = 32; // pixels

// Draws a white square turned by 30 degrees on black into the scene's draw target, resolves it, and returns how
// many pixels of the scene colour are neither black nor white.
int partlyCoveredPixels(bool antialiasing) {
    const testfiles::WorkingDirectory data(KELVARA_DATA_DIR);
    Shader sprite;
    if (!glreadback::buildShader(sprite, "Shaders/hud.vert", "Shaders/hud.frag")) {
        return -1;
    }
    const Window saved = window;
    window.framebufferWidth = window.framebufferHeight = size;
    window.antialiasing = antialiasing;
    createBloomTargets();
    EXPECT_EQ(sceneTarget.multisampleFramebuffer != 0, antialiasing);
    unitQuad.create();
    Texture white = scenefixtures::makeTexel(255, 255, 255, 0);

    glBindFramebuffer(GL_FRAMEBUFFER, sceneDrawFramebuffer());
    glViewport(0, 0, size, size);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    sprite.use();
    glUniform1f(glGetUniformLocation(sprite.programId, "opacity"), 1.0f);
    glUniform1f(glGetUniformLocation(sprite.programId, "contrast"), 1.0f);
    glUniform1i(glGetUniformLocation(sprite.programId, "flip"), 0);
    uploadMatrix(sprite.modelLocation, glm::rotate(glm::mat4(1.0f), glm::radians(30.0f), glm::vec3(0.0f, 0.0f, 1.0f)) *
                                           glm::scale(glm::mat4(1.0f), glm::vec3(1.5f)));
    bindTexture2D(white);
    unitQuad.draw();
    resolveSceneTarget();

    const std::vector<float> pixels = glreadback::readTextureRgb(sceneTarget.sceneColour, size, size);
    int partly = 0, covered = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        partly += pixels[i] > 0.05f && pixels[i] < 0.95f ? 1 : 0;
        covered += pixels[i] >= 0.95f ? 1 : 0;
    }
    EXPECT_GT(covered, size * size / 4) << "the square was drawn";
    EXPECT_EQ(glreadback::drainGlErrors(), "");

    white.clear();
    unitQuad.clear();
    releaseBloomTargets();
    sprite.clear();
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    window = saved;
    return partly;
}

TEST(Antialiasing, SmoothsTheScenesEdgesOnlyWhenSwitchedOn) {
    EXPECT_GT(partlyCoveredPixels(true), size) << "a slanted edge crosses about a pixel per row and column";
    EXPECT_EQ(partlyCoveredPixels(false), 0);
}

} // namespace
