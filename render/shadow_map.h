// The shadow map: a depth texture rendered from a light that follows the ball.
#pragma once

#include <cstdint>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

constexpr int shadowMapSize = 1024; // texels per side

extern uint32_t shadowFramebuffer;
extern uint32_t shadowMapTexture;
// Start-up gives them their first values; the shadow pass renews lightView, the scene pass lightSpaceMatrix.
extern glm::mat4 lightView, lightProjection, lightSpaceMatrix;

// Start-up step: throws std::runtime_error("framebuffer not ok") when the framebuffer is incomplete.
void createShadowMap();
void releaseShadowMap();
// The light matrices as start-up sets them.
void initialiseLightMatrices();
// The light's view for a ball at ball: from ball - direction towards the ball, y up.
glm::mat4 lightViewFollowing(const glm::vec3& ball, const glm::vec3& direction);
// Depth of the ball and the course furniture seen from the light; leaves the depth program in use, depth test and
// culling on, the default framebuffer bound and the viewport at the shadow map's size.
void renderShadowPass();
