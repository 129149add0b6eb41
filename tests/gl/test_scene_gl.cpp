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

// A ghost standing at place for its whole run, of the race's course.
Ghost standingGhost(const Race& race, const glm::vec3& place) {
    Ghost g;
    g.courseId = race.courseId;
    g.samples.assign(ghostSampleRate * 3, GhostSample{place});
    g.splits.assign(race.course.checkpoints.size(), -1.0f);
    return g;
}

TEST_F(Scene, TheGhostIsASeeThroughBallWhereItsRunIsWithoutAShadow) {
    const glm::vec3 ghostAt(4.0f, 2.0f, 4.0f), shadowOnLawn(4.0f, 0.0f, 2.0f), lawnAside(-4.0f, 0.0f, 4.0f);
    render();
    const glm::vec4 lawn = colourAt(ghostAt);
    expectVecNear(glm::vec3(lawn), grass * sunlit, 0.01f, "no ghost yet");

    race->ghost = standingGhost(*race, ghostAt);
    render();
    const glm::vec4 ghost = colourAt(ghostAt);
    // Tinted a pale blue over the lawn, and the lawn still shows through it.
    EXPECT_GT(ghost.b, lawn.b + 0.1f) << "the ghost's tint";
    EXPECT_GT(ghost.g, 0.5f * lawn.g) << "see-through: the lawn shows";
    EXPECT_LT(glm::distance(glm::vec3(ghost), glm::vec3(lawn)), 0.6f) << "not a solid ball";
    expectVecNear(glm::vec3(colourAt(shadowOnLawn)), grass * sunlit, 0.01f, "the ghost casts no shadow");
    expectVecNear(glm::vec3(colourAt(lawnAside)), grass * sunlit, 0.01f, "only where the ghost is");

    race->showGhost = false;
    render();
    expectVecNear(glm::vec3(colourAt(ghostAt)), glm::vec3(lawn), 0.01f, "hidden by G");
    race->showGhost = true;

    // Won long ago: the ghost has finished its run and faded out.
    race->state.phase = RacePhase::Won;
    race->state.raceStart = race->clock.totalTime - 60.0f;
    render();
    expectVecNear(glm::vec3(colourAt(ghostAt)), glm::vec3(lawn), 0.01f, "faded after its end");
    // Half a fade after its end it is fainter than while running.
    race->state.raceStart = race->clock.totalTime - float(getReadySeconds) - race->ghost.duration() -
                            ghostFadeSeconds * 0.5f;
    render();
    const glm::vec4 fading = colourAt(ghostAt);
    EXPECT_GT(fading.b, lawn.b + 0.02f);
    EXPECT_LT(fading.b, ghost.b - 0.02f);
}

TEST_F(Scene, TheGhostLeavesTheBallSolidAndWritesNoDepth) {
    const glm::vec3 ghostAt(4.0f, 2.0f, 4.0f);
    holdBall(glm::vec3(0.0f, 2.0f, 0.0f));
    render();
    render(); // from the second frame on the ball reads the shadow map of its own frame
    const glm::vec4 ball = colourAt(glm::vec3(0.0f, 2.5f, 0.0f));
    race->ghost = standingGhost(*race, ghostAt);
    render();
    render(); // a second frame: the ghost's opacity must not stay with the program
    expectVecNear(glm::vec3(colourAt(glm::vec3(0.0f, 2.5f, 0.0f))), glm::vec3(ball), 0.01f, "the ball stays as it was");
    float depth = 0.0f;
    const glm::vec4 clip = renderer.projection * cameraView(race->camera) * glm::vec4(ghostAt, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(int((ndc.x * 0.5f + 0.5f) * size), int((ndc.y * 0.5f + 0.5f) * size), 1, 1, GL_DEPTH_COMPONENT,
                 GL_FLOAT, &depth);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    const glm::vec4 lawnClip = renderer.projection * cameraView(race->camera) * glm::vec4(ghostAt.x, 0.0f, ghostAt.z, 1.0f);
    EXPECT_NEAR(depth, lawnClip.z / lawnClip.w * 0.5f + 0.5f, 1e-4f) << "the lawn's depth, not the ghost's";
}

} // namespace
