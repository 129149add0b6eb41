// The physics world: creation and teardown, bodies, the ball, fixed-substep stepping and model matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <btBulletDynamicsCommon.h>
#include <glm/vec4.hpp>

#include "app/race_state.h"
#include "course/physics.h"
#include "course/terrain.h"

namespace {

constexpr float gravity = -10.0f;

// Where a body starting at rest at y0 stands after n fixed substeps: Bullet integrates the velocity first and then
// moves by the new velocity (semi-implicit Euler), both in single precision.
float fallenHeight(float y0, int substeps) {
    float v = 0.0f;
    float y = y0;
    for (int i = 0; i < substeps; ++i) {
        v += gravity * physicsSubstep;
        y += v * physicsSubstep;
    }
    return y;
}

// What the motion state reports after a step that ran n substeps and left no time over. Bullet's default world
// interpolates motion states with one substep of latency: it takes the last state back by one substep at the last
// velocity, which lands on the position after n - 1 substeps.
float drawnHeightAfterStep(float y0, int substeps) {
    const float v = substeps * gravity * physicsSubstep;
    return fallenHeight(y0, substeps) - v * physicsSubstep;
}

btVector3 toBt(const glm::vec3& v) { return btVector3(v.x, v.y, v.z); }

// A world of the test's own, torn down with every body in it.
class OwnWorld : public testing::Test {
protected:
    void TearDown() override {
        destroyPhysicsWorld(world);
        delete ball;
    }
    PhysicsWorld* world = createPhysicsWorld();
    PhysicsBody* ball = nullptr;
};

// Runs a test against fresh globals, so setupPhysics and friends can be used without touching the game's world.
class FreshGlobalWorld : public testing::Test {
protected:
    void SetUp() override {
        physicsWorld = createPhysicsWorld();
        ballBody = nullptr;
        terrainBody = nullptr;
    }
    void TearDown() override {
        shutdownPhysics();
        physicsWorld = savedWorld;
        ballBody = savedBall;
        terrainBody = savedTerrain;
    }
    PhysicsWorld* savedWorld = physicsWorld;
    PhysicsBody* savedBall = ballBody;
    PhysicsBody* savedTerrain = terrainBody;
};

TEST(PhysicsWorldCreation, GravityDownTwiceRealTimeAndNoBodies) {
    PhysicsWorld* w = createPhysicsWorld();
    ASSERT_NE(w->dynamicsWorld, nullptr);
    EXPECT_NE(w->collisionConfiguration, nullptr);
    EXPECT_NE(w->dispatcher, nullptr);
    EXPECT_NE(w->broadphase, nullptr);
    EXPECT_NE(w->solver, nullptr);
    EXPECT_FLOAT_EQ(w->timeScale, 2.0f);
    const btVector3 g = w->dynamicsWorld->getGravity();
    EXPECT_EQ(g, btVector3(0.0f, -10.0f, 0.0f));
    EXPECT_EQ(w->dynamicsWorld->getNumCollisionObjects(), 0);
    destroyPhysicsWorld(w);
}

TEST(PhysicsWorldCreation, TheGameWorldExistsBeforeMainWithoutBodies) {
    ASSERT_NE(physicsWorld, nullptr);
    EXPECT_FLOAT_EQ(physicsWorld->timeScale, 2.0f);
    EXPECT_EQ(physicsWorld->dynamicsWorld->getGravity(), btVector3(0.0f, -10.0f, 0.0f));
}

TEST(PhysicsWorldTeardown, DeletesEveryBodyAndItsMotionState) {
    // Counting subclasses show that teardown reaches objects that were added by hand too.
    static int motionStatesDeleted;
    static int bodiesDeleted;
    motionStatesDeleted = 0;
    bodiesDeleted = 0;
    struct CountingMotionState : btDefaultMotionState {
        ~CountingMotionState() override { ++motionStatesDeleted; }
    };
    struct CountingBody : btRigidBody {
        using btRigidBody::btRigidBody;
        ~CountingBody() override { ++bodiesDeleted; }
    };

    PhysicsWorld* w = createPhysicsWorld();
    btSphereShape shape(0.25f);
    for (int i = 0; i < 3; ++i) {
        auto* state = new CountingMotionState;
        btRigidBody::btRigidBodyConstructionInfo info(1.0f, state, &shape);
        w->dynamicsWorld->addRigidBody(new CountingBody(info));
    }
    PhysicsBody record;
    createRigidBody(record, *w, 0.0f, &shape, 1.0f, 2.0f, 3.0f);
    ASSERT_EQ(w->dynamicsWorld->getNumCollisionObjects(), 4);

    destroyPhysicsWorld(w);
    EXPECT_EQ(bodiesDeleted, 3);
    EXPECT_EQ(motionStatesDeleted, 3);
}

TEST(PhysicsWorldTeardown, NullWorldIsIgnored) {
    destroyPhysicsWorld(nullptr);
    SUCCEED();
}

TEST_F(OwnWorld, RigidBodyStandsAtItsPositionNeverSleepsAndJoinsTheWorld) {
    PhysicsBody record;
    record.body = reinterpret_cast<btRigidBody*>(0x1); // stale content must be overwritten
    btSphereShape shape(0.5f);
    PhysicsBody& filled = createRigidBody(record, *world, 2.0f, &shape, 3.0f, -4.0f, 5.0f);
    EXPECT_EQ(&filled, &record);
    ASSERT_NE(record.body, reinterpret_cast<btRigidBody*>(0x1));
    EXPECT_EQ(record.body->getActivationState(), DISABLE_DEACTIVATION);
    EXPECT_FLOAT_EQ(record.body->getInvMass(), 0.5f);
    EXPECT_EQ(record.body->getCollisionShape(), &shape);
    EXPECT_EQ(bodyPosition(record), glm::vec3(3.0f, -4.0f, 5.0f));
    // A solid sphere: 2/5 m r^2 on every axis.
    EXPECT_NEAR(1.0f / record.body->getInvInertiaDiagLocal().x(), 0.4f * 2.0f * 0.25f, 1e-6f);
    EXPECT_EQ(world->dynamicsWorld->getNumCollisionObjects(), 1);
    EXPECT_EQ(world->dynamicsWorld->getCollisionObjectArray()[0], record.body);
    EXPECT_EQ(record.body->getWorldTransform().getBasis(), btMatrix3x3::getIdentity());
}

TEST_F(OwnWorld, MassZeroMakesAStaticBody) {
    PhysicsBody record;
    btSphereShape shape(1.0f);
    createRigidBody(record, *world, 0.0f, &shape, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(record.body->isStaticObject());
    EXPECT_EQ(record.body->getInvMass(), 0.0f);
    stepPhysics(*world, 1.0f);
    EXPECT_EQ(bodyPosition(record), glm::vec3(0.0f));
}

TEST_F(OwnWorld, BallHasItsSizeMassAndContinuousCollision) {
    ball = createBall(*world, checkpoints[0]);
    const btRigidBody& b = *ball->body;
    ASSERT_EQ(b.getCollisionShape()->getShapeType(), SPHERE_SHAPE_PROXYTYPE);
    EXPECT_FLOAT_EQ(static_cast<const btSphereShape*>(b.getCollisionShape())->getRadius(), 0.5f);
    EXPECT_FLOAT_EQ(b.getInvMass(), 1.0f / 0.05f);
    EXPECT_FLOAT_EQ(b.getCcdMotionThreshold(), 1e-7f);
    EXPECT_FLOAT_EQ(b.getCcdSweptSphereRadius(), 0.5f);
    EXPECT_EQ(b.getActivationState(), DISABLE_DEACTIVATION);
    EXPECT_FLOAT_EQ(b.getFriction(), 0.5f);
    EXPECT_FLOAT_EQ(b.getRestitution(), 0.0f);
    EXPECT_FLOAT_EQ(b.getLinearDamping(), 0.0f);
    EXPECT_FLOAT_EQ(b.getAngularDamping(), 0.0f);
    // Made at the origin and then placed: the body is at the start, its motion state not yet.
    EXPECT_EQ(b.getCenterOfMassPosition(), toBt(checkpoints[0]));
    EXPECT_EQ(bodyPosition(*ball), glm::vec3(0.0f));
}

TEST_F(OwnWorld, PlacedBallIsSeenOnlyAfterTheNextStepMovedByTwoSubstepsOfGravity) {
    ball = createBall(*world, glm::vec3(10.0f, 20.0f, 30.0f));
    stepPhysics(*world, physicsSubstep);
    const glm::vec3 before = bodyPosition(*ball);
    EXPECT_NEAR(before.y, drawnHeightAfterStep(20.0f, 2), 1e-5f);

    const glm::vec3 start = checkpoints[0];
    placeBall(*ball, start);
    EXPECT_EQ(bodyPosition(*ball), before) << "placing writes the body, not its motion state";

    // A frame of one substep at time scale 2 is exactly two substeps.
    stepPhysics(*world, physicsSubstep);
    const float h2 = physicsSubstep * physicsSubstep;
    EXPECT_NEAR(ball->body->getCenterOfMassPosition().y(), fallenHeight(start.y, 2), 2e-5f);
    EXPECT_NEAR(start.y - ball->body->getCenterOfMassPosition().y(), 3.0f * 10.0f * h2, 2e-5f);
    EXPECT_NEAR(ball->body->getLinearVelocity().y(), 2.0f * gravity * physicsSubstep, 1e-6f);
    const glm::vec3 after = bodyPosition(*ball);
    EXPECT_FLOAT_EQ(after.x, start.x);
    EXPECT_FLOAT_EQ(after.z, start.z);
    EXPECT_NEAR(after.y, drawnHeightAfterStep(start.y, 2), 2e-5f);
    EXPECT_NEAR(start.y - after.y, 10.0f * h2, 2e-5f);
}

TEST_F(OwnWorld, PlacingStopsTheBallAndRemovesItsSpinAndTurn) {
    ball = createBall(*world, glm::vec3(0.0f, 50.0f, 0.0f));
    btTransform turned(btQuaternion(btVector3(1.0f, 1.0f, 0.0f).normalized(), 1.3f), btVector3(5.0f, 60.0f, 5.0f));
    ball->body->setCenterOfMassTransform(turned);
    ball->body->setLinearVelocity(btVector3(3.0f, 4.0f, -5.0f));
    ball->body->setAngularVelocity(btVector3(7.0f, 0.0f, 2.0f));
    stepPhysics(*world, 0.1f);

    placeBall(*ball, glm::vec3(-1.0f, 40.0f, 2.0f));
    EXPECT_EQ(ball->body->getLinearVelocity(), btVector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(ball->body->getAngularVelocity(), btVector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(ball->body->getCenterOfMassTransform().getBasis(), btMatrix3x3::getIdentity());

    stepPhysics(*world, physicsSubstep);
    const glm::mat4 m = bodyModelMatrix(*ball);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) EXPECT_NEAR(m[c][r], c == r ? 1.0f : 0.0f, 1e-6f) << c << "," << r;
    EXPECT_FLOAT_EQ(m[3].x, -1.0f);
    EXPECT_FLOAT_EQ(m[3].z, 2.0f);
}

TEST_F(OwnWorld, ALongFrameRunsTheCapOfSubstepsAndDropsTheRest) {
    ball = createBall(*world, glm::vec3(0.0f, 100.0f, 0.0f));
    stepPhysics(*world, 1.0f); // asks for 2 s of simulation, far beyond the cap
    const btRigidBody& b = *ball->body;
    EXPECT_NEAR(b.getLinearVelocity().y(), maxSubsteps * gravity * physicsSubstep, 1e-4f);
    EXPECT_NEAR(b.getCenterOfMassPosition().y(), fallenHeight(100.0f, maxSubsteps), 1e-3f);
    // What is drawn stays within one substep of the simulated state, nowhere near the dropped time.
    const float drawn = bodyPosition(*ball).y;
    EXPECT_LE(drawn, fallenHeight(100.0f, maxSubsteps - 1) + 1e-3f);
    EXPECT_GE(drawn, fallenHeight(100.0f, maxSubsteps + 1) - 1e-3f);

    // The dropped time is not made up later: a frame of one substep advances one substep.
    stepPhysics(*world, physicsSubstep / 2.0f);
    EXPECT_NEAR(b.getLinearVelocity().y(), (maxSubsteps + 1) * gravity * physicsSubstep, 1e-4f);
    EXPECT_NEAR(b.getCenterOfMassPosition().y(), fallenHeight(100.0f, maxSubsteps + 1), 1e-3f);

    // Down to 6 frames per second nothing is dropped: six such frames are two simulated seconds of falling.
    placeBall(*ball, glm::vec3(0.0f, 100.0f, 0.0f));
    for (int frame = 0; frame < 6; ++frame) stepPhysics(*world, 1.0f / 6.0f);
    EXPECT_NEAR(b.getLinearVelocity().y(), 2.0f * gravity, 1e-3f);
}

TEST_F(OwnWorld, AFrameOfZeroAdvancesNothing) {
    ball = createBall(*world, glm::vec3(0.0f, 100.0f, 0.0f));
    stepPhysics(*world, physicsSubstep);
    const btTransform body = ball->body->getWorldTransform();
    const btVector3 velocity = ball->body->getLinearVelocity();
    const glm::vec3 drawn = bodyPosition(*ball);

    for (int i = 0; i < 5; ++i) stepPhysics(*world, 0.0f);
    EXPECT_EQ(ball->body->getWorldTransform().getOrigin(), body.getOrigin());
    EXPECT_EQ(ball->body->getLinearVelocity(), velocity);
    EXPECT_EQ(bodyPosition(*ball), drawn);
}

TEST_F(OwnWorld, TimeScaleMultipliesEveryFrame) {
    ball = createBall(*world, glm::vec3(0.0f, 100.0f, 0.0f));
    world->timeScale = 4.0f;
    stepPhysics(*world, physicsSubstep);
    EXPECT_NEAR(ball->body->getLinearVelocity().y(), 4 * gravity * physicsSubstep, 1e-5f);
}

TEST_F(OwnWorld, TheBallNeverFallsAsleepLyingStill) {
    btBoxShape floorShape(btVector3(20.0f, 1.0f, 20.0f));
    PhysicsBody floor;
    createRigidBody(floor, *world, 0.0f, &floorShape, 0.0f, -1.0f, 0.0f);
    ball = createBall(*world, glm::vec3(0.0f, 0.6f, 0.0f));

    // A body allowed to sleep, lying beside the ball: proves that this rest is long and still enough for sleep.
    btSphereShape sleeperShape(0.5f);
    PhysicsBody sleeper;
    createRigidBody(sleeper, *world, 0.05f, &sleeperShape, 5.0f, 0.6f, 0.0f);
    sleeper.body->forceActivationState(ACTIVE_TAG);

    for (int frame = 0; frame < 600; ++frame) stepPhysics(*world, 1.0f / 60.0f); // 20 simulated seconds
    EXPECT_EQ(sleeper.body->getActivationState(), ISLAND_SLEEPING);
    EXPECT_EQ(ball->body->getActivationState(), DISABLE_DEACTIVATION);
    EXPECT_TRUE(ball->body->isActive());
    EXPECT_NEAR(bodyPosition(*ball).y, 0.5f, 0.05f) << "rests on the floor";

    // A sleeping body would not move for this impulse until woken; the ball rolls off at once.
    ball->body->applyCentralImpulse(btVector3(0.05f, 0.0f, 0.0f));
    for (int frame = 0; frame < 10; ++frame) stepPhysics(*world, 1.0f / 60.0f);
    EXPECT_GT(bodyPosition(*ball).x, 0.1f);
}

TEST_F(OwnWorld, APushedBallRollsOnAcrossLevelGround) {
    // A solid ball pushed into a slide settles into rolling with 5/7 of its speed and rolls on; the fixed substep
    // must be fine enough that it neither hops over the heightfield's triangle edges nor brakes on them.
    const Terrain level(HeightGrid{64, 64, std::vector<int16_t>(64 * 64, 0)});
    const std::unique_ptr<PhysicsBody> ground(createTerrainBody(*world, level));
    const float pushSpeed = 20.0f;
    const float restY = 1.0f; // the collision surface lies half a unit above height 0
    ball = createBall(*world, glm::vec3(0.0f));
    for (const glm::vec3& heading : {glm::vec3(1.0f, 0.0f, 0.0f), glm::vec3(0.6f, 0.0f, 0.8f)}) {
        placeBall(*ball, glm::vec3(-20.3f, restY, -20.6f));
        ball->body->applyCentralImpulse(toBt(heading * (ballMass * pushSpeed)));
        float hop = 0.0f;
        for (int frame = 0; frame < 90; ++frame) { // 3 simulated seconds at 60 frames per second
            stepPhysics(*world, 1.0f / 60.0f);
            hop = std::max(hop, bodyPosition(*ball).y - restY);
        }
        const btVector3 v = ball->body->getLinearVelocity();
        EXPECT_GT(std::hypot(v.x(), v.z()), 0.55f * pushSpeed) << "heading " << heading.x << ", " << heading.z;
        EXPECT_LT(hop, 0.35f) << "heading " << heading.x << ", " << heading.z;
    }
}

TEST_F(OwnWorld, ModelMatrixOfABodyAtTheOriginIsTheIdentity) {
    btSphereShape shape(1.0f);
    PhysicsBody record;
    createRigidBody(record, *world, 0.0f, &shape, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(bodyModelMatrix(record), glm::mat4(1.0f));
    stepPhysics(*world, 1.0f);
    EXPECT_EQ(bodyModelMatrix(record), glm::mat4(1.0f));
}

TEST_F(OwnWorld, ModelMatrixOfATurnedBodyMatchesBulletsOpenGLMatrix) {
    ball = createBall(*world, glm::vec3(0.0f));
    const btTransform t(btQuaternion(btVector3(1.0f, 2.0f, 3.0f).normalized(), 0.7f), btVector3(4.0f, -5.0f, 6.0f));
    ball->body->getMotionState()->setWorldTransform(t);

    const glm::mat4 m = bodyModelMatrix(*ball);
    btScalar expected[16];
    t.getOpenGLMatrix(expected);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i / 4][i % 4], expected[i], 1e-6f) << "element " << i;

    // As a model matrix it takes a point of the body's own space to where Bullet puts it.
    const glm::vec4 p = m * glm::vec4(1.0f, 2.0f, 3.0f, 1.0f);
    const btVector3 q = t * btVector3(1.0f, 2.0f, 3.0f);
    EXPECT_NEAR(p.x, q.x(), 1e-5f);
    EXPECT_NEAR(p.y, q.y(), 1e-5f);
    EXPECT_NEAR(p.z, q.z(), 1e-5f);
    EXPECT_FLOAT_EQ(p.w, 1.0f);
}

TEST_F(OwnWorld, ModelMatrixFollowsTheMotionStateNotAPlacementYet) {
    ball = createBall(*world, glm::vec3(0.0f, 30.0f, 0.0f));
    stepPhysics(*world, physicsSubstep);
    const glm::mat4 before = bodyModelMatrix(*ball);
    placeBall(*ball, glm::vec3(8.0f, 9.0f, 10.0f));
    EXPECT_EQ(bodyModelMatrix(*ball), before);
    stepPhysics(*world, physicsSubstep);
    EXPECT_FLOAT_EQ(bodyModelMatrix(*ball)[3].x, 8.0f);
}

TEST(PhysicsEmptyRecords, HaveDefinedResults) {
    PhysicsBody empty;
    EXPECT_EQ(bodyModelMatrix(empty), glm::mat4(1.0f));
    EXPECT_EQ(bodyPosition(empty), glm::vec3(0.0f));
    placeBall(empty, glm::vec3(1.0f)); // nothing to move
    EXPECT_EQ(empty.body, nullptr);
}

TEST_F(FreshGlobalWorld, SetupPutsTheBallOnTheStartAndAStaticSphereAtTheOrigin) {
    setupPhysics();
    ASSERT_NE(ballBody, nullptr);
    btDiscreteDynamicsWorld& w = *physicsWorld->dynamicsWorld;
    ASSERT_EQ(w.getNumCollisionObjects(), 2);
    EXPECT_EQ(w.getCollisionObjectArray()[0], ballBody->body);

    const btRigidBody* extra = btRigidBody::upcast(w.getCollisionObjectArray()[1]);
    ASSERT_NE(extra, nullptr);
    EXPECT_TRUE(extra->isStaticObject());
    EXPECT_EQ(extra->getActivationState(), DISABLE_DEACTIVATION);
    ASSERT_EQ(extra->getCollisionShape()->getShapeType(), SPHERE_SHAPE_PROXYTYPE);
    EXPECT_FLOAT_EQ(static_cast<const btSphereShape*>(extra->getCollisionShape())->getRadius(), 1.0f);
    EXPECT_EQ(extra->getWorldTransform().getOrigin(), btVector3(0.0f, 0.0f, 0.0f));

    EXPECT_EQ(ballBody->body->getCenterOfMassPosition(), toBt(checkpoints[0]));
    EXPECT_EQ(ballPosition(), glm::vec3(0.0f)) << "the start is seen only after a step";

    // What a race reset does: place, then one step of 1/60 s.
    placeBall(checkpoints[0]);
    stepPhysics(*physicsWorld, physicsSubstep);
    const glm::vec3 p = ballPosition();
    EXPECT_FLOAT_EQ(p.x, checkpoints[0].x);
    EXPECT_FLOAT_EQ(p.z, checkpoints[0].z);
    EXPECT_NEAR(p.y, drawnHeightAfterStep(checkpoints[0].y, 2), 2e-5f);
    EXPECT_NEAR(ballBody->body->getCenterOfMassPosition().y(), fallenHeight(checkpoints[0].y, 2), 2e-5f);
}

TEST_F(FreshGlobalWorld, BoostImpulseChangesVelocityByImpulseOverMass) {
    setupPhysics();
    pushBall(glm::vec3(0.1f, 0.0f, -0.05f));
    EXPECT_NEAR(ballVelocity().x, 0.1f / ballMass, 1e-5f);
    EXPECT_NEAR(ballVelocity().z, -0.05f / ballMass, 1e-5f);
    placeBall(checkpoints[0]);
    EXPECT_EQ(ballVelocity(), glm::vec3(0.0f));
}

TEST_F(FreshGlobalWorld, ShutdownReleasesEverythingAndLeavesNulls) {
    setupPhysics();
    terrainBody = new PhysicsBody;
    shutdownPhysics();
    EXPECT_EQ(physicsWorld, nullptr);
    EXPECT_EQ(ballBody, nullptr);
    EXPECT_EQ(terrainBody, nullptr);
    // Without a ball every helper still answers.
    EXPECT_EQ(ballPosition(), glm::vec3(0.0f));
    EXPECT_EQ(ballVelocity(), glm::vec3(0.0f));
    pushBall(glm::vec3(1.0f));
    placeBall(glm::vec3(1.0f));
    setupPhysics();
    EXPECT_EQ(ballBody, nullptr);
}

} // namespace
