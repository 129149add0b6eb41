// Bloom through a real context: the targets' formats and sizes, the blur of one bright texel, the combine.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/window.h"
#include "effects/bloom.h"
#include "effects/unit_quad.h"
#include "render/shader.h"
#include "tests/support/gl_readback.h"
#include "tests/support/temp_files.h"

namespace {

using glreadback::readTextureRgb;
using glreadback::writeTextureRgb;

// Not square, so a swapped width and height shows.
constexpr int targetWidth = 48, targetHeight = 32;
constexpr float exposure = 0.8f;

struct TexelPos {
    int x, y;
};

std::size_t at(int x, int y) {
    return (static_cast<std::size_t>(y) * targetWidth + x) * 3;
}

std::vector<float> filled(float r, float g, float b) {
    std::vector<float> pixels(static_cast<std::size_t>(targetWidth) * targetHeight * 3);
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = r;
        pixels[i + 1] = g;
        pixels[i + 2] = b;
    }
    return pixels;
}

// What the combine makes of a scene value and its blurred glow: the glow weighted by the exposure, then values above
// the knee rolled off towards 1.
float combineExpected(float scene, float glow) {
    constexpr float knee = 0.8f;
    const float hdr = scene + glow * exposure;
    if (hdr <= knee) {
        return hdr;
    }
    return knee + (1.0f - knee) * (1.0f - std::exp(-(hdr - knee) / (1.0f - knee)));
}

class BloomGl : public testing::Test {
protected:
    void SetUp() override {
        data = std::make_unique<testfiles::WorkingDirectory>(KELVARA_DATA_DIR);
        savedWidth = window.framebufferWidth;
        savedHeight = window.framebufferHeight;
        window.framebufferWidth = targetWidth;
        window.framebufferHeight = targetHeight;
        glreadback::drainGlErrors();
        ASSERT_TRUE(glreadback::buildShader(blurShader, "Shaders/blur.vert", "Shaders/blur.frag"));
        ASSERT_TRUE(glreadback::buildShader(*bufferShader, "Shaders/buffer.vert", "Shaders/buffer.frag"));
        unitQuad.create();
        createBloomTargets();
        creationErrors = glreadback::drainGlErrors();
    }

    void TearDown() override {
        releaseBloomTargets();
        unitQuad.clear();
        blurShader.clear();
        bufferShader->clear();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glActiveTexture(GL_TEXTURE0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        window.framebufferWidth = savedWidth;
        window.framebufferHeight = savedHeight;
        data.reset();
    }

    // What the scene pass leaves behind: its target bound and cleared to depth 1, depth test on with GL_LESS and
    // depth writes on, back faces culled, no blending, unit 0 active.
    void leaveSceneState(float depth = 1.0f) {
        glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
        glViewport(0, 0, targetWidth, targetHeight);
        glClearDepth(depth);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glDisable(GL_BLEND);
        glActiveTexture(GL_TEXTURE0);
    }

    std::unique_ptr<testfiles::WorkingDirectory> data;
    int savedWidth = 0, savedHeight = 0;
    std::string creationErrors;
};

struct TextureShape {
    GLint internalFormat = 0, width = 0, height = 0, wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
};
TextureShape shapeOf(GLuint texture) {
    TextureShape s;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &s.internalFormat);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &s.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &s.height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &s.wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &s.wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &s.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &s.magFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    return s;
}

void expectHalfFloatTarget(GLuint texture, GLint wrapS, const char* name) {
    const TextureShape s = shapeOf(texture);
    EXPECT_EQ(s.internalFormat, GL_RGB16F) << name;
    EXPECT_EQ(s.width, targetWidth) << name;
    EXPECT_EQ(s.height, targetHeight) << name;
    EXPECT_EQ(s.wrapS, wrapS) << name;
    EXPECT_EQ(s.wrapT, GL_REPEAT) << name;
    EXPECT_EQ(s.minFilter, GL_LINEAR) << name;
    EXPECT_EQ(s.magFilter, GL_LINEAR) << name;
}

GLenum statusOf(GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return status;
}

