// The final composite through a real context: orientation, brightness and contrast, and the two debugging views.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/input.h"
#include "app/settings.h"
#include "app/window.h"
#include "effects/bloom.h"
#include "effects/composite.h"
#include "effects/unit_quad.h"
#include "render/shader.h"
#include "render/shadow_map.h"
#include "tests/support/gl_readback.h"
#include "tests/support/temp_files.h"

namespace {

using glreadback::writeTextureRgb;

constexpr int byteTolerance = 2; // rounding to 8 bits plus half-float storage

struct Rgb {
    float r, g, b;
};

// A scene with a different colour in each quadrant, bottom row first as the scene pass stores it.
constexpr Rgb topLeft{0.8f, 0.1f, 0.1f}, topRight{0.1f, 0.1f, 0.8f};
constexpr Rgb bottomLeft{0.1f, 0.6f, 0.1f}, bottomRight{0.5f, 0.5f, 0.5f};

class CompositeGl : public testing::Test {
protected:
    void SetUp() override {
        data = std::make_unique<testfiles::WorkingDirectory>(KELVARA_DATA_DIR);
        savedWindow = window;
        savedSettings = settings;
        settings = &testSettings;
        renderFlags = RenderFlags{};
        // The composite draws into the real window, so the targets take its framebuffer's size.
        glfwGetFramebufferSize(glfwGetCurrentContext(), &width, &height);
        window.framebufferWidth = width;
        window.framebufferHeight = height;
        glreadback::drainGlErrors();
        ASSERT_TRUE(glreadback::buildShader(hudShader, "Shaders/hud.vert", "Shaders/hud.frag"));
        ASSERT_TRUE(glreadback::buildShader(depthDebugShader, "Shaders/depthDebug.vert", "Shaders/depthDebug.frag"));
        ASSERT_TRUE(glreadback::buildShader(blurShader, "Shaders/blur.vert", "Shaders/blur.frag"));
        ASSERT_TRUE(glreadback::buildShader(*bufferShader, "Shaders/buffer.vert", "Shaders/buffer.frag"));
        unitQuad.create();
        createBloomTargets();
        createShadowMap();
        // The game's steady state: back faces culled, blending off when the composite starts.
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glDisable(GL_BLEND);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        writeScene(sceneTarget.sceneColour, {topLeft, topRight, bottomLeft, bottomRight});
        writeScene(sceneTarget.brightColour, {{0.0f, 0.2f, 0.9f}, {0.0f, 0.2f, 0.9f}, {0.0f, 0.2f, 0.9f},
                                              {0.0f, 0.2f, 0.9f}});
    }

    void TearDown() override {
        releaseShadowMap();
        releaseBloomTargets();
        unitQuad.clear();
        hudShader.clear();
        depthDebugShader.clear();
        blurShader.clear();
        bufferShader->clear();
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glUseProgram(0);
        renderFlags = RenderFlags{};
        settings = savedSettings;
        window = savedWindow;
        data.reset();
    }

    struct Quadrants {
        Rgb topLeft, topRight, bottomLeft, bottomRight;
    };
    void writeScene(GLuint texture, const Quadrants& q) const {
        std::vector<float> pixels(static_cast<std::size_t>(width) * height * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool top = y >= height / 2, right = x >= width / 2;
                const Rgb c = top ? (right ? q.topRight : q.topLeft) : (right ? q.bottomRight : q.bottomLeft);
                const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
                pixels[i] = c.r;
                pixels[i + 1] = c.g;
                pixels[i + 2] = c.b;
            }
        }
        writeTextureRgb(texture, width, height, pixels);
    }

    std::vector<uint8_t> readWindow() const {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        return glreadback::readPixelsRgba(width, height);
    }

    void expectPixel(const std::vector<uint8_t>& pixels, int x, int y, Rgb expected, const char* where) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
        const float want[3] = {expected.r, expected.g, expected.b};
        for (int c = 0; c < 3; ++c) {
            const int wanted = static_cast<int>(std::lround(std::fmin(std::fmax(want[c], 0.0f), 1.0f) * 255.0f));
            EXPECT_NEAR(pixels[i + c], wanted, byteTolerance) << where << " channel " << c << " at (" << x << ", " << y
                                                              << ")";
        }
    }

    void expectQuadrants(const std::vector<uint8_t>& pixels, const Quadrants& q) const {
        expectPixel(pixels, width / 4, height * 3 / 4, q.topLeft, "top left");
        expectPixel(pixels, width * 3 / 4, height * 3 / 4, q.topRight, "top right");
        expectPixel(pixels, width / 4, height / 4, q.bottomLeft, "bottom left");
        expectPixel(pixels, width * 3 / 4, height / 4, q.bottomRight, "bottom right");
    }

    std::unique_ptr<testfiles::WorkingDirectory> data;
    Window savedWindow;
    Settings* savedSettings = nullptr;
    Settings testSettings;
    int width = 0, height = 0;
};

