// The ball in the physics world: placing it, game time against frame time, a ball at rest that still answers, and
// a pushed ball that rolls on across level ground.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <btBulletDynamicsCommon.h>
#include <glm/geometric.hpp>

#include "core/terrain.h"
#include "tests/support/checks.h"
#include "tests/support/game_state.h"

namespace {

class Ball : public testing::Test {
protected:
    FreshGame game;
};

TEST_F(Ball, APlacedBallStopsAndIsSeenAtItsNewPlaceFromTheNextStep) {
    pushBall(glm::vec3(0.3f, 0.2f, -0.1f));
    ballBody->body->setAngularVelocity(btVector3(7.0f, 0.0f, 2.0f));
    stepPhysics(*physicsWorld, 0.1f);
    const glm::vec3 before = ballPosition();
    const glm::vec3 target(-1.0f, 40.0f, 2.0f);
    placeBall(target);
    EXPECT_EQ(ballPosition(), before) << "what is drawn and judged moves with the next step";
    stepPhysics(*physicsWorld, physicsSubstep);
    expectVecNear(ballPosition(), target, 0.01f, "placed ball");
    EXPECT_NEAR(glm::length(ballVelocity()), 0.0f, 0.5f) << "only gravity's pull since";
    const glm::mat4 m = bodyModelMatrix(*ballBody);
    EXPECT_NEAR(m[0][0] + m[1][1] + m[2][2], 3.0f, 1e-4f) << "no spin left";
}

TEST_F(Ball, GameTimeRunsAtTheTimeScaleAndALongFrameIsCutToTheLastSubsteps) {
    const float g = -10.0f;
    stepPhysics(*physicsWorld, physicsSubstep);
    EXPECT_NEAR(ballVelocity().y, g * physicsSubstep * worldTimeScale, 1e-4f);
    const float v = ballVelocity().y;
    stepPhysics(*physicsWorld, 5.0f); // a frame that would need far more substeps than allowed
    EXPECT_NEAR(ballVelocity().y - v, g * physicsSubstep * maxSubsteps, 1e-3f);

    // Down to 6 frames per second nothing is dropped: six such frames are two simulated seconds of falling.
    placeBall(glm::vec3(0.0f, 1000.0f, 0.0f));
    for (int frame = 0; frame < 6; ++frame) stepPhysics(*physicsWorld, 1.0f / 6.0f);
    EXPECT_NEAR(ballVelocity().y, 2.0f * g, 1e-2f);
}

TEST_F(Ball, APushedBallRollsOnAcrossLevelGround) {
    // A solid ball pushed into a slide settles into rolling with 5/7 of its speed and rolls on; the fixed substep
    // must be fine enough that it neither hops over the heightfield's triangle edges nor brakes on them.
    const Terrain level(HeightGrid{64, 64, std::vector<int16_t>(64 * 64, 0)});
    const std::unique_ptr<PhysicsBody> ground(createTerrainBody(*physicsWorld, level));
    const float pushSpeed = 20.0f;
    const float restY = 1.0f; // the collision surface lies half a unit above height 0
    for (const glm::vec3& heading : {glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.6f, 0.0f, 0.8f)}) {
        placeBall(glm::vec3(-20.3f, restY, -20.6f));
        pushBall(heading * (ballMass * pushSpeed));
        float hop = 0.0f;
        for (int frame = 0; frame < 90; ++frame) { // 3 simulated seconds at 60 frames per second
            stepPhysics(*physicsWorld, 1.0f / 60.0f);
            hop = std::max(hop, ballPosition().y - restY);
        }
        const glm::vec3 v = ballVelocity();
        EXPECT_GT(std::hypot(v.x, v.z), 0.55f * pushSpeed) << "heading " << heading.x << ", " << heading.z;
        EXPECT_LT(hop, 0.35f) << "heading " << heading.x << ", " << heading.z;
    }
}

TEST_F(Ball, ABallLyingStillNeverFallsAsleepAndRollsOffAtOnce) {
    static btBoxShape floorShape(btVector3(20.0f, 1.0f, 20.0f)); // outlives the world that holds the floor
    PhysicsBody floor;
    createRigidBody(floor, *physicsWorld, 0.0f, &floorShape, 0.0f, 50.0f, 0.0f);
    placeBall(glm::vec3(0.0f, 51.6f, 0.0f));
    for (int frame = 0; frame < 600; ++frame) stepPhysics(*physicsWorld, 1.0f / 60.0f);
    EXPECT_NEAR(ballPosition().y, 51.5f, 0.05f) << "rests on the floor";
    EXPECT_TRUE(ballBody->body->isActive());
    pushBall(glm::vec3(0.05f, 0.0f, 0.0f));
    for (int frame = 0; frame < 10; ++frame) stepPhysics(*physicsWorld, 1.0f / 60.0f);
    EXPECT_GT(ballPosition().x, 0.1f);
}

} // namespace
