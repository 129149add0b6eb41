// The Bullet world, the ball and the bodies the course puts into it.
#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

class btDefaultCollisionConfiguration;
class btCollisionDispatcher;
class btBroadphaseInterface;
class btSequentialImpulseConstraintSolver;
class btDiscreteDynamicsWorld;
class btRigidBody;
class btCollisionShape;

// Fine enough that a rolling ball crosses the heightfield's triangle edges without hopping or braking on them.
constexpr float physicsSubstep = 1.0f / 300.0f; // seconds of simulated time per fixed substep (0.0033333334)
constexpr int maxSubsteps = 100;               // per step: a frame of 1/6 s runs in full, a longer one drops the rest
constexpr float ballRadius = 0.5f;             // world units
constexpr float ballMass = 0.05f;
constexpr float extraSphereRadius = 1.0f;      // world units; the static sphere at the origin
constexpr float worldGravity = -10.0f;         // world units per second squared, along y
constexpr float worldTimeScale = 2.0f;         // simulated seconds per real second

struct PhysicsWorld {
    float timeScale = worldTimeScale;
    btDefaultCollisionConfiguration* collisionConfiguration = nullptr;
    btCollisionDispatcher* dispatcher = nullptr;
    btBroadphaseInterface* broadphase = nullptr;
    btSequentialImpulseConstraintSolver* solver = nullptr;
    btDiscreteDynamicsWorld* dynamicsWorld = nullptr;
};

// Names one body; the btRigidBody and its motion state belong to the world that holds it.
struct PhysicsBody {
    btRigidBody* body = nullptr;
};

// Makes a world with gravity (0, -10, 0) and time scale 2; the caller owns it.
PhysicsWorld* createPhysicsWorld();
// Deletes every body with its motion state, then the world's five Bullet objects, then the record. Null is ignored.
void destroyPhysicsWorld(PhysicsWorld* world);

// Zeroes the record, makes a body of the shape at (x, y, z) with no rotation, never sleeping, and adds it to the world.
PhysicsBody& createRigidBody(PhysicsBody& record, PhysicsWorld& world, float mass, btCollisionShape* shape,
                             float x, float y, float z);

// The ball sphere, made once and kept until exit (bodies of every world share it).
btCollisionShape* ballShape();
// A ball body in world: made at the origin, then placed at start (so its motion state still reads the origin until
// the next step), with the continuous-collision values. The caller owns the returned record.
PhysicsBody* createBall(PhysicsWorld& world, const glm::vec3& start);

// Start-up step: the ball at the start checkpoint into ballBody and the extra static sphere at the origin.
void setupPhysics();
// Shutdown: frees the ball and terrain records, then destroys physicsWorld; all three become null.
void shutdownPhysics();

// Moves the ball to p with no rotation and no velocity; the motion state follows at the next step.
void placeBall(PhysicsBody& ball, const glm::vec3& p);
void placeBall(const glm::vec3& p);
// Advances by frameSeconds x timeScale in fixed substeps, at most maxSubsteps.
void stepPhysics(PhysicsWorld& world, float frameSeconds);
// Origin of the ball's motion-state transform: where the ball is drawn and judged. (0, 0, 0) without a ball.
glm::vec3 ballPosition();
glm::vec3 bodyPosition(const PhysicsBody& b);
glm::vec3 ballVelocity();
// The body's motion-state transform as a column-major model matrix; identity for an empty record.
glm::mat4 bodyModelMatrix(const PhysicsBody& b);
// A central impulse, as the boost gives it. Ignored without a ball.
void pushBall(const glm::vec3& impulse);

// Made before main runs; destroyed and set to null by shutdownPhysics.
extern PhysicsWorld* physicsWorld;
// Filled by setupPhysics and setupTerrain; freed by shutdownPhysics.
extern PhysicsBody* ballBody;
extern PhysicsBody* terrainBody;
