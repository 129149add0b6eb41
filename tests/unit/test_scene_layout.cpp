// What the scene shows besides the course: the markers still to collect and how they turn, and the spark bursts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/scene_layout.h"
#include "tests/support/game_state.h"

namespace {

TEST(Markers, StandOnTheCheckpointsBetweenStartAndGoalUntilCollected) {
    std::array<bool, checkpointCount> reached{};
    reached[3] = true;
    for (std::size_t i = 0; i < checkpointCount + 1; ++i) {
        const bool expected = i != 0 && i != 3 && i < goalIndex;
        EXPECT_EQ(checkpointHasMarker(i, reached), expected) << "checkpoint " << i;
    }
    reached.fill(true);
    for (std::size_t i = 0; i < checkpointCount; ++i) EXPECT_FALSE(checkpointHasMarker(i, reached)) << i;
}

TEST(Markers, TurnAboutTheirCheckpointOneRadianPerSecond) {
    auto heading = [](float time) {
        const glm::vec4 x = markerModelMatrix(2, time) * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f);
        return std::atan2(-x.z, x.x);
    };
    EXPECT_NEAR(std::remainder(heading(0.5f) - heading(0.0f), 6.2831853f), 0.5f, 1e-4f);
    const glm::vec4 centre = markerModelMatrix(2, 0.7f) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_LT(glm::distance(glm::vec3(centre), checkpoints[2]), 1e-3f);
}

class Sparks : public testing::Test {
protected:
    static long active() {
        return std::count_if(particlePool.begin(), particlePool.end(), [](const Particle& p) { return p.active; });
    }
    FreshGame game;
};

TEST_F(Sparks, ABurstIntoAFullishPoolIsSmallerAndNeverReplacesLiveSparks) {
    spawnParticles(glm::vec3(0.0f), 900);
    spawnParticles(glm::vec3(5.0f), 200);
    EXPECT_EQ(active(), long(particlePoolSize));
    EXPECT_EQ(particlePool[10].position, glm::vec3(0.0f));
    EXPECT_EQ(particlePool[999].position, glm::vec3(5.0f));
    createParticlePool();
    spawnParticles(glm::vec3(std::nanf(""), 0.0f, 0.0f), 10);
    spawnParticles(glm::vec3(0.0f), 0);
    EXPECT_EQ(active(), 0) << "a broken ball position throws no sparks";
}

TEST_F(Sparks, RiseFallAndDieAfterOneSecondAndAreDrawnFarthestFirst) {
    spawnParticles(glm::vec3(0.0f), 50);
    const glm::vec3 eye(0.0f, 0.0f, 10.0f);
    float highest = 0.0f;
    for (int frame = 0; frame < 3; ++frame) updateParticles(0.25f, eye);
    for (const Particle& p : particlePool) highest = std::max(highest, p.position.y);
    EXPECT_GT(highest, 0.0f) << "thrown upwards";
    EXPECT_EQ(active(), 50);
    sortParticlesForDrawing();
    for (std::size_t i = 1; i < particlePool.size(); ++i)
        EXPECT_GE(particlePool[i - 1].cameraDistance, particlePool[i].cameraDistance);
    updateParticles(0.25f, eye);
    EXPECT_EQ(active(), 0);
}

} // namespace
