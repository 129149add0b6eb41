// The sky box through a real context: faces of any channel count into one RGB cube map, the sky seen from
// inside, and the skipped sky after a face or the program fails to load.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "render/skybox.h"
#include "tests/support/gl_readback.h"
#include "tests/support/temp_files.h"

namespace {

using testfiles::TempDir;
using testfiles::WorkingDirectory;
using FacePaths = std::array<std::string, skyboxFaceCount>;

constexpr int faceSize = 5;       // texels; odd, so RGB rows are not 4-byte aligned
constexpr int viewSize = 32;      // pixels of the target the sky is drawn into
constexpr int byteTolerance = 2;

std::string writeFace(const TempDir& dir, const std::string& name, int channels, const std::vector<uint8_t>& pixels) {
    const std::string path = dir.path(name).string();
    if (stbi_write_png(path.c_str(), faceSize, faceSize, channels, pixels.data(), faceSize * channels) == 0) {
        ADD_FAILURE() << "cannot write " << path;
    }
    return path;
}

// Every byte differs from its neighbours, so a wrong stride or channel count shows in the read-back.
std::vector<uint8_t> patterned(int channels, int seed) {
    std::vector<uint8_t> pixels(static_cast<std::size_t>(faceSize) * faceSize * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>(seed * 41 + i * 7 + 3);
    }
    return pixels;
}

std::vector<uint8_t> solid(int channels, const std::array<uint8_t, 4>& value) {
    std::vector<uint8_t> pixels(static_cast<std::size_t>(faceSize) * faceSize * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = value[i % static_cast<std::size_t>(channels)];
    }
    return pixels;
}

// What the cube map should hold: one channel spread to grey, four channels without alpha.
std::vector<uint8_t> asRgb(const std::vector<uint8_t>& pixels, int channels) {
    std::vector<uint8_t> rgb;
    for (std::size_t p = 0; p < pixels.size() / channels; ++p) {
        for (int c = 0; c < 3; ++c) {
            rgb.push_back(pixels[p * channels + (channels == 1 ? 0 : c)]);
        }
    }
    return rgb;
}

class SkyboxGl : public testing::Test {
protected:
    void SetUp() override {
        data = std::make_unique<WorkingDirectory>(KELVARA_DATA_DIR);
        ASSERT_EQ(skybox, nullptr);
        glreadback::drainGlErrors();
    }
    void TearDown() override {
        releaseSkybox();
        glDepthMask(GL_TRUE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        data.reset();
    }

    // Loads into the global record, as setupSkybox does, and returns what was printed.
    std::string load(const FacePaths& paths) {
        testing::internal::CaptureStdout();
        skybox = loadSkybox(paths);
        return testing::internal::GetCapturedStdout();
    }

    // Draws the sky into a fresh target with the scene pass's state, seen from eye along front.
    std::vector<uint8_t> drawSeenFrom(glreadback::ColourTarget& target, glm::vec3 eye, glm::vec3 front, glm::vec3 up) {
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
        glViewport(0, 0, target.width, target.height);
        glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        const glm::mat4 view = glm::lookAt(eye, eye + front, up);
        const glm::mat4 projection = glm::perspective(glm::radians(45.0f), 1.0f, 0.5f, 500.0f);
        drawSkybox(view, projection);
        return target.read();
    }

    std::unique_ptr<WorkingDirectory> data;
    TempDir dir;
};

std::array<uint8_t, 3> pixelAt(const std::vector<uint8_t>& rgba, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * viewSize + x) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2]};
}

void expectColour(const std::array<uint8_t, 3>& got, const std::array<uint8_t, 3>& want, const char* what) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(got[c], want[c], byteTolerance) << what << " channel " << c;
    }
}

TEST_F(SkyboxGl, OneAndFourChannelFacesLoadAsRgbIntoTheCubeMap) {
    FacePaths paths;
    std::array<std::vector<uint8_t>, skyboxFaceCount> expected;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        const int channels = i % 2 == 0 ? 1 : 4;
        const std::vector<uint8_t> pixels = patterned(channels, i);
        paths[i] = writeFace(dir, "face" + std::to_string(i) + ".png", channels, pixels);
        expected[i] = asRgb(pixels, channels);
    }
    EXPECT_EQ(load(paths), "");
    ASSERT_NE(skybox, nullptr);
    ASSERT_NE(skybox->shader, nullptr);
    ASSERT_NE(skybox->cubeMesh, nullptr);
    EXPECT_EQ(skybox->cubeMesh->indexCount, 36);
    EXPECT_NE(skybox->projectionLocation, -1);
    EXPECT_NE(skybox->viewLocation, -1);
    EXPECT_EQ(glreadback::drainGlErrors(), "");

    glBindTexture(GL_TEXTURE_CUBE_MAP, skybox->cubeMap);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int i = 0; i < skyboxFaceCount; ++i) {
        std::vector<uint8_t> stored(expected[i].size(), 0);
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_RGB, GL_UNSIGNED_BYTE, stored.data());
        EXPECT_EQ(stored, expected[i]) << "face " << i;
    }
    GLint minFilter = 0, wrapR = 0, levelOneWidth = 0;
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, &wrapR);
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(wrapR, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(levelOneWidth, faceSize / 2) << "mipmaps were not generated";
}

