// What the scene shows besides the course: the markers still to collect and how they turn, and the spark bursts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <glm/geometric.hpp>

#include "core/particles.h"
#include "core/scene_layout.h"

namespace {

TEST(Markers, StandOnTheCheckpointsBetweenStartAndGoalUntilCollected) {
    for (const std::size_t count : {2u, 5u, 10u}) { // however long the course
        std::vector<bool> reached(count, false);
        if (count > 3) reached[3] = true;
        for (std::size_t i = 0; i < count + 1; ++i) {
            const bool expected = i != 0 && i != 3 && i < count - 1;
            EXPECT_EQ(checkpointHasMarker(i, reached), expected) << count << " checkpoints, checkpoint " << i;
        }
        reached.assign(count, true);
        for (std::size_t i = 0; i < count; ++i) EXPECT_FALSE(checkpointHasMarker(i, reached)) << i;
    }
}

TEST(Markers, TurnAboutTheirCheckpointOneRadianPerSecond) {
    const glm::vec3 checkpoint(45.8f, -22.4f, 80.9f);
    auto heading = [&](float time) {
        const glm::vec4 x = markerModelMatrix(checkpoint, 2, time) * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f);
        return std::atan2(-x.z, x.x);
    };
    EXPECT_NEAR(std::remainder(heading(0.5f) - heading(0.0f), 6.2831853f), 0.5f, 1e-4f);
    const glm::vec4 centre = markerModelMatrix(checkpoint, 2, 0.7f) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_LT(glm::distance(glm::vec3(centre), checkpoint), 1e-3f);
}

long active(const ParticlePool& pool) {
    return std::count_if(pool.slots.begin(), pool.slots.end(), [](const Particle& p) { return p.active; });
}

TEST(Sparks, ABurstIntoAFullishPoolIsSmallerAndNeverReplacesLiveSparks) {
    ParticlePool pool;
    spawnParticles(pool, glm::vec3(0.0f), 900);
    spawnParticles(pool, glm::vec3(5.0f), 200);
    EXPECT_EQ(active(pool), long(particlePoolSize));
    EXPECT_EQ(pool.slots[10].position, glm::vec3(0.0f));
    EXPECT_EQ(pool.slots[999].position, glm::vec3(5.0f));
    ParticlePool empty;
    spawnParticles(empty, glm::vec3(std::nanf(""), 0.0f, 0.0f), 10);
    spawnParticles(empty, glm::vec3(0.0f), 0);
    EXPECT_EQ(active(empty), 0) << "a broken ball position throws no sparks";
}

TEST(Sparks, RiseFallAndDieAfterOneSecondAndAreDrawnFarthestFirst) {
    ParticlePool pool;
    spawnParticles(pool, glm::vec3(0.0f), 50);
    const glm::vec3 eye(0.0f, 0.0f, 10.0f);
    float highest = 0.0f;
    for (int frame = 0; frame < 3; ++frame) updateParticles(pool, 0.25f, eye);
    for (const Particle& p : pool.slots) highest = std::max(highest, p.position.y);
    EXPECT_GT(highest, 0.0f) << "thrown upwards";
    EXPECT_EQ(active(pool), 50);
    std::vector<uint32_t> order;
    particleDrawOrder(pool, order);
    ASSERT_EQ(order.size(), 50u) << "every live spark, once";
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_TRUE(pool.slots[order[i]].active);
        if (i > 0) {
            EXPECT_GE(glm::distance(pool.slots[order[i - 1]].position, eye),
                      glm::distance(pool.slots[order[i]].position, eye));
        }
    }
    updateParticles(pool, 0.25f, eye);
    EXPECT_EQ(active(pool), 0);
    particleDrawOrder(pool, order);
    EXPECT_TRUE(order.empty());
}

} // namespace
