// The light's matrices without a window: the box that follows the ball and where the ball lands in the shadow map.
#include <gtest/gtest.h>

#include <cmath>

#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

#include "render/light_space.h"

namespace {

const glm::vec3 sunDirection(0.0f, -1.0f, -1.0f);

glm::vec3 place(const glm::mat4& m, const glm::vec3& p) { return glm::vec3(m * glm::vec4(p, 1.0f)); }

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float within = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, within);
    EXPECT_NEAR(actual.y, expected.y, within);
    EXPECT_NEAR(actual.z, expected.z, within);
}

// Shadow-map coordinates (0..1 on all three axes) of a world point.
glm::vec3 mapCoordinates(const glm::mat4& view, const glm::vec3& p) {
    const glm::vec4 clip = lightProjection * view * glm::vec4(p, 1.0f);
    return glm::vec3(clip) / clip.w * 0.5f + 0.5f;
}

class LightMatrices : public ::testing::Test {
protected:
    void SetUp() override { initialiseLightMatrices(); }
};

TEST_F(LightMatrices, TheLightEyeSitsOneUpAndOneBehindTheBall) {
    const glm::vec3 balls[] = {{0.0f, 0.0f, 0.0f}, {146.5f, 53.2f, -170.7f}, {-133.0f, -74.5f, 177.0f}};
    for (const glm::vec3& ball : balls) {
        const glm::mat4 view = lightViewFollowing(ball, sunDirection);
        expectNear(place(view, ball + glm::vec3(0.0f, 1.0f, 1.0f)), glm::vec3(0.0f), 2e-4f);
        // The ball lies straight ahead of the light, the length of the direction away.
        expectNear(place(view, ball), glm::vec3(0.0f, 0.0f, -std::sqrt(2.0f)), 2e-4f);
    }
}

TEST_F(LightMatrices, TheBallAlwaysLandsInTheMiddleOfTheShadowMap) {
    for (const glm::vec3& ball : {glm::vec3(40.0f, -20.0f, 90.0f), glm::vec3(-178.2f, -40.6f, 17.3f)}) {
        const glm::vec3 at = mapCoordinates(lightViewFollowing(ball, sunDirection), ball);
        EXPECT_NEAR(at.x, 0.5f, 1e-5f);
        EXPECT_NEAR(at.y, 0.5f, 1e-5f);
        EXPECT_GT(at.z, 0.0f);
        EXPECT_LT(at.z, 1.0f);
    }
}

TEST_F(LightMatrices, TheBoxReachesFiftyUnitsSidewaysFromTheBall) {
    const glm::vec3 ball(10.0f, 0.0f, 10.0f);
    const glm::mat4 view = lightViewFollowing(ball, sunDirection);
    EXPECT_LT(mapCoordinates(view, ball + glm::vec3(49.0f, 0.0f, 0.0f)).x, 1.0f);
    EXPECT_GT(mapCoordinates(view, ball + glm::vec3(51.0f, 0.0f, 0.0f)).x, 1.0f);
    EXPECT_GT(mapCoordinates(view, ball - glm::vec3(49.0f, 0.0f, 0.0f)).x, 0.0f);
    EXPECT_LT(mapCoordinates(view, ball - glm::vec3(51.0f, 0.0f, 0.0f)).x, 0.0f);
}

} // namespace
