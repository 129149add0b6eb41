// The scene's targets and what comes after the scene: antialiasing smoothing the edges only when switched on, the
// bloom spreading what glows over its neighbours, and the composite showing the picture the right way up with the
// player's brightness and contrast, or the glow source (key 0) and the shadow map (key 7).
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "gl/bloom.h"
#include "gl/composite.h"
#include "gl/gl_util.h"
#include "gl/shadow_map.h"
#include "tests/support/gl_pass.h"

namespace {

// Draws a white square turned by 30 degrees on black into the scene's draw target, resolves it, and returns how
// many pixels of the scene colour are neither black nor white.
int partlyCoveredPixels(bool antialiasing) {
    constexpr int size = 32; // pixels
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
    EXPECT_GT(partlyCoveredPixels(true), 32) << "a slanted edge crosses about a pixel per row and column";
    EXPECT_EQ(partlyCoveredPixels(false), 0);
}

class Post : public GlPass {
protected:
    Post() {
        glfwGetFramebufferSize(glfwGetCurrentContext(), &width, &height);
        // The renderer's own targets at the window's size, in place of the fixture's.
        createBloomTargets(renderer.targets, width, height, false);
    }
    void composite(bool bloomApplied = false) { renderComposite(renderer, flags, width, height, bloomApplied); }

    // Fills a target texture: f gives the colour of pixel (x, y), bottom row first.
    template <class F>
    void fill(GLuint texture, F f) const {
        std::vector<glm::vec3> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(f(x, y));
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGB, GL_FLOAT, pixels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    std::vector<glm::vec3> readTexture(GLuint texture) const {
        std::vector<glm::vec3> pixels(std::size_t(width) * height);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, pixels.data());
        return pixels;
    }
    // The window's picture after the composite, 0..1, bottom row first.
    glm::vec3 shown(int x, int y) const {
        unsigned char rgba[4] = {};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return glm::vec3(rgba[0], rgba[1], rgba[2]) / 255.0f;
    }
    // What the scene pass leaves: its target bound with a cleared depth buffer and depth testing on.
    void afterTheScene() const {
        glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.scene.framebuffer);
        glClear(GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
    }

    int width = 0, height = 0;
};

TEST_F(Post, BloomSpreadsAGlowAndTheCompositeShowsThePictureUprightWithTheSettingsOrADebuggingView) {
    const int cx = width / 2, cy = height / 2;
    const BloomTargets& targets = renderer.targets;
    fill(targets.scene.sceneColour, [](int, int) { return glm::vec3(0.1f); });
    fill(targets.scene.brightColour, [&](int x, int y) { return glm::vec3(x == cx && y == cy ? 0.5f : 0.0f); });
    afterTheScene();
    renderBloom(renderer, width, height);
    EXPECT_EQ(finalSceneTexture(targets, true), targets.combined.blurColour);
    EXPECT_EQ(finalSceneTexture(targets, false), targets.scene.sceneColour);
    const std::vector<glm::vec3> combined = readTexture(targets.combined.blurColour);
    const std::vector<glm::vec3> scene = readTexture(targets.scene.sceneColour); // 0.1 as half floats hold it
    auto added = [&](int x, int y) { return combined[std::size_t(y) * width + x].g - scene[std::size_t(y) * width + x].g; };
    double total = 0.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) total += added(x, y);
    EXPECT_NEAR(total, 0.5 * 0.8, 0.01) << "all of the glow arrives, weighted by the exposure";
    EXPECT_LT(added(cx, cy), 0.1f) << "spread out";
    EXPECT_GT(added(cx + 3, cy - 3), 0.0f);
    EXPECT_NEAR(added(cx + 8, cy), 0.0f, 1e-4f) << "the scene far away is left as it was";
    EXPECT_NEAR(scene[0].g, 0.1f, 1e-3f) << "the scene texture is only read";

    // The composite shows the picture upright with the player's settings, or a debugging view.
    const glm::vec3 topLeft(0.8f, 0.1f, 0.1f), topRight(0.1f, 0.1f, 0.8f), bottom(0.1f, 0.6f, 0.1f), glow(0.0f, 0.2f, 0.9f);
    fill(targets.scene.sceneColour, [&](int x, int y) { return y < height / 2 ? bottom : x < width / 2 ? topLeft : topRight; });
    fill(targets.scene.brightColour, [&](int, int) { return glow; });
    auto expectQuadrants = [&](const glm::vec3& tl, const glm::vec3& tr, const glm::vec3& b, const char* what) {
        expectVecNear(shown(width / 4, height * 3 / 4), tl, 0.01f, std::string(what) + ", top left");
        expectVecNear(shown(width * 3 / 4, height * 3 / 4), tr, 0.01f, std::string(what) + ", top right");
        expectVecNear(shown(width / 2, height / 4), b, 0.01f, std::string(what) + ", bottom");
    };
    composite();
    expectQuadrants(topLeft, topRight, bottom, "as drawn");

    renderer.brightness = 0.1f;
    renderer.contrast = 2.0f;
    auto adjusted = [](const glm::vec3& c) { return glm::clamp((c - 0.5f) * 2.0f + 0.6f, 0.0f, 1.0f); };
    composite();
    expectQuadrants(adjusted(topLeft), adjusted(topRight), adjusted(bottom), "brighter, more contrast");
    renderer.brightness = 0.0f;
    renderer.contrast = 1.0f;

    flags.showBrightPass = true;
    composite();
    expectQuadrants(glow, glow, glow, "key 0");
    composite(true);
    expectQuadrants(glow, glow, glow, "key 0 after a bloom pass");
    flags.showBrightPass = false;

    // Key 7: the shadow map (cleared to depth 0.5 here) as a grey picture over x -0.75..-0.25, y 0.25..0.75.
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.shadow.framebuffer);
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    flags.showDepthMap = true;
    composite();
    expectVecNear(shown(width / 4, height * 3 / 4), glm::vec3(0.5f), 0.01f, "the depth picture");
    expectVecNear(shown(width / 16, height * 3 / 4), topLeft, 0.01f, "left of it");
    expectVecNear(shown(width / 4, height * 15 / 16), topLeft, 0.01f, "above it");
    expectVecNear(shown(width * 3 / 4, height * 3 / 4), topRight, 0.01f, "the rest");
}

} // namespace