TEST_F(BloomGl, TargetsAreCompleteHalfFloatRgbAtTheFramebufferSize) {
    EXPECT_EQ(creationErrors, "") << "creating the targets raised GL errors";
    const GLenum complete = GL_FRAMEBUFFER_COMPLETE;
    EXPECT_EQ(statusOf(sceneTarget.framebuffer), complete);
    EXPECT_EQ(statusOf(blurTargets[0].framebuffer), complete);
    EXPECT_EQ(statusOf(blurTargets[1].framebuffer), complete);
    EXPECT_EQ(statusOf(combinedTarget.framebuffer), complete);
    EXPECT_NE(blurTargets[0].framebuffer, blurTargets[1].framebuffer);

    expectHalfFloatTarget(sceneTarget.sceneColour, GL_CLAMP_TO_EDGE, "sceneColour");
    expectHalfFloatTarget(sceneTarget.brightColour, GL_CLAMP_TO_EDGE, "brightColour");
    expectHalfFloatTarget(blurTargets[0].blurColour, GL_REPEAT, "blur 0");
    expectHalfFloatTarget(blurTargets[1].blurColour, GL_REPEAT, "blur 1");
    expectHalfFloatTarget(combinedTarget.blurColour, GL_CLAMP_TO_EDGE, "combined");
}

TEST_F(BloomGl, SceneTargetWritesBothColoursAndHasADepthBuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
    GLint drawBuffer0 = 0, drawBuffer1 = 0, colour0 = 0, colour1 = 0, depthType = 0;
    glGetIntegerv(GL_DRAW_BUFFER0, &drawBuffer0);
    glGetIntegerv(GL_DRAW_BUFFER1, &drawBuffer1);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &colour0);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &colour1);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depthType);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(drawBuffer0, GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(drawBuffer1, GL_COLOR_ATTACHMENT1);
    EXPECT_EQ(static_cast<GLuint>(colour0), sceneTarget.sceneColour);
    EXPECT_EQ(static_cast<GLuint>(colour1), sceneTarget.brightColour);
    EXPECT_EQ(depthType, GL_RENDERBUFFER);

    GLint depthWidth = 0, depthHeight = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, sceneTarget.depthBuffer);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &depthWidth);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &depthHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    EXPECT_EQ(depthWidth, targetWidth);
    EXPECT_EQ(depthHeight, targetHeight);
    EXPECT_EQ(bloomWeights, computeBloomWeights());
}

TEST_F(BloomGl, BlurSpreadsOneBrightTexelSymmetricallyAndKeepsItsTotal) {
    constexpr TexelPos bright{24, 16};
    const float value[3] = {1.0f, 0.5f, 2.0f};
    std::vector<float> glow = filled(0.0f, 0.0f, 0.0f);
    for (int c = 0; c < 3; ++c) {
        glow[at(bright.x, bright.y) + c] = value[c];
    }
    writeTextureRgb(sceneTarget.brightColour, targetWidth, targetHeight, glow);
    writeTextureRgb(sceneTarget.sceneColour, targetWidth, targetHeight, filled(0.0f, 0.0f, 0.0f));
    leaveSceneState();

    renderBloom();
    EXPECT_EQ(glreadback::drainGlErrors(), "");
    const std::vector<float> blurred = readTextureRgb(blurTargets[0].blurColour, targetWidth, targetHeight);

    // One axis spreads a texel over nine taps with weights w[|d|] / (w[0] + 2 (w[1] + ... + w[4])).
    double oneAxis[5];
    double taps = bloomWeights[0];
    for (int i = 1; i < 5; ++i) {
        taps += 2.0 * bloomWeights[i];
    }
    for (int i = 0; i < 5; ++i) {
        oneAxis[i] = bloomWeights[i] / taps;
    }

    double total[3] = {};
    for (int y = 0; y < targetHeight; ++y) {
        for (int x = 0; x < targetWidth; ++x) {
            const int dx = x - bright.x, dy = y - bright.y;
            const bool inReach = std::abs(dx) <= 4 && std::abs(dy) <= 4;
            for (int c = 0; c < 3; ++c) {
                const float got = blurred[at(x, y) + c];
                total[c] += got;
                if (!inReach) {
                    ASSERT_EQ(got, 0.0f) << "glow reached (" << x << ", " << y << ")";
                    continue;
                }
                const double expected = value[c] * oneAxis[std::abs(dx)] * oneAxis[std::abs(dy)];
                EXPECT_NEAR(got, expected, expected * 4e-3) << "at offset (" << dx << ", " << dy << ") channel " << c;
                // Mirrored offsets get the same share.
                EXPECT_NEAR(got, blurred[at(bright.x - dx, bright.y - dy) + c], expected * 2e-3);
                EXPECT_NEAR(got, blurred[at(bright.x + dy, bright.y + dx) + c], expected * 2e-3);
            }
        }
    }
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(total[c], value[c], value[c] * 0.01) << "channel " << c;
    }
}

