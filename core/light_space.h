// The light's view and projection that place the shadow map: plain matrices, no GL.
#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

// The shadow map's projection: an orthographic box of 100 units on every axis around the light's eye.
glm::mat4 lightProjectionBox();
// The light's view for a ball at ball: from ball - direction towards the ball, y up.
glm::mat4 lightViewFollowing(const glm::vec3& ball, const glm::vec3& direction);
