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

constexpr float physicsSubstep = 1.0f / 60.0f; // seconds of simulated time per fixed substep
constexpr int maxSubsteps = 10;
constexpr float ballRadius = 0.5f;             // world units
constexpr float ballMass = 0.05f;

struct PhysicsWorld {
    float timeScale = 2.0f; // the simulation runs at twice real time
    btDefaultCollisionConfiguration* collisionConfiguration = nullptr;
    btCollisionDispatcher* dispatcher = nullptr;
    btBroadphaseInterface* broadphase = nullptr;
    btSequentialImpulseConstraintSolver* solver = nullptr;
    btDiscreteDynamicsWorld* dynamicsWorld = nullptr;
};

struct PhysicsBody {
    btRigidBody* body = nullptr;
};

// Makes a world with gravity (0, -10, 0) and time scale 2; the caller owns it.
PhysicsWorld* createPhysicsWorld();
// Deletes every body with its motion state, then the world's five Bullet objects, then the record.
void destroyPhysicsWorld(PhysicsWorld* world);

PhysicsBody& createRigidBody(PhysicsBody& record, PhysicsWorld& world, float mass, btCollisionShape* shape,
                             float x, float y, float z);

// Start-up step: the ball at the start checkpoint and the extra static sphere at the origin.
void setupPhysics();
// Moves the ball to p with no rotation and no velocity; the motion state follows at the next step.
void placeBall(PhysicsBody& ball, const glm::vec3& p);
void placeBall(const glm::vec3& p);
// Advances by frameSeconds x timeScale in fixed substeps, at most maxSubsteps.
void stepPhysics(PhysicsWorld& world, float frameSeconds);
// Origin of the ball's motion-state transform: where the ball is drawn and judged.
glm::vec3 ballPosition();
glm::vec3 bodyPosition(const PhysicsBody& b);
glm::mat4 bodyModelMatrix(const PhysicsBody& b);
// A central impulse, as the boost gives it.
void pushBall(const glm::vec3& impulse);

// Made before main runs; destroyed and set to null by shutdown.
extern PhysicsWorld* physicsWorld;
// Filled by setupPhysics and setupTerrain; freed by shutdown.
extern PhysicsBody* ballBody;
extern PhysicsBody* terrainBody;
