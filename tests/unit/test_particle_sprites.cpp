// How a spark is placed for drawing: its size, its turn order and its random angles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <glm/geometric.hpp>
#include <glm/vec4.hpp>

#include "effects/particles.h"

namespace {

constexpr float pi = 3.1415927f;

glm::vec3 turn(const glm::mat4& m, const glm::vec3& v) { return glm::vec3(m * glm::vec4(v, 0.0f)); }

void expectNear(const glm::vec3& actual, const glm::vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(ParticleSprite, IsAOneAndAHalfUnitSquareCentredOnTheParticle) {
    const glm::vec3 position(3.0f, -4.0f, 12.5f);
    const glm::mat4 m = particleModelMatrix(position, 0.4f, 1.9f, 5.1f);
    expectNear(glm::vec3(m * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)), position);
    EXPECT_NEAR(glm::length(turn(m, glm::vec3(1.0f, 0.0f, 0.0f))), 1.5f, 1e-5f);
    EXPECT_NEAR(glm::length(turn(m, glm::vec3(0.0f, 1.0f, 0.0f))), 1.5f, 1e-5f);
    // The two edges stay square: a turned square, not a sheared one.
    EXPECT_NEAR(glm::dot(turn(m, glm::vec3(1.0f, 0.0f, 0.0f)), turn(m, glm::vec3(0.0f, 1.0f, 0.0f))), 0.0f, 1e-5f);
}

TEST(ParticleSprite, TurnsAboutZFirstThenYThenX) {
    // Turning x a quarter about y gives -z, which a quarter about x turns into +y. In the other order x would stay
    // put under the first turn and end at -z.
    const glm::mat4 m = particleModelMatrix(glm::vec3(0.0f), pi / 2.0f, pi / 2.0f, 0.0f);
    expectNear(turn(m, glm::vec3(1.0f, 0.0f, 0.0f)), glm::vec3(0.0f, 1.5f, 0.0f));
    const glm::mat4 zOnly = particleModelMatrix(glm::vec3(0.0f), 0.0f, 0.0f, pi / 2.0f);
    expectNear(turn(zOnly, glm::vec3(1.0f, 0.0f, 0.0f)), glm::vec3(0.0f, 1.5f, 0.0f));
}

TEST(ParticleSprite, RandomAnglesStayWithinOneTurnAndSpreadOverIt) {
    std::srand(12345);
    float smallest = 10.0f, largest = -1.0f;
    for (int i = 0; i < 5000; ++i) {
        const float a = randomParticleAngle();
        ASSERT_GE(a, 0.0f);
        ASSERT_LE(a, 6.2831855f);
        smallest = std::min(smallest, a);
        largest = std::max(largest, a);
    }
    EXPECT_LT(smallest, 0.1f);
    EXPECT_GT(largest, 6.1f);
}

TEST(ParticleSprite, EachAngleTakesOneNumberFromTheSharedSequence) {
    std::srand(99);
    std::rand();
    std::rand();
    const int third = std::rand();
    std::srand(99);
    randomParticleAngle();
    randomParticleAngle();
    EXPECT_EQ(std::rand(), third);
}

} // namespace
