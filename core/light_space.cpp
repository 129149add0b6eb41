// The shadow map's light: a box that follows the ball, looking along the sun's direction.
#include "core/light_space.h"

#include <glm/gtc/matrix_transform.hpp>

glm::mat4 lightView{1.0f}, lightProjection{1.0f}, lightSpaceMatrix{1.0f};

namespace {

constexpr float lightBoxHalfSize = 50.0f; // world units around the light's eye, on every axis
const glm::vec3 lightUp(0.0f, 1.0f, 0.0f);

} // namespace

void initialiseLightMatrices() {
    lightView = glm::lookAt(glm::vec3(0.0f, 1.0f, 1.0f), glm::vec3(0.0f), lightUp);
    lightProjection = glm::ortho(-lightBoxHalfSize, lightBoxHalfSize, -lightBoxHalfSize, lightBoxHalfSize,
                                 -lightBoxHalfSize, lightBoxHalfSize);
    lightSpaceMatrix = lightProjection * lightView;
}

glm::mat4 lightViewFollowing(const glm::vec3& ball, const glm::vec3& direction) {
    return glm::lookAt(ball - direction, ball, lightUp);
}
