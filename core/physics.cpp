// The Bullet world: its creation and teardown, rigid bodies, the ball and the extra static sphere.
#include "core/physics.h"

#include <memory>

#include <btBulletDynamicsCommon.h>

#include "core/race_state.h"

namespace {

constexpr float ccdMotionThreshold = 1e-7f; // world units: sweep the ball on any motion at all
constexpr float ccdSweptSphereRadius = 0.5f; // world units

// Shapes outlive every world that uses them: made on first use, released only at process exit.
std::unique_ptr<btSphereShape> ballSphere;
std::unique_ptr<btSphereShape> extraSphere;

btRigidBody* bodyOf(const PhysicsBody* record) { return record ? record->body : nullptr; }

btTransform motionStateTransform(const btRigidBody& body) {
    btTransform t;
    t.setIdentity();
    if (const btMotionState* state = body.getMotionState()) {
        state->getWorldTransform(t);
    } else {
        t = body.getWorldTransform();
    }
    return t;
}

} // namespace

PhysicsWorld* physicsWorld = createPhysicsWorld();
PhysicsBody* ballBody = nullptr;
PhysicsBody* terrainBody = nullptr;

PhysicsWorld* createPhysicsWorld() {
    auto* world = new PhysicsWorld;
    btDefaultCollisionConstructionInfo constructionInfo;
    world->collisionConfiguration = new btDefaultCollisionConfiguration(constructionInfo);
    world->dispatcher = new btCollisionDispatcher(world->collisionConfiguration);
    world->broadphase = new btDbvtBroadphase();
    world->solver = new btSequentialImpulseConstraintSolver();
    world->dynamicsWorld = new btDiscreteDynamicsWorld(world->dispatcher, world->broadphase, world->solver,
                                                       world->collisionConfiguration);
    world->dynamicsWorld->setGravity(btVector3(0.0f, worldGravity, 0.0f));
    world->timeScale = worldTimeScale;
    return world;
}

void destroyPhysicsWorld(PhysicsWorld* world) {
    if (!world) return;
    if (btDiscreteDynamicsWorld* dynamics = world->dynamicsWorld) {
        // From the back, so removing an object does not shift the ones still to visit.
        for (int i = dynamics->getNumCollisionObjects() - 1; i >= 0; --i) {
            btCollisionObject* object = dynamics->getCollisionObjectArray()[i];
            btRigidBody* body = btRigidBody::upcast(object);
            if (body && body->getMotionState()) delete body->getMotionState();
            dynamics->removeCollisionObject(object);
            delete object;
        }
    }
    delete world->dynamicsWorld;
    delete world->solver;
    delete world->broadphase;
    delete world->dispatcher;
    delete world->collisionConfiguration;
    delete world;
}

PhysicsBody& createRigidBody(PhysicsBody& record, PhysicsWorld& world, float mass, btCollisionShape* shape,
                             float x, float y, float z) {
    record = PhysicsBody{};
    btVector3 inertia(0.0f, 0.0f, 0.0f);
    shape->calculateLocalInertia(mass, inertia);

    btTransform start;
    start.setIdentity();
    start.setOrigin(btVector3(x, y, z));
    auto* motionState = new btDefaultMotionState(start);

    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, shape, inertia);
    record.body = new btRigidBody(info);
    record.body->setActivationState(DISABLE_DEACTIVATION);
    world.dynamicsWorld->addRigidBody(record.body);
    return record;
}

btCollisionShape* ballShape() {
    if (!ballSphere) ballSphere = std::make_unique<btSphereShape>(ballRadius);
    return ballSphere.get();
}

PhysicsBody* createBall(PhysicsWorld& world, const glm::vec3& start) {
    auto* ball = new PhysicsBody;
    createRigidBody(*ball, world, ballMass, ballShape(), 0.0f, 0.0f, 0.0f);
    placeBall(*ball, start);
    ball->body->setCcdMotionThreshold(ccdMotionThreshold);
    ball->body->setCcdSweptSphereRadius(ccdSweptSphereRadius);
    return ball;
}

void setupPhysics() {
    if (!physicsWorld) return;
    ballBody = createBall(*physicsWorld, checkpoints[0]);

    if (!extraSphere) extraSphere = std::make_unique<btSphereShape>(extraSphereRadius);
    // Only the world keeps this body; its record is not needed afterwards.
    PhysicsBody extra;
    createRigidBody(extra, *physicsWorld, 0.0f, extraSphere.get(), 0.0f, 0.0f, 0.0f);
}

void shutdownPhysics() {
    delete ballBody;
    ballBody = nullptr;
    delete terrainBody;
    terrainBody = nullptr;
    destroyPhysicsWorld(physicsWorld);
    physicsWorld = nullptr;
}

void placeBall(PhysicsBody& ball, const glm::vec3& p) {
    if (!ball.body) return;
    btTransform place;
    place.setIdentity();
    place.setOrigin(btVector3(p.x, p.y, p.z));
    // Deliberately not the motion state: what is drawn and judged catches up at the next step.
    ball.body->setCenterOfMassTransform(place);
    ball.body->setLinearVelocity(btVector3(0.0f, 0.0f, 0.0f));
    ball.body->setAngularVelocity(btVector3(0.0f, 0.0f, 0.0f));
}

void placeBall(const glm::vec3& p) {
    if (ballBody) placeBall(*ballBody, p);
}

void stepPhysics(PhysicsWorld& world, float frameSeconds) {
    if (!world.dynamicsWorld) return;
    world.dynamicsWorld->stepSimulation(frameSeconds * world.timeScale, maxSubsteps, physicsSubstep);
}

glm::vec3 bodyPosition(const PhysicsBody& b) {
    if (!b.body) return glm::vec3(0.0f);
    const btVector3 origin = motionStateTransform(*b.body).getOrigin();
    return glm::vec3(origin.x(), origin.y(), origin.z());
}

glm::vec3 ballPosition() { return ballBody ? bodyPosition(*ballBody) : glm::vec3(0.0f); }

glm::vec3 ballVelocity() {
    const btRigidBody* body = bodyOf(ballBody);
    if (!body) return glm::vec3(0.0f);
    const btVector3& v = body->getLinearVelocity();
    return glm::vec3(v.x(), v.y(), v.z());
}

glm::mat4 bodyModelMatrix(const PhysicsBody& b) {
    glm::mat4 m(1.0f);
    if (!b.body) return m;
    const btTransform t = motionStateTransform(*b.body);
    const btMatrix3x3& basis = t.getBasis();
    // glm indexes [column][row]; Bullet's basis is stored by rows.
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) m[column][row] = basis[row][column];
        m[column][3] = 0.0f;
    }
    const btVector3& origin = t.getOrigin();
    m[3] = glm::vec4(origin.x(), origin.y(), origin.z(), 1.0f);
    return m;
}

void pushBall(const glm::vec3& impulse) {
    if (btRigidBody* body = bodyOf(ballBody)) body->applyCentralImpulse(btVector3(impulse.x, impulse.y, impulse.z));
}
