// Antialiasing through a real context: with it on, an edge drawn by the scene pass reaches the scene colour
// smoothed; with it off, every pixel is either inside or outside.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "gl/bloom.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"
#include "tests/support/gl_pass.h"

namespace {

constexpr int size = 32; // pixels

// Draws a white square turned by 30 degrees on black into the scene's draw target, resolves it, and returns how
// many pixels of the scene colour are neither black nor white.
int partlyCoveredPixels(bool antialiasing) {
    ShippedRenderer shipped;
    Renderer& renderer = shipped.renderer;
    BloomTargets& targets = renderer.targets;
    const Shader& hudShader = renderer.programs.hud;
    createBloomTargets(targets, size, size, antialiasing);
    EXPECT_EQ(targets.scene.multisampleFramebuffer != 0, antialiasing);
    const GLuint white = uploadTexture(Image{1, 1, 4, 4, {255, 255, 255, 255}}, GL_REPEAT, GL_NEAREST);

    glBindFramebuffer(GL_FRAMEBUFFER, sceneDrawFramebuffer(targets));
    glViewport(0, 0, size, size);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    hudShader.use();
    glUniform1f(glGetUniformLocation(hudShader.programId, "opacity"), 1.0f);
    glUniform1f(glGetUniformLocation(hudShader.programId, "contrast"), 1.0f);
    glUniform1f(glGetUniformLocation(hudShader.programId, "brightness"), 0.0f);
    glUniform1i(glGetUniformLocation(hudShader.programId, "flip"), 0);
    uploadMatrix(hudShader.modelLocation, glm::rotate(glm::mat4(1.0f), glm::radians(30.0f), glm::vec3(0, 0, 1)) *
                                              glm::scale(glm::mat4(1.0f), glm::vec3(1.5f)));
    bindTextureOnUnit(GL_TEXTURE_2D, white, 0);
    renderer.quad.draw();
    resolveSceneTarget(targets);

    std::vector<float> pixels(std::size_t(size) * size * 3);
    glBindTexture(GL_TEXTURE_2D, targets.scene.sceneColour);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, pixels.data());
    int partly = 0, covered = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        partly += pixels[i] > 0.05f && pixels[i] < 0.95f ? 1 : 0;
        covered += pixels[i] >= 0.95f ? 1 : 0;
    }
    EXPECT_GT(covered, size * size / 4) << "the square was drawn";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    glDeleteTextures(1, &white);
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    return partly;
}

TEST(Antialiasing, SmoothsTheScenesEdgesOnlyWhenSwitchedOn) {
    EXPECT_GT(partlyCoveredPixels(true), size) << "a slanted edge crosses about a pixel per row and column";
    EXPECT_EQ(partlyCoveredPixels(false), 0);
}

} // namespace
