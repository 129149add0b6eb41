// What the ball touches after a physics step, read from Bullet's contact manifolds.
#pragma once

#include <glm/vec3.hpp>

#include "core/physics.h"

constexpr float touchDistance = 0.05f; // world units: a contact point at most this far apart counts as touching

struct BallContact {
    bool touching = false;     // some body (ground, sphere) touches the ball
    float closingSpeed = 0.0f; // world units per second the ball drove into what it touches, before the step
    glm::vec3 normal{0.0f};    // from the surface towards the ball, of the point it drove into hardest
};

// Asks the world's dispatcher for the ball's contact points left by the last step. velocityBeforeStep is the
// ball's velocity read just before that step: afterwards the solver has already taken out the closing motion, so
// it is the velocity that tells a landing from a roll. Nothing touches without a ball or a world.
BallContact ballContact(const PhysicsWorld& world, const PhysicsBody& ball, const glm::vec3& velocityBeforeStep);
