// The shadow map's light: a box that follows the ball, looking along the sun's direction.
#include "core/light_space.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float lightBoxHalfSize = 50.0f; // world units around the light's eye, on every axis
const glm::vec3 lightUp(0.0f, 1.0f, 0.0f);

} // namespace

glm::mat4 lightProjectionBox() {
    return glm::ortho(-lightBoxHalfSize, lightBoxHalfSize, -lightBoxHalfSize, lightBoxHalfSize, -lightBoxHalfSize,
                      lightBoxHalfSize);
}

glm::mat4 lightViewFollowing(const glm::vec3& ball, const glm::vec3& direction) {
    return glm::lookAt(ball - direction, ball, lightUp);
}
