// The shadow map: a depth texture rendered from a light that follows the ball.
#pragma once

#include <cstdint>
#include <utility>

#include "core/light_space.h"

struct Race;
struct Renderer;

constexpr int shadowMapSize = 1024; // texels per side

// Owns its framebuffer and depth texture (moved, never copied); released by releaseShadowMap.
struct ShadowMap {
    uint32_t framebuffer = 0;
    uint32_t texture = 0;

    ShadowMap() = default;
    ShadowMap(const ShadowMap&) = delete;
    ShadowMap& operator=(const ShadowMap&) = delete;
    ShadowMap(ShadowMap&& other) noexcept
        : framebuffer(std::exchange(other.framebuffer, 0)), texture(std::exchange(other.texture, 0)) {}
    ShadowMap& operator=(ShadowMap&& other) noexcept {
        std::swap(framebuffer, other.framebuffer);
        std::swap(texture, other.texture);
        return *this;
    }
};

// Throws std::runtime_error("framebuffer not ok") when the framebuffer is incomplete.
void createShadowMap(ShadowMap& shadow);
void releaseShadowMap(ShadowMap& shadow);
// The light's view for this frame of race: it follows the ball, so the shadowed area always surrounds it.
glm::mat4 frameLightView(const Race& race);
// Depth of the ball and the course furniture seen from the light; leaves the depth program in use, depth test and
// culling on, the default framebuffer bound and the viewport at the shadow map's size.
void renderShadowPass(Renderer& renderer, const Race& race);
