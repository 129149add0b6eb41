// The scene pass through a real context with the shipped programs and models: the sunlit lawn and the ball's shadow,
// markers that glow until collected, the ghost, and the sky mirrored in the ball; and the sky box itself, its faces of
// any channel count each shown where the camera looks whatever its place, and a sky that cannot be made reported and
// skipped instead of ending the game.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

#include "core/physics.h"
#include "gl/scene.h"
#include "gl/shadow_map.h"
#include "gl/skybox.h"
#include "tests/support/gl_pass.h"

namespace {

using FacePaths = std::array<std::string, skyboxFaceCount>;

// Face i of one colour, 4 x 4 texels with 1 (grey), 3 or 4 channels (an alpha that must never show).
const uint16_t faceRgb[skyboxFaceCount][3] = {{40, 40, 40}, {30, 200, 90}, {200, 40, 150}, {120, 120, 120},
                                             {220, 180, 40}, {60, 90, 230}};
glm::vec3 faceColour(int i) { return glm::vec3(faceRgb[i][0], faceRgb[i][1], faceRgb[i][2]) / 255.0f; }
FacePaths writeFaces(const TempDir& dir) {
    FacePaths paths;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        const int channels = i % 3 == 0 ? 1 : i % 3 == 1 ? 3 : 4;
        const uint16_t pixel[] = {faceRgb[i][0], faceRgb[i][1], faceRgb[i][2], 30};
        std::vector<uint16_t> values;
        for (int p = 0; p < 16; ++p) values.insert(values.end(), pixel, pixel + channels);
        paths[i] = dir.path("face" + std::to_string(i) + ".png");
        EXPECT_TRUE(writePng(paths[i], 4, 4, channels, 8, values));
    }
    return paths;
}

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
    // Where world shows in the target: pixel x, y and depth 0..1.
    glm::vec3 seenAt(const glm::vec3& world) const {
        const glm::vec4 clip = renderer.projection * cameraView(race->camera) * glm::vec4(world, 1.0f);
        return (glm::vec3(clip) / clip.w * 0.5f + 0.5f) * glm::vec3(size, size, 1.0f);
    }
    glm::vec4 colourAt(const glm::vec3& world, int output = 0) const {
        return read(output, int(seenAt(world).x), int(seenAt(world).y));
    }
};

TEST_F(Scene, TheLawnIsLitByTheSunTheBallShadesItAndWithFullReflectivityMirrorsTheSky) {
    holdBall(glm::vec3(0.0f, 2.0f, 0.0f)); // the light travels along (0, -1, -1): the shadow falls around z = -2
    render();
    const std::pair<glm::vec3, float> places[] = {
        {{0.0f, 0.0f, -2.0f}, shaded}, {{4.0f, 0.0f, -2.0f}, sunlit}, {{0.0f, 0.0f, 5.0f}, sunlit}};
    for (const auto& [place, light] : places) {
        const glm::vec4 c = colourAt(place);
        expectVecNear(glm::vec3(c), grass * light, 0.01f, "at z " + std::to_string(place.z) + ", x " + std::to_string(place.x));
        EXPECT_LT(colourAt(place, 1).g, 0.01f) << "sunlit grass does not glow";
    }

    // With full reflectivity the ball mirrors the sky.
    TempDir dir;
    {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        loadSkybox(renderer.sky, writeFaces(dir));
    }
    ASSERT_TRUE(skyShown(renderer.sky));
    const glm::vec3 sky = faceColour(2); // straight up
    const glm::vec3 top(0.0f, 3.0f, 0.0f);
    render();
    EXPECT_GT(glm::distance(glm::vec3(colourAt(top)), sky), 0.3f) << "the usual ball shows its own colour";
    flags.reflectivity = 1.0f;
    render();
    expectVecNear(glm::vec3(colourAt(top)), sky, 0.02f, "mirrored sky");
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
    const glm::vec3 ghost = seenAt(ghostAt);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(int(ghost.x), int(ghost.y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    EXPECT_NEAR(depth, seenAt(glm::vec3(ghostAt.x, 0.0f, ghostAt.z)).z, 1e-4f) << "the lawn's depth, not the ghost's";
}

const glm::vec3 cleared(0.2f, 0.4f, 0.6f);

class Sky : public GlPass {
protected:
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

TEST_F(Sky, EachFaceIsSeenWhereTheCameraLooksAndASkyThatCannotBeMadeIsReportedAndSkipped) {
    EXPECT_EQ(load(writeFaces(dir)), "");
    const glm::vec3 fronts[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int i = 0; i < skyboxFaceCount; ++i) {
        const glm::vec3 up = i == 2 || i == 3 ? glm::vec3(0, 0, 1) : glm::vec3(0, 1, 0);
        expectVecNear(seen(glm::vec3(120.0f, 35.0f, -80.0f), fronts[i], up), faceColour(i), 0.01f,
                      "face " + std::to_string(i));
    }

    // A sky that cannot be made is reported and skipped.
    releaseSkybox(renderer.sky);
    const FacePaths good = writeFaces(dir);
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
