// The scene pass through a real context with the shipped programs and models: the sunlit lawn and the ball's shadow,
// markers that glow until collected, and the sky mirrored in the ball.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include <btBulletDynamicsCommon.h>

#include "core/physics.h"
#include "gl/scene.h"
#include "gl/shadow_map.h"
#include "gl/skybox.h"
#include "gl/texture.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/gl_pass.h"

namespace {

constexpr int lawnSize = 32; // grid points: world x and z from -16 to 15
const glm::vec3 grass(100 / 255.0f, 160 / 255.0f, 60 / 255.0f);
// Level ground under the sun from (0, 1, 1): ambient 0.5 plus diffuse 0.6 x cos 45 degrees.
constexpr float sunlit = 0.5f + 0.6f * 0.70710678f, shaded = 0.5f;

// A flat lawn of one colour, the ball held where a test puts it, the camera looking straight down on the origin.
class Scene : public GlPass {
protected:
    Scene() {
        replaceGrass(renderer, texel(100, 160, 60, diffuseUnit), texel(0, 0, 0, specularUnit),
                     texel(128, 128, 255, normalUnit));
        useGround(levelGrid(lawnSize));
        Camera& camera = race->camera;
        camera = Camera{};
        camera.front = glm::vec3(0.0f, -1.0f, 0.0f);
        camera.up = glm::vec3(0.0f, 0.0f, -1.0f);
        camera.distance = 20.0f;
        holdBall(glm::vec3(0.0f, -50.0f, 0.0f)); // out of sight unless a test brings it
    }

    void holdBall(const glm::vec3& p) {
        placeBall(race->ball, p);
        btTransform at;
        at.setIdentity();
        at.setOrigin(btVector3(p.x, p.y, p.z));
        race->ball.body->getMotionState()->setWorldTransform(at);
    }
    void render() {
        renderShadowPass(renderer, *race);
        renderScenePass(renderer, *race, flags, size, size, 0.0);
    }
    glm::vec4 colourAt(const glm::vec3& world, int output = 0) const {
        const glm::vec4 clip = renderer.projection * cameraView(race->camera) * glm::vec4(world, 1.0f);
        const glm::vec2 ndc = glm::vec2(clip) / clip.w;
        return read(output, int((ndc.x * 0.5f + 0.5f) * size), int((ndc.y * 0.5f + 0.5f) * size));
    }
};

TEST_F(Scene, TheLawnIsLitByTheSunAndTheBallShadesItAlongTheLight) {
    holdBall(glm::vec3(0.0f, 2.0f, 0.0f)); // the light travels along (0, -1, -1): the shadow falls around z = -2
    render();
    const std::pair<glm::vec3, float> places[] = {
        {{0.0f, 0.0f, -2.0f}, shaded}, {{4.0f, 0.0f, -2.0f}, sunlit}, {{0.0f, 0.0f, 5.0f}, sunlit}};
    for (const auto& [place, light] : places) {
        const glm::vec4 c = colourAt(place);
        expectVecNear(glm::vec3(c), grass * light, 0.01f, "at z " + std::to_string(place.z) + ", x " + std::to_string(place.x));
        EXPECT_LT(colourAt(place, 1).g, 0.01f) << "sunlit grass does not glow";
    }
}

TEST_F(Scene, AMarkerShowsAndGlowsUntilItsCheckpointIsCollected) {
    std::vector<bool>& reached = race->state.reached;
    reached.assign(reached.size(), true);
    reached[1] = false;
    Camera& camera = race->camera;
    camera.position = camera.target = race->course.checkpoints[1];
    camera.front = glm::vec3(0.0f, 0.0f, -1.0f);
    camera.up = glm::vec3(0.0f, 1.0f, 0.0f);
    camera.distance = 40.0f;
    auto litPixels = [&](int output) {
        int n = 0;
        for (const glm::vec4& c : readAll(output)) n += c.r + c.g + c.b > 0.3f ? 1 : 0;
        return n;
    };
    render();
    EXPECT_GT(litPixels(0), size * size / 200) << "the marker stands in the view";
    EXPECT_GT(litPixels(1), size * size / 200) << "and lights up the glow";
    reached[1] = true;
    render();
    EXPECT_EQ(litPixels(0), 0);
    EXPECT_EQ(litPixels(1), 0);
}

TEST_F(Scene, WithFullReflectivityTheBallMirrorsTheSky) {
    TempDir dir;
    std::array<std::string, skyboxFaceCount> faces;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        faces[i] = dir.path("face" + std::to_string(i) + ".png");
        ASSERT_TRUE(writePng(faces[i], 2, 2, 3, 8, {200, 40, 150, 200, 40, 150, 200, 40, 150, 200, 40, 150}));
    }
    {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        loadSkybox(renderer.sky, faces);
    }
    ASSERT_TRUE(skyShown(renderer.sky));
    const glm::vec3 sky(200 / 255.0f, 40 / 255.0f, 150 / 255.0f);
    holdBall(glm::vec3(0.0f, 2.0f, 0.0f));
    const glm::vec3 top(0.0f, 3.0f, 0.0f);
    render();
    EXPECT_GT(glm::distance(glm::vec3(colourAt(top)), sky), 0.3f) << "the usual ball shows its own colour";
    flags.reflectivity = 1.0f;
    render();
    expectVecNear(glm::vec3(colourAt(top)), sky, 0.02f, "mirrored sky");
}

} // namespace
