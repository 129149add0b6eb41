// The light's view and projection that place the shadow map: plain matrices, no GL.
#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

// Start-up gives them their first values; the shadow pass renews lightView, the scene pass lightSpaceMatrix.
extern glm::mat4 lightView, lightProjection, lightSpaceMatrix;

// The light matrices as start-up sets them: an orthographic box of 100 units on every axis.
void initialiseLightMatrices();
// The light's view for a ball at ball: from ball - direction towards the ball, y up.
glm::mat4 lightViewFollowing(const glm::vec3& ball, const glm::vec3& direction);
