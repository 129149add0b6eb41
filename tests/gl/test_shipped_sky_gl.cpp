// The shipped sky box through a real context: what the graphics library shows along a direction is what the
// CPU lookup of the face files finds there (so the face-edge checks of the unit tests hold on screen), with the
// sky overhead, the valley below and the sun where the scene's light comes from.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "render/skybox.h"
#include "tests/support/cube_map_lookup.h"
#include "tests/support/gl_readback.h"
#include "tests/support/temp_files.h"

namespace {

constexpr int viewSize = 64; // pixels
// Narrow enough that one pixel spans about one texel of a 1024-texel face, so no coarse mipmap blurs the view.
constexpr float narrowFieldOfView = 5.0f; // degrees

struct Face {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

class ShippedSkyGl : public testing::Test {
protected:
    void SetUp() override {
        data = std::make_unique<testfiles::WorkingDirectory>(KELVARA_DATA_DIR);
        ASSERT_EQ(skybox, nullptr);
        setupSkybox();
        ASSERT_NE(skybox, nullptr);
        ASSERT_NE(skybox->cubeMesh, nullptr) << "a face failed to load";
        const char* names[] = {"posx", "negx", "posy", "negy", "posz", "negz"};
        for (int i = 0; i < skyboxFaceCount; ++i) {
            const std::string path = std::string("Skybox/mountain-skyboxes/Maskonaive/") + names[i] + ".jpg";
            int channels = 0;
            unsigned char* pixels = stbi_load(path.c_str(), &faces[i].width, &faces[i].height, &channels, 3);
            ASSERT_NE(pixels, nullptr) << path;
            faces[i].rgb.assign(pixels, pixels + static_cast<std::size_t>(faces[i].width) * faces[i].height * 3);
            stbi_image_free(pixels);
        }
        glreadback::drainGlErrors();
    }
    void TearDown() override {
        releaseSkybox();
        glDepthMask(GL_TRUE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        data.reset();
    }

    // Draws the sky as the scene pass does, looking along front; returns RGBA rows, bottom row first.
    std::vector<uint8_t> look(glreadback::ColourTarget& target, glm::vec3 front, float fieldOfView,
                              glm::mat4& viewProjection) {
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
        glViewport(0, 0, target.width, target.height);
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        const glm::vec3 up = std::fabs(glm::normalize(front).y) > 0.99f ? glm::vec3(0, 0, -1) : glm::vec3(0, 1, 0);
        const glm::mat4 view = glm::lookAt(glm::vec3(0.0f), front, up);
        const glm::mat4 projection = glm::perspective(glm::radians(fieldOfView), 1.0f, 0.1f, 10.0f);
        viewProjection = projection * view;
        drawSkybox(view, projection);
        return target.read();
    }

    glm::vec3 fileColour(const glm::vec3& direction) const {
        const cubemap::FacePoint p = cubemap::lookUp(direction);
        const Face& f = faces[static_cast<std::size_t>(p.face)];
        const int x = std::min(static_cast<int>(p.s * f.width), f.width - 1);
        const int y = std::min(static_cast<int>(p.t * f.height), f.height - 1);
        const std::size_t i = (static_cast<std::size_t>(y) * f.width + x) * 3;
        return {f.rgb[i], f.rgb[i + 1], f.rgb[i + 2]};
    }

    std::unique_ptr<testfiles::WorkingDirectory> data;
    std::array<Face, skyboxFaceCount> faces;
};

glm::vec3 pixel(const std::vector<uint8_t>& rgba, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * viewSize + x) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2]};
}

// The view direction through the centre of pixel (x, y), y counted from the bottom row.
glm::vec3 pixelDirection(const glm::mat4& viewProjection, int x, int y) {
    const glm::vec4 ndc((x + 0.5f) / viewSize * 2.0f - 1.0f, (y + 0.5f) / viewSize * 2.0f - 1.0f, 1.0f, 1.0f);
    const glm::vec4 world = glm::inverse(viewProjection) * ndc;
    return glm::normalize(glm::vec3(world) / world.w);
}

TEST_F(ShippedSkyGl, ScreenShowsWhatTheFaceFilesHoldAcrossEdgesAndCorners) {
    // Views centred on an edge or corner of the cube: every pixel reads one of two or three faces. A face the
    // CPU lookup reads turned or mirrored would differ from the screen over half the view.
    const glm::vec3 fronts[] = {
        {1.0f, 0.12f, 1.0f},  // +X / +Z, through the mountains
        {-1.0f, 0.05f, 1.0f}, // -X / +Z
        {1.0f, 0.05f, -1.0f}, // +X / -Z
        {0.0f, 1.0f, 1.0f},   // +Y / +Z, the sun
        {1.0f, 1.0f, -1.0f},  // +X / +Y / -Z corner
        {-1.0f, -1.0f, 1.0f}, // -X / -Y / +Z corner
    };
    for (const glm::vec3& front : fronts) {
        glreadback::ColourTarget target(viewSize, viewSize);
        glm::mat4 viewProjection(1.0f);
        const std::vector<uint8_t> seen = look(target, front, narrowFieldOfView, viewProjection);
        double difference = 0.0;
        for (int y = 0; y < viewSize; ++y) {
            for (int x = 0; x < viewSize; ++x) {
                difference += glm::length(pixel(seen, x, y) - fileColour(pixelDirection(viewProjection, x, y)));
            }
        }
        difference /= viewSize * viewSize;
        EXPECT_LT(difference, 10.0) << "looking along " << front.x << ", " << front.y << ", " << front.z;
    }
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

TEST_F(ShippedSkyGl, SkyOverheadValleyBelowAndTheSunOppositeTheLight) {
    glreadback::ColourTarget target(viewSize, viewSize);
    glm::mat4 viewProjection(1.0f);
    const int c = viewSize / 2;

    const glm::vec3 overhead = pixel(look(target, {0.0f, 1.0f, 0.0f}, 30.0f, viewProjection), c, c);
    EXPECT_GT(overhead.b, overhead.r + 40.0f) << "blue sky";
    const glm::vec3 below = pixel(look(target, {0.0f, -1.0f, 0.0f}, 30.0f, viewProjection), c, c);
    EXPECT_GT(below.g, below.b) << "green valley";
    EXPECT_LT(below.g, overhead.b);

    // The light travels along (0, -1, -1): the sun's white disc stands up and towards +z.
    const glm::vec3 sun = pixel(look(target, {0.0f, 1.0f, 1.0f}, 30.0f, viewProjection), c, c);
    EXPECT_GT(std::min({sun.r, sun.g, sun.b}), 240.0f);
    const glm::vec3 awayFromSun = pixel(look(target, {0.0f, 1.0f, -1.0f}, 30.0f, viewProjection), c, c);
    EXPECT_LT(awayFromSun.r + awayFromSun.g + awayFromSun.b, sun.r + sun.g + sun.b - 60.0f);

    // Looking level, the mountains fill the bottom of the view and the sky its top, whichever way one looks.
    for (const glm::vec3& front : {glm::vec3(1, 0, 0), glm::vec3(-1, 0, 0), glm::vec3(0, 0, 1), glm::vec3(0, 0, -1)}) {
        const std::vector<uint8_t> level = look(target, front + glm::vec3(0.0f, 0.1f, 0.0f), 30.0f, viewProjection);
        const glm::vec3 top = pixel(level, c, viewSize - 2);
        const glm::vec3 bottom = pixel(level, c, 1);
        EXPECT_GT(top.b, bottom.b) << "looking along " << front.x << ", " << front.z;
    }
    EXPECT_EQ(glreadback::drainGlErrors(), "");
}

} // namespace
