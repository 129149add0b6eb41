// The Bullet world, the ball and the bodies the course puts into it.
#pragma once

#include <memory>
#include <vector>

#include <glm/gtc/quaternion.hpp>
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

// A world with gravity (0, -10, 0) and time scale 2. It owns its bodies, their motion states and their shapes;
// dropping it frees them all.
struct PhysicsWorld {
    PhysicsWorld();
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    float timeScale = worldTimeScale;
    // Declared first, so they go after every body that uses them.
    std::vector<std::unique_ptr<btCollisionShape>> shapes;
    std::unique_ptr<btDefaultCollisionConfiguration> collisionConfiguration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> dynamicsWorld;
};

// Names one body; the btRigidBody and its motion state belong to the world that holds it.
struct PhysicsBody {
    btRigidBody* body = nullptr;
};

// A body of the shape (which the world takes) at (x, y, z) with no rotation, never sleeping, added to the world.
PhysicsBody createRigidBody(PhysicsWorld& world, float mass, std::unique_ptr<btCollisionShape> shape, float x,
                            float y, float z);
// A ball body in world: made at the origin, then placed at start (so its motion state still reads the origin until
// the next step), with the continuous-collision values.
PhysicsBody createBall(PhysicsWorld& world, const glm::vec3& start);
// The static sphere at the origin that every course has.
void addExtraSphere(PhysicsWorld& world);

// Moves the body to p with no rotation and no velocity; the motion state follows at the next step.
void placeBall(PhysicsBody& ball, const glm::vec3& p);
// Advances by frameSeconds x timeScale in fixed substeps, at most maxSubsteps.
void stepPhysics(PhysicsWorld& world, float frameSeconds);
// Origin of the body's motion-state transform: where the ball is drawn and judged. (0, 0, 0) for an empty record.
glm::vec3 bodyPosition(const PhysicsBody& b);
glm::vec3 bodyVelocity(const PhysicsBody& b);
// The turn of the body's motion-state transform; none for an empty record.
glm::quat bodyOrientation(const PhysicsBody& b);
// The body's motion-state transform as a column-major model matrix; identity for an empty record.
glm::mat4 bodyModelMatrix(const PhysicsBody& b);
// A central impulse, as the boost gives it. Ignored for an empty record.
void pushBody(PhysicsBody& b, const glm::vec3& impulse);
