// The particle pool: burst directions and speeds, a full pool, life and removal, and the draw order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <glm/geometric.hpp>

#include "effects/particles.h"

namespace {

class ParticlePool : public ::testing::Test {
protected:
    void SetUp() override { createParticlePool(); }
    static std::size_t activeCount() {
        return static_cast<std::size_t>(
            std::count_if(particlePool.begin(), particlePool.end(), [](const Particle& p) { return p.active; }));
    }
};

TEST_F(ParticlePool, StartsWithAThousandInactiveSlots) {
    EXPECT_EQ(particlePool.size(), 1000u);
    EXPECT_EQ(activeCount(), 0u);
}

TEST_F(ParticlePool, ABurstFansOutOverEvenCompassDirectionsWithSpeedsFromTheGenerator) {
    std::srand(77);
    int expectedSpeeds[4];
    for (int& s : expectedSpeeds) {
        s = std::rand() % 100;
    }
    std::srand(77);
    const glm::vec3 origin(1.0f, 2.0f, 3.0f);
    spawnParticles(origin, 4);
    ASSERT_EQ(activeCount(), 4u);
    for (int n = 0; n < 4; ++n) {
        const Particle& p = particlePool[static_cast<std::size_t>(n)];
        const float speed = static_cast<float>(expectedSpeeds[n]) * 0.1f;
        const float angle = static_cast<float>(n) * 3.1415927f / 2.0f;
        EXPECT_EQ(p.position, origin);
        EXPECT_NEAR(p.velocity.x, std::cos(angle) * speed, 1e-4f);
        EXPECT_NEAR(p.velocity.z, std::sin(angle) * speed, 1e-4f);
        EXPECT_NEAR(p.velocity.y, 3.0f * speed, 1e-4f);
        EXPECT_FLOAT_EQ(p.life, 1.0f);
    }
}

TEST_F(ParticlePool, ABurstIntoAFullishPoolIsSmallerAndNeverReplacesLiveOnes) {
    spawnParticles(glm::vec3(0.0f), 900);
    const Particle keep = particlePool[10];
    spawnParticles(glm::vec3(5.0f), 200);
    EXPECT_EQ(activeCount(), 1000u);
    EXPECT_EQ(particlePool[10].position, keep.position);
    EXPECT_EQ(particlePool[999].position, glm::vec3(5.0f));
    spawnParticles(glm::vec3(9.0f), 10);
    EXPECT_EQ(activeCount(), 1000u);
}

TEST_F(ParticlePool, ABurstOfOneGoesAlongPlusXAndABurstOfNoneSpawnsNothing) {
    spawnParticles(glm::vec3(0.0f), 0);
    EXPECT_EQ(activeCount(), 0u);
    spawnParticles(glm::vec3(std::nanf(""), 0.0f, 0.0f), 10);
    EXPECT_EQ(activeCount(), 0u) << "a broken ball position throws no sparks";
    spawnParticles(glm::vec3(0.0f), 1);
    ASSERT_EQ(activeCount(), 1u);
    EXPECT_FLOAT_EQ(particlePool[0].velocity.z, 0.0f);
    EXPECT_GE(particlePool[0].velocity.x, 0.0f);
}

TEST_F(ParticlePool, ParticlesRiseFallByOnePerUpdateAndDieAfterOneSecond) {
    particlePool[0] = Particle{0.0f, glm::vec3(0.0f), glm::vec3(1.0f, 10.0f, 0.0f), 1.0f, true};
    const glm::vec3 eye(0.0f, 0.0f, 10.0f);
    updateParticles(0.25f, eye);
    EXPECT_FLOAT_EQ(particlePool[0].velocity.y, 9.0f);
    EXPECT_FLOAT_EQ(particlePool[0].position.y, 2.25f) << "moved with the velocity after the fall";
    EXPECT_FLOAT_EQ(particlePool[0].position.x, 0.25f);
    EXPECT_NEAR(particlePool[0].cameraDistance, glm::length(particlePool[0].position - eye), 1e-5f);
    updateParticles(0.25f, eye);
    updateParticles(0.25f, eye);
    EXPECT_TRUE(particlePool[0].active);
    updateParticles(0.25f, eye);
    EXPECT_FALSE(particlePool[0].active);
    const Particle dead = particlePool[0];
    updateParticles(0.25f, glm::vec3(100.0f));
    EXPECT_EQ(particlePool[0].position, dead.position) << "inactive slots are left alone";
}

TEST_F(ParticlePool, DrawOrderIsFarthestFirst) {
    particlePool[3].cameraDistance = 5.0f;
    particlePool[7].cameraDistance = 50.0f;
    particlePool[9].cameraDistance = 20.0f;
    sortParticlesForDrawing();
    EXPECT_FLOAT_EQ(particlePool[0].cameraDistance, 50.0f);
    EXPECT_FLOAT_EQ(particlePool[1].cameraDistance, 20.0f);
    EXPECT_FLOAT_EQ(particlePool[2].cameraDistance, 5.0f);
    EXPECT_EQ(particlePool.size(), 1000u);
}

} // namespace