TEST_F(CompositeGl, ShowsTheSceneRightWayUpAndUnchangedWithDefaultSettings) {
    renderComposite();
    EXPECT_EQ(glreadback::drainGlErrors(), "");
    expectQuadrants(readWindow(), {topLeft, topRight, bottomLeft, bottomRight});
}

TEST_F(CompositeGl, AppliesBrightnessAndContrastFromTheSettings) {
    testSettings.brightness = 0.1f;
    testSettings.contrast = 2.0f;
    renderComposite();
    const auto adjust = [](Rgb c) {
        const auto f = [](float v) { return (v - 0.5f) * 2.0f + 0.5f + 0.1f; };
        return Rgb{f(c.r), f(c.g), f(c.b)};
    };
    expectQuadrants(readWindow(), {adjust(topLeft), adjust(topRight), adjust(bottomLeft), adjust(bottomRight)});
}

TEST_F(CompositeGl, KeyZeroShowsTheGlowSourceInstead) {
    renderFlags.showBrightPass = true;
    renderComposite();
    const Rgb glow{0.0f, 0.2f, 0.9f};
    expectQuadrants(readWindow(), {glow, glow, glow, glow});
}

TEST_F(CompositeGl, ShowsTheCombinedImageAfterABloomFrameOnly) {
    // An even glow blurs to itself; the combine adds it by the exposure 0.8 and rolls off values above 0.8.
    const float glow = 0.25f;
    writeScene(sceneTarget.brightColour, {{glow, glow, glow}, {glow, glow, glow}, {glow, glow, glow}, {glow, glow, glow}});
    glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    renderBloom();
    renderComposite();
    const auto combined = [glow](Rgb c) {
        const auto f = [glow](float v) {
            const float hdr = v + glow * 0.8f;
            return hdr <= 0.8f ? hdr : 0.8f + 0.2f * (1.0f - std::exp(-(hdr - 0.8f) / 0.2f));
        };
        return Rgb{f(c.r), f(c.g), f(c.b)};
    };
    expectQuadrants(readWindow(), {combined(topLeft), combined(topRight), combined(bottomLeft), combined(bottomRight)});

    // Key 9 held in the next frame: no bloom pass, and the plain scene is back.
    renderComposite();
    expectQuadrants(readWindow(), {topLeft, topRight, bottomLeft, bottomRight});
}

TEST_F(CompositeGl, KeySevenDrawsTheShadowMapInTheUpperLeftQuarterOnly) {
    const Rgb blue{0.1f, 0.1f, 0.8f};
    writeScene(sceneTarget.sceneColour, {blue, blue, blue, blue});
    const float storedDepth = 0.5f;
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glClearDepth(storedDepth);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    renderFlags.showDepthMap = true;

    renderComposite();
    EXPECT_EQ(glreadback::drainGlErrors(), "");

    // x from -0.75 to -0.25 and y from 0.25 to 0.75 in normalised device coordinates.
    const std::vector<uint8_t> pixels = readWindow();
    const Rgb grey{storedDepth, storedDepth, storedDepth};
    int inside = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float cx = (x + 0.5f) / width * 2.0f - 1.0f, cy = (y + 0.5f) / height * 2.0f - 1.0f;
            const bool inPicture = cx > -0.75f && cx < -0.25f && cy > 0.25f && cy < 0.75f;
            inside += inPicture ? 1 : 0;
            expectPixel(pixels, x, y, inPicture ? grey : blue, inPicture ? "depth picture" : "scene");
            if (testing::Test::HasFailure()) {
                return;
            }
        }
    }
    EXPECT_EQ(inside, width * height / 16);
}

TEST_F(CompositeGl, LeavesTheWindowBoundDepthTestOffAndUnitZeroActive) {
    glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
    glEnable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE1);
    renderComposite();
    GLint framebuffer = -1, unit = 0, program = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(unit, GL_TEXTURE0);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(static_cast<GLuint>(program), hudShader.programId);
    EXPECT_FALSE(bloomAppliedThisFrame);
}

} // namespace
