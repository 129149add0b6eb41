// The HUD drawn over every frame: start messages, result banners, clock, time bar and boost gauge.
#pragma once

#include <array>
#include <cstddef>

#include <glm/mat4x4.hpp>

#include "app/race_state.h"

enum class HudSprite { LostBanner, WonBanner, GetReady, LetRoll, Clock, GaugeDial, GaugePointer, TimeBar };

struct HudDraw {
    HudSprite sprite;
    glm::mat4 model;  // placed straight in normalised device coordinates
    float opacity;    // scales the sprite's alpha; passed unclamped
};

struct HudLayout {
    std::array<HudDraw, 8> draws;
    std::size_t count = 0;
};

// The draws of one frame, in order. Also ends the get-ready pause when it is due, so the let's-roll
// message shows in the same frame.
HudLayout layoutHud(RaceState& race, const FrameClock& clock);

// Draws the layout over the window; needs the context.
void renderHud();
