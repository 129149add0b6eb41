// The shadow pass through a real context: the ball's depth in the map, the markers it keeps or drops, its exit state.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <vector>

#include "app/race_state.h"
#include "course/physics.h"
#include "render/model.h"
#include "render/model_import.h"
#include "render/scene.h"
#include "render/shader.h"
#include "render/shadow_map.h"
#include "tests/support/scene_fixtures.h"
#include "tests/support/temp_files.h"

namespace {

using scenefixtures::makeOctahedron;
using scenefixtures::modelOf;

class ShadowPass : public ::testing::Test {
protected:
    void SetUp() override {
        {
            testfiles::WorkingDirectory inData(KELVARA_DATA_DIR);
            ASSERT_NO_THROW(createShaders());
        }
        ASSERT_NO_THROW(createShadowMap());
        setupSceneLight();
        initialiseLightMatrices();
        raceState = RaceState{};
        frameClock = FrameClock{};
        world = createPhysicsWorld();
        ballModel = modelOf(makeOctahedron(0.5f));
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    void TearDown() override {
        ballBody = nullptr;
        destroyPhysicsWorld(world);
        delete ball;
        ballModel.clear();
        markerModel.clear();
        releaseShadowMap();
        releaseShaders();
        glUseProgram(0);
    }

    // The ball held at p, where its motion state reports it.
    void holdBallAt(const glm::vec3& p) {
        if (ball == nullptr) {
            ball = createBall(*world, p);
        }
        btTransform at;
        at.setIdentity();
        at.setOrigin(btVector3(p.x, p.y, p.z));
        ball->body->getMotionState()->setWorldTransform(at);
        ballBody = ball;
    }

    static std::vector<float> readDepth() {
        std::vector<float> depth(std::size_t(shadowMapSize) * std::size_t(shadowMapSize));
        glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return depth;
    }

    // The stored depth under a world point, and the depth that point itself has in the light's box.
    static float storedAt(const std::vector<float>& depth, const glm::vec3& p) {
        const glm::vec3 at = mapPoint(p);
        const int x = static_cast<int>(at.x * shadowMapSize), y = static_cast<int>(at.y * shadowMapSize);
        return depth[std::size_t(y) * std::size_t(shadowMapSize) + std::size_t(x)];
    }
    static glm::vec3 mapPoint(const glm::vec3& p) {
        const glm::vec4 clip = lightProjection * lightView * glm::vec4(p, 1.0f);
        return glm::vec3(clip) / clip.w * 0.5f + 0.5f;
    }

    PhysicsWorld* world = nullptr;
    PhysicsBody* ball = nullptr;
};

TEST_F(ShadowPass, TheBallLandsInTheMiddleOfTheMapAndNothingElseIsThere) {
    const glm::vec3 p(20.0f, 5.0f, -30.0f);
    holdBallAt(p);
    renderShadowPass();
    const std::vector<float> depth = readDepth();

    const float middle = depth[std::size_t(shadowMapSize / 2) * shadowMapSize + shadowMapSize / 2];
    EXPECT_LT(middle, mapPoint(p).z) << "the ball's near side, in front of its centre";
    EXPECT_GT(middle, mapPoint(p).z - 0.01f) << "half a unit in a box a hundred deep";
    EXPECT_FLOAT_EQ(depth.front(), 1.0f) << "a corner of the map holds no caster";
    EXPECT_FLOAT_EQ(depth.back(), 1.0f);
}

TEST_F(ShadowPass, ACollectedCheckpointLosesItsMarkerShadow) {
    markerModel = modelOf(makeOctahedron(0.5f));
    // The ball ten units beside checkpoint 1, so its marker lies well inside the light's box.
    holdBallAt(checkpoints[1] + glm::vec3(10.0f, 0.0f, 0.0f));
    renderShadowPass();
    EXPECT_LT(storedAt(readDepth(), checkpoints[1]), mapPoint(checkpoints[1]).z) << "the marker casts";

    raceState.reached[1] = true;
    renderShadowPass();
    EXPECT_FLOAT_EQ(storedAt(readDepth(), checkpoints[1]), 1.0f) << "collected: gone from the map too";
}

TEST_F(ShadowPass, LeavesTheDepthProgramAndTheDefaultFramebuffer) {
    holdBallAt(glm::vec3(0.0f));
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    renderShadowPass();
    GLint value = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, static_cast<GLint>(depthShader->programId));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], shadowMapSize);
    EXPECT_EQ(viewport[3], shadowMapSize);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
