// The shadow map: a depth texture rendered from a light that follows the ball.
#pragma once

#include <cstdint>

#include "core/light_space.h"

constexpr int shadowMapSize = 1024; // texels per side

extern uint32_t shadowFramebuffer;
extern uint32_t shadowMapTexture;

// Start-up step: throws std::runtime_error("framebuffer not ok") when the framebuffer is incomplete.
void createShadowMap();
void releaseShadowMap();
// Depth of the ball and the course furniture seen from the light; leaves the depth program in use, depth test and
// culling on, the default framebuffer bound and the viewport at the shadow map's size.
void renderShadowPass();
