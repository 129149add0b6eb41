// The particle pool: bursts thrown out on a ring, rising and falling for a second, drawn as additive sprites.
#include "effects/particles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <glm/geometric.hpp>

std::vector<Particle> particlePool;

namespace {

constexpr float pi = 3.1415927f;
constexpr float particleLife = 1.0f;    // seconds
constexpr int speedSteps = 100;         // speeds 0..99 tenths of a unit per second
constexpr float speedUnit = 0.1f;
constexpr float riseFactor = 3.0f;      // upward speed per unit of horizontal speed
constexpr float fallPerUpdate = 1.0f;   // taken off the upward speed every update, whatever the frame time

} // namespace

void createParticlePool() {
    particlePool.assign(particlePoolSize, Particle{});
}

void spawnParticles(const glm::vec3& origin, uint32_t count) {
    uint32_t n = 0;
    if (count == 0) {
        return;
    }
    for (Particle& p : particlePool) {
        if (p.active) {
            continue;
        }
        const float speed = static_cast<float>(std::rand() % speedSteps);
        const float a = static_cast<float>(n) / static_cast<float>(count);
        const float angle = (a * pi) * 2.0f;
        p.position = origin;
        p.velocity = glm::vec3(std::cos(angle) * speed * speedUnit, speed * riseFactor * speedUnit,
                               std::sin(angle) * speed * speedUnit);
        p.life = particleLife;
        p.active = true;
        if (++n == count) {
            return;
        }
    }
}

void updateParticles(float deltaTime, const glm::vec3& eye) {
    for (Particle& p : particlePool) {
        if (!p.active) {
            continue;
        }
        p.velocity.y -= fallPerUpdate;
        p.life -= deltaTime;
        p.position = p.velocity * deltaTime + p.position;
        p.cameraDistance = glm::length(p.position - eye);
        if (p.life <= 0.0f) {
            p.active = false;
        }
    }
}

void sortParticlesForDrawing() {
    std::sort(particlePool.begin(), particlePool.end(),
              [](const Particle& a, const Particle& b) { return a.cameraDistance > b.cameraDistance; });
}
