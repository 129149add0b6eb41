// Spark bursts around the ball: a fixed pool, spawning and the per-frame flight. No GL.
#pragma once

#include <cstdint>
#include <random>
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

// A fixed pool: every slot made inactive up front; never grows, slots are reused.
struct ParticlePool {
    std::vector<Particle> slots = std::vector<Particle>(particlePoolSize);
    std::minstd_rand random; // the sparks' speeds; a sequence of the race's own
};

// Fills up to count free slots; a full pool makes the burst smaller, live particles are never replaced.
void spawnParticles(ParticlePool& pool, const glm::vec3& origin, uint32_t count);
void updateParticles(ParticlePool& pool, float deltaTime, const glm::vec3& eye);
// The active particles farthest first, so additive sprites are laid down back to front. Fills order (which keeps
// its capacity) with their indices; the pool is left as it is.
void particleDrawOrder(const ParticlePool& pool, std::vector<uint32_t>& order);
// A spin angle from random: 0..2 pi radians.
float randomParticleAngle(std::minstd_rand& random);
// A 1.5-unit sprite at position, turned about x, then y, then z (applied to the quad in the order z, y, x).
glm::mat4 particleModelMatrix(const glm::vec3& position, float angleX, float angleY, float angleZ);
