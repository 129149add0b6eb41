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

namespace {

// A world holding only the ball, high in the air.
class Ball : public testing::Test {
protected:
    PhysicsWorld world;
    PhysicsBody ball = createBall(world, glm::vec3(10.0f, 50.0f, 10.0f));
};

TEST_F(Ball, APlacedBallStopsAndIsSeenAtItsNewPlaceFromTheNextStep) {
    pushBody(ball, glm::vec3(0.3f, 0.2f, -0.1f));
    ball.body->setAngularVelocity(btVector3(7.0f, 0.0f, 2.0f));
    stepPhysics(world, 0.1f);
    const glm::vec3 before = bodyPosition(ball);
    const glm::vec3 target(-1.0f, 40.0f, 2.0f);
    placeBall(ball, target);
    EXPECT_EQ(bodyPosition(ball), before) << "what is drawn and judged moves with the next step";
    stepPhysics(world, physicsSubstep);
    expectVecNear(bodyPosition(ball), target, 0.01f, "placed ball");
    EXPECT_NEAR(glm::length(bodyVelocity(ball)), 0.0f, 0.5f) << "only gravity's pull since";
    const glm::mat4 m = bodyModelMatrix(ball);
    EXPECT_NEAR(m[0][0] + m[1][1] + m[2][2], 3.0f, 1e-4f) << "no spin left";
}

// A ball falling from rest in a world of its own for the given frames.
PhysicsBody fallFor(PhysicsWorld& world, float frameSeconds, int frames) {
    PhysicsBody ball = createBall(world, glm::vec3(0.0f, 1000.0f, 0.0f));
    for (int i = 0; i < frames; ++i) stepPhysics(world, frameSeconds);
    return ball;
}

// A frame up to the longest one runs in full at the time scale; a longer one (a stall) drops the rest rather than
// making the next frames catch up.
TEST(GameTime, RunsAtTheTimeScaleAndALongFrameIsSimulatedAsTheLongestOne) {
    const float longest = float(maxSubsteps) * physicsSubstep / worldTimeScale; // real seconds
    const float substepSpeed = 1.5f * std::abs(worldGravity) * physicsSubstep; // the substep a remainder may owe
    for (const float frame : {physicsSubstep / worldTimeScale, 0.5f * longest, 0.9f * longest}) {
        PhysicsWorld world;
        const float fallen = bodyVelocity(fallFor(world, frame, 3)).y;
        EXPECT_NEAR(fallen, worldGravity * worldTimeScale * 3.0f * frame, substepSpeed) << frame << " s frames";
    }
    PhysicsWorld stalled, full;
    const PhysicsBody ball = fallFor(stalled, 10.0f, 1), reference = fallFor(full, 0.999f * longest, 1);
    EXPECT_NEAR(bodyVelocity(ball).y, bodyVelocity(reference).y, substepSpeed);
    EXPECT_NEAR(bodyPosition(ball).y, bodyPosition(reference).y, 0.05f) << "fell as far as in the longest frame";
}

TEST(RollingBall, APushedBallRollsOnAcrossLevelGround) {
    // A solid ball pushed into a slide settles into rolling with 5/7 of its speed and rolls on; the fixed substep
    // must be fine enough that it neither hops over the heightfield's triangle edges nor brakes on them.
    const Terrain level(HeightGrid{64, 64, std::vector<int16_t>(64 * 64, 0)}, 100.0f);
    PhysicsWorld world; // made after the ground, whose heights it reads in place, so it goes first
    PhysicsBody ball = createBall(world, glm::vec3(0.0f));
    ASSERT_NE(createTerrainBody(world, level).body, nullptr);
    const float pushSpeed = 20.0f;
    const float restY = 1.0f; // the collision surface lies half a unit above height 0
    for (const glm::vec3& heading : {glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.6f, 0.0f, 0.8f)}) {
        placeBall(ball, glm::vec3(-20.3f, restY, -20.6f));
        pushBody(ball, heading * (ballMass * pushSpeed));
        float hop = 0.0f;
        for (int frame = 0; frame < 90; ++frame) { // 3 simulated seconds at 60 frames per second
            stepPhysics(world, 1.0f / 60.0f);
            hop = std::max(hop, bodyPosition(ball).y - restY);
        }
        const glm::vec3 v = bodyVelocity(ball);
        EXPECT_GT(std::hypot(v.x, v.z), 0.55f * pushSpeed) << "heading " << heading.x << ", " << heading.z;
        EXPECT_LT(hop, 0.35f) << "heading " << heading.x << ", " << heading.z;
    }
}

TEST_F(Ball, ABallLyingStillNeverFallsAsleepAndRollsOffAtOnce) {
    createRigidBody(world, 0.0f, std::make_unique<btBoxShape>(btVector3(20.0f, 1.0f, 20.0f)), 0.0f, 50.0f, 0.0f);
    placeBall(ball, glm::vec3(0.0f, 51.6f, 0.0f));
    for (int frame = 0; frame < 600; ++frame) stepPhysics(world, 1.0f / 60.0f);
    EXPECT_NEAR(bodyPosition(ball).y, 51.5f, 0.05f) << "rests on the floor";
    EXPECT_TRUE(ball.body->isActive());
    pushBody(ball, glm::vec3(0.05f, 0.0f, 0.0f));
    for (int frame = 0; frame < 10; ++frame) stepPhysics(world, 1.0f / 60.0f);
    EXPECT_GT(bodyPosition(ball).x, 0.1f);
}

} // namespace
