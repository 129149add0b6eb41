// The particle pool: bursts thrown out on a ring, rising and falling for a second, and their draw order and spin.
#include "core/particles.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float particleLife = 1.0f;    // seconds
constexpr int speedSteps = 100;         // speeds 0..99 tenths of a unit per second
constexpr float speedUnit = 0.1f;
constexpr float riseFactor = 3.0f;      // upward speed per unit of horizontal speed
// Taken off the upward speed each second: what a spark has always lost in each frame of a 60 Hz display.
constexpr float fallAcceleration = 60.0f; // world units per second squared
constexpr float fullTurn = glm::two_pi<float>(); // radians
constexpr float spriteSize = 1.5f;      // world units per side of the drawn square

} // namespace

void spawnParticles(ParticlePool& pool, const glm::vec3& origin, uint32_t count) {
    uint32_t n = 0;
    // A burst of none would divide by zero; an origin that is no number would spoil the draw order's sort.
    if (count == 0 || !std::isfinite(origin.x) || !std::isfinite(origin.y) || !std::isfinite(origin.z)) {
        return;
    }
    for (Particle& p : pool.slots) {
        if (p.active) {
            continue;
        }
        const float speed = static_cast<float>(pool.random() % speedSteps);
        const float a = static_cast<float>(n) / static_cast<float>(count);
        const float angle = (a * glm::pi<float>()) * 2.0f;
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

void updateParticles(ParticlePool& pool, float deltaTime, const glm::vec3& eye) {
    for (Particle& p : pool.slots) {
        if (!p.active) {
            continue;
        }
        // Exact for a constant pull, so the flight is the same at any frame rate.
        p.position += p.velocity * deltaTime - glm::vec3(0.0f, 0.5f * fallAcceleration * deltaTime * deltaTime, 0.0f);
        p.velocity.y -= fallAcceleration * deltaTime;
        p.life -= deltaTime;
        p.cameraDistance = glm::length(p.position - eye);
        if (p.life <= 0.0f) {
            p.active = false;
        }
    }
}

void particleDrawOrder(const ParticlePool& pool, std::vector<uint32_t>& order) {
    order.clear();
    for (std::size_t i = 0; i < pool.slots.size(); ++i) {
        if (pool.slots[i].active) order.push_back(static_cast<uint32_t>(i));
    }
    const std::vector<Particle>& slots = pool.slots;
    std::sort(order.begin(), order.end(),
              [&slots](uint32_t a, uint32_t b) { return slots[a].cameraDistance > slots[b].cameraDistance; });
}

float randomParticleAngle(std::minstd_rand& random) {
    return std::uniform_real_distribution<float>(0.0f, fullTurn)(random);
}

glm::mat4 particleModelMatrix(const glm::vec3& position, float angleX, float angleY, float angleZ) {
    glm::mat4 model = glm::translate(glm::mat4(1.0f), position);
    model = glm::rotate(model, angleX, glm::vec3(1.0f, 0.0f, 0.0f));
    model = glm::rotate(model, angleY, glm::vec3(0.0f, 1.0f, 0.0f));
    model = glm::rotate(model, angleZ, glm::vec3(0.0f, 0.0f, 1.0f));
    return glm::scale(model, glm::vec3(spriteSize));
}
