// The Bullet world: its creation and teardown, rigid bodies, the ball and the extra static sphere.
#include "core/physics.h"

#include <btBulletDynamicsCommon.h>

namespace {

constexpr float ccdMotionThreshold = 1e-7f; // world units: sweep the ball on any motion at all
constexpr float ccdSweptSphereRadius = 0.5f; // world units

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

PhysicsWorld::PhysicsWorld() {
    btDefaultCollisionConstructionInfo constructionInfo;
    collisionConfiguration = std::make_unique<btDefaultCollisionConfiguration>(constructionInfo);
    dispatcher = std::make_unique<btCollisionDispatcher>(collisionConfiguration.get());
    broadphase = std::make_unique<btDbvtBroadphase>();
    solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    dynamicsWorld = std::make_unique<btDiscreteDynamicsWorld>(dispatcher.get(), broadphase.get(), solver.get(),
                                                              collisionConfiguration.get());
    dynamicsWorld->setGravity(btVector3(0.0f, worldGravity, 0.0f));
}

PhysicsWorld::~PhysicsWorld() {
    // From the back, so removing an object does not shift the ones still to visit.
    for (int i = dynamicsWorld->getNumCollisionObjects() - 1; i >= 0; --i) {
        btCollisionObject* object = dynamicsWorld->getCollisionObjectArray()[i];
        btRigidBody* body = btRigidBody::upcast(object);
        if (body && body->getMotionState()) delete body->getMotionState();
        dynamicsWorld->removeCollisionObject(object);
        delete object;
    }
}

PhysicsBody createRigidBody(PhysicsWorld& world, float mass, std::unique_ptr<btCollisionShape> shape, float x,
                            float y, float z) {
    btVector3 inertia(0.0f, 0.0f, 0.0f);
    shape->calculateLocalInertia(mass, inertia);

    btTransform start;
    start.setIdentity();
    start.setOrigin(btVector3(x, y, z));
    auto* motionState = new btDefaultMotionState(start);

    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, shape.get(), inertia);
    PhysicsBody record;
    record.body = new btRigidBody(info);
    record.body->setActivationState(DISABLE_DEACTIVATION);
    world.shapes.push_back(std::move(shape));
    world.dynamicsWorld->addRigidBody(record.body);
    return record;
}

PhysicsBody createBall(PhysicsWorld& world, const glm::vec3& start) {
    PhysicsBody ball = createRigidBody(world, ballMass, std::make_unique<btSphereShape>(ballRadius), 0.0f, 0.0f, 0.0f);
    placeBall(ball, start);
    ball.body->setCcdMotionThreshold(ccdMotionThreshold);
    ball.body->setCcdSweptSphereRadius(ccdSweptSphereRadius);
    return ball;
}

void addExtraSphere(PhysicsWorld& world) {
    createRigidBody(world, 0.0f, std::make_unique<btSphereShape>(extraSphereRadius), 0.0f, 0.0f, 0.0f);
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

void stepPhysics(PhysicsWorld& world, float frameSeconds) {
    world.dynamicsWorld->stepSimulation(frameSeconds * world.timeScale, maxSubsteps, physicsSubstep);
}

glm::vec3 bodyPosition(const PhysicsBody& b) {
    if (!b.body) return glm::vec3(0.0f);
    const btVector3 origin = motionStateTransform(*b.body).getOrigin();
    return glm::vec3(origin.x(), origin.y(), origin.z());
}

glm::vec3 bodyVelocity(const PhysicsBody& b) {
    if (!b.body) return glm::vec3(0.0f);
    const btVector3& v = b.body->getLinearVelocity();
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

glm::quat bodyOrientation(const PhysicsBody& b) {
    if (!b.body) return glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    const btQuaternion q = motionStateTransform(*b.body).getRotation();
    return glm::quat(q.w(), q.x(), q.y(), q.z());
}

void pushBody(PhysicsBody& b, const glm::vec3& impulse) {
    if (b.body) b.body->applyCentralImpulse(btVector3(impulse.x, impulse.y, impulse.z));
}
