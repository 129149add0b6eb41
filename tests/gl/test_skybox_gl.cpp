// The sky box through a real context: faces of any channel count, each shown where the camera looks whatever its
// place, and a sky that cannot be made is reported and skipped instead of ending the game.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "gl/skybox.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/gl_pass.h"

namespace {

using FacePaths = std::array<std::string, skyboxFaceCount>;
const glm::vec3 cleared(0.2f, 0.4f, 0.6f);

class Sky : public GlPass {
protected:
    // Faces of one colour each (0..255, times 40 per face), 4 x 4 texels, with 1, 3 or 4 channels.
    FacePaths writeFaces(int size = 4) {
        FacePaths paths;
        for (int i = 0; i < skyboxFaceCount; ++i) {
            const int channels = i % 3 == 0 ? 1 : i % 3 == 1 ? 3 : 4;
            const uint16_t pixel[] = {uint16_t(40 * i + 20), uint16_t(250 - 40 * i), 90, 30}; // alpha never shows
            std::vector<uint16_t> values;
            for (int p = 0; p < size * size; ++p) values.insert(values.end(), pixel, pixel + channels);
            paths[i] = dir.path("face" + std::to_string(i) + ".png");
            EXPECT_TRUE(writePng(paths[i], size, size, channels, 8, values));
        }
        return paths;
    }
    glm::vec3 faceColour(int i) const {
        return i % 3 == 0 ? glm::vec3(40 * i + 20) / 255.0f : glm::vec3(40 * i + 20, 250 - 40 * i, 90) / 255.0f;
    }
    // Loads as start-up does (programs from the data folder) and returns what was printed.
    std::string load(const FacePaths& paths) {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        return stdoutOf([&] { loadSkybox(renderer.sky, paths); });
    }
    // The middle of the picture after drawing the sky from eye along front.
    glm::vec3 seen(const glm::vec3& eye, const glm::vec3& front, const glm::vec3& up) {
        drawIntoTarget();
        glClearColor(cleared.r, cleared.g, cleared.b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glEnable(GL_DEPTH_TEST); // the scene pass's state: a face's own alpha must not show
        glEnable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        drawSkybox(renderer.sky, glm::lookAt(eye, eye + front, up), glm::perspective(0.8f, 1.0f, 0.5f, 500.0f));
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        return glm::vec3(read(0, size / 2, size / 2));
    }

    TempDir dir;
};

TEST_F(Sky, EachFaceIsSeenWhereTheCameraLooksWhereverTheCameraStands) {
    EXPECT_EQ(load(writeFaces()), "");
    const glm::vec3 fronts[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int i = 0; i < skyboxFaceCount; ++i) {
        const glm::vec3 up = i == 2 || i == 3 ? glm::vec3(0, 0, 1) : glm::vec3(0, 1, 0);
        expectVecNear(seen(glm::vec3(120.0f, 35.0f, -80.0f), fronts[i], up), faceColour(i), 0.01f,
                      "face " + std::to_string(i));
    }
}

TEST_F(Sky, ASkyThatCannotBeMadeIsReportedAndSkipped) {
    const FacePaths good = writeFaces();
    FacePaths missing = good, noPicture = good, otherSize = good;
    missing[3] = dir.path("none.png");
    noPicture[0] = dir.write("broken.jpg", "this is not a picture");
    otherSize[4] = dir.path("small/face4.png");
    ASSERT_TRUE(writePng(otherSize[4], 3, 3, 1, 8, std::vector<uint16_t>(9, 128)));
    const std::pair<FacePaths, std::string> cases[] = {
        {missing, "Failed to find: " + missing[3] + "\n"},
        {noPicture, "Failed to find: " + noPicture[0] + "\n"},
        {otherSize, "Sky box face " + otherSize[4] + " is 3 x 3; every face must be square and of one size\n"},
    };
    for (const auto& [paths, message] : cases) {
        EXPECT_EQ(load(paths), message);
        expectVecNear(seen(glm::vec3(0.0f), {0, 0, -1}, {0, 1, 0}), cleared, 0.01f, message);
        releaseSkybox(renderer.sky);
    }
    TempDir empty; // no Shaders folder
    WorkingDirectory elsewhere(empty.root);
    EXPECT_EQ(stdoutOf([&] { loadSkybox(renderer.sky, good); }), "Shader file cannot be found: Shaders/skybox.vert\n");
    EXPECT_FALSE(skyShown(renderer.sky));
    expectVecNear(seen(glm::vec3(0.0f), {0, 0, -1}, {0, 1, 0}), cleared, 0.01f, "without its program");
}

} // namespace