TEST_F(BloomGl, CombineAddsTheGlowToTheSceneAndToneMapsWithTheExposure) {
    const float scene[3] = {0.25f, 0.5f, 1.5f};
    writeTextureRgb(sceneTarget.sceneColour, targetWidth, targetHeight, filled(scene[0], scene[1], scene[2]));
    std::vector<float> glow = filled(0.0f, 0.0f, 0.0f);
    glow[at(10, 20)] = 4.0f;
    glow[at(30, 8) + 1] = 3.0f;
    writeTextureRgb(sceneTarget.brightColour, targetWidth, targetHeight, glow);
    leaveSceneState();
    EXPECT_EQ(finalSceneTexture(), sceneTarget.sceneColour) << "before any bloom the scene itself is shown";

    renderBloom();

    GLint framebuffer = -1, activeUnit = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(activeUnit, GL_TEXTURE1);
    EXPECT_EQ(finalSceneTexture(), combinedTarget.blurColour);

    const std::vector<float> blurred = readTextureRgb(blurTargets[0].blurColour, targetWidth, targetHeight);
    const std::vector<float> combined = readTextureRgb(combinedTarget.blurColour, targetWidth, targetHeight);
    for (int y = 0; y < targetHeight; ++y) {
        for (int x = 0; x < targetWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                const float expected = combineExpected(scene[c], blurred[at(x, y) + c]);
                ASSERT_NEAR(combined[at(x, y) + c], expected, 2e-3) << "(" << x << ", " << y << ") channel " << c;
            }
        }
    }
    EXPECT_GT(combined[at(10, 20)], combineExpected(scene[0], 0.0f) + 0.01f) << "the glow did not arrive";

    // The scene texture is read, never written, so the glow cannot be applied to it twice.
    const std::vector<float> sceneAfter = readTextureRgb(sceneTarget.sceneColour, targetWidth, targetHeight);
    EXPECT_EQ(sceneAfter, filled(scene[0], scene[1], scene[2]));
}

TEST_F(BloomGl, ASecondBloomOfTheSameSceneGivesTheSameImage) {
    writeTextureRgb(sceneTarget.sceneColour, targetWidth, targetHeight, filled(0.3f, 0.3f, 0.3f));
    writeTextureRgb(sceneTarget.brightColour, targetWidth, targetHeight, filled(0.6f, 0.0f, 0.2f));
    leaveSceneState();
    renderBloom();
    const std::vector<float> first = readTextureRgb(combinedTarget.blurColour, targetWidth, targetHeight);
    leaveSceneState();
    renderBloom();
    const std::vector<float> second = readTextureRgb(combinedTarget.blurColour, targetWidth, targetHeight);
    EXPECT_EQ(first, second);
}

TEST_F(BloomGl, GeometryNearTheCameraKeepsItsColourWithoutGlow) {
    const float scene = 0.25f;
    writeTextureRgb(sceneTarget.sceneColour, targetWidth, targetHeight, filled(scene, scene, scene));
    writeTextureRgb(sceneTarget.brightColour, targetWidth, targetHeight, filled(1.0f, 1.0f, 1.0f));
    leaveSceneState();
    // The left half holds geometry nearer than the combine quad's depth of 0.5.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, targetWidth / 2, targetHeight);
    glClearDepth(0.3);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glDisable(GL_SCISSOR_TEST);

    renderBloom();

    const std::vector<float> combined = readTextureRgb(combinedTarget.blurColour, targetWidth, targetHeight);
    // A constant glow of 1 blurs to 1 everywhere (the weights are normalised, the edges clamp or wrap).
    const float withGlow = combineExpected(scene, 1.0f);
    for (int y = 0; y < targetHeight; ++y) {
        for (int x = 0; x < targetWidth; ++x) {
            const float expected = x < targetWidth / 2 ? scene : withGlow;
            ASSERT_NEAR(combined[at(x, y)], expected, 2e-3) << "(" << x << ", " << y << ")";
        }
    }
}

// The report budget is for the whole run, so this must be the first incomplete creation in the process.
TEST_F(BloomGl, IncompleteTargetsAreReportedAtMostThreeTimesInAll) {
    releaseBloomTargets();
    window.framebufferWidth = 0;
    window.framebufferHeight = 0;
    testing::internal::CaptureStdout();
    createBloomTargets();
    createBloomTargets();
    const std::string out = testing::internal::GetCapturedStdout();

    std::size_t reports = 0;
    for (std::size_t pos = out.find("Framebuffer not complete!\n"); pos != std::string::npos;
         pos = out.find("Framebuffer not complete!\n", pos + 1)) {
        ++reports;
    }
    EXPECT_EQ(reports, 3u) << out;
    EXPECT_EQ(out.size(), reports * std::string("Framebuffer not complete!\n").size()) << out;
    EXPECT_NE(statusOf(sceneTarget.framebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glreadback::drainGlErrors();
}

} // namespace
