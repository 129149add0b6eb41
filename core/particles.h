// Spark bursts around the ball: a fixed pool, spawning and the per-frame flight. No GL.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

struct Particle {
    float cameraDistance = 0.0f; // draw order key, refreshed while active
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f};    // world units per second
    float life = 0.0f;           // seconds left
    bool active = false;
};

constexpr std::size_t particlePoolSize = 1000;

// Made by start-up with every slot inactive; never grows, slots are reused.
extern std::vector<Particle> particlePool;

void createParticlePool();
// Fills up to count free slots; a full pool makes the burst smaller, live particles are never replaced.
void spawnParticles(const glm::vec3& origin, uint32_t count);
void updateParticles(float deltaTime, const glm::vec3& eye);
// Farthest first, so additive sprites are laid down back to front.
void sortParticlesForDrawing();
// A new spin angle from the shared rand() sequence: 0..2 pi radians.
float randomParticleAngle();
// A 1.5-unit sprite at position, turned about x, then y, then z (applied to the quad in the order z, y, x).
glm::mat4 particleModelMatrix(const glm::vec3& position, float angleX, float angleY, float angleZ);