TEST_F(SkyboxGl, ShowsTheFaceTheCameraLooksAtWhereverTheCameraIs) {
    const std::array<std::array<uint8_t, 4>, skyboxFaceCount> colours = {{
        {200, 30, 30, 255}, {30, 200, 30, 255}, {90, 90, 90, 255},
        {30, 30, 200, 255}, {200, 200, 30, 40}, {160, 160, 160, 255},
    }};
    FacePaths paths;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        // +Y and -Z are one-channel grey; the rest carry an alpha that must not reach the sky.
        const int channels = i == 2 || i == 5 ? 1 : 4;
        paths[i] = writeFace(dir, "solid" + std::to_string(i) + ".png", channels, solid(channels, colours[i]));
    }
    EXPECT_EQ(load(paths), "");
    ASSERT_NE(skybox->cubeMesh, nullptr);

    struct Look {
        glm::vec3 front, up;
        int face;
    };
    const Look looks[] = {
        {{1, 0, 0}, {0, 1, 0}, 0}, {{-1, 0, 0}, {0, 1, 0}, 1}, {{0, 1, 0}, {0, 0, 1}, 2},
        {{0, -1, 0}, {0, 0, 1}, 3}, {{0, 0, 1}, {0, 1, 0}, 4}, {{0, 0, -1}, {0, 1, 0}, 5},
    };
    // Far from the origin: the sky must not move with the camera.
    const glm::vec3 eye(120.0f, 35.0f, -80.0f);
    for (const Look& look : looks) {
        glreadback::ColourTarget target(viewSize, viewSize);
        const std::vector<uint8_t> seen = drawSeenFrom(target, eye, look.front, look.up);
        const auto& c = colours[look.face];
        const std::string what = "face " + std::to_string(look.face);
        expectColour(pixelAt(seen, viewSize / 2, viewSize / 2), {c[0], c[1], c[2]}, what.c_str());
        expectColour(pixelAt(seen, 1, 1), {c[0], c[1], c[2]}, (what + " corner").c_str());

        // Drawn behind everything: the depth buffer keeps its clear value and depth writes come back on.
        for (float depth : target.readDepth()) {
            ASSERT_EQ(depth, 1.0f) << what;
        }
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_EQ(depthWrites, GL_TRUE);
    }
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

TEST_F(SkyboxGl, AMissingFaceIsReportedAndTheSkyIsSkipped) {
    FacePaths paths;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        paths[i] = dir.path("face" + std::to_string(i) + ".png").string();
        if (i != 3) {
            writeFace(dir, "face" + std::to_string(i) + ".png", 3, patterned(3, i));
        }
    }
    // Loading stops at the first missing face: the later ones are never named.
    EXPECT_EQ(load(paths), "Failed to find: " + paths[3] + "\n");
    ASSERT_NE(skybox, nullptr);
    EXPECT_EQ(skybox->cubeMesh, nullptr);
    EXPECT_EQ(skybox->cubeMap, 0u);

    glreadback::ColourTarget target(viewSize, viewSize);
    const std::vector<uint8_t> seen = drawSeenFrom(target, glm::vec3(0.0f), {0, 0, -1}, {0, 1, 0});
    for (int y = 0; y < viewSize; ++y) {
        for (int x = 0; x < viewSize; ++x) {
            ASSERT_EQ(pixelAt(seen, x, y), (std::array<uint8_t, 3>{51, 102, 153})) << "drawn at " << x << ", " << y;
        }
    }
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

TEST_F(SkyboxGl, AFaceThatIsNoImageIsReportedLikeAMissingOne) {
    FacePaths paths;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        paths[i] = writeFace(dir, "face" + std::to_string(i) + ".png", 3, patterned(3, i));
    }
    paths[0] = dir.write("broken.jpg", "this is not a picture");
    EXPECT_EQ(load(paths), "Failed to find: " + paths[0] + "\n");
    EXPECT_EQ(skybox->cubeMesh, nullptr);
    drawSkybox(glm::mat4(1.0f), glm::mat4(1.0f));
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

TEST_F(SkyboxGl, AFaceOfAnotherSizeIsReportedAndTheSkyIsSkipped) {
    FacePaths paths;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        paths[i] = writeFace(dir, "face" + std::to_string(i) + ".png", 3, patterned(3, i));
    }
    // Three texels square where the others are five: the cube map could never be complete.
    const std::vector<uint8_t> small(3 * 3 * 3, 128);
    paths[4] = dir.path("small.png").string();
    ASSERT_NE(stbi_write_png(paths[4].c_str(), 3, 3, 3, small.data(), 9), 0);
    EXPECT_EQ(load(paths), "Sky box face " + paths[4] + " is 3 x 3; every face must be square and of one size\n");
    EXPECT_EQ(skybox->cubeMesh, nullptr);
    drawSkybox(glm::mat4(1.0f), glm::mat4(1.0f));
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

TEST_F(SkyboxGl, AMissingProgramIsReportedAndTheSkyIsSkipped) {
    FacePaths paths;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        paths[i] = writeFace(dir, "face" + std::to_string(i) + ".png", 3, patterned(3, i));
    }
    // No Shaders folder here.
    WorkingDirectory elsewhere(dir.root);
    EXPECT_EQ(load(paths), "Shader file cannot be found: Shaders/skybox.vert\n");
    ASSERT_NE(skybox, nullptr);
    EXPECT_EQ(skybox->shader, nullptr);
    EXPECT_EQ(skybox->cubeMesh, nullptr);
    drawSkybox(glm::mat4(1.0f), glm::mat4(1.0f));
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

TEST_F(SkyboxGl, DrawingBeforeSetUpDoesNothing) {
    drawSkybox(glm::mat4(1.0f), glm::mat4(1.0f));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

} // namespace
