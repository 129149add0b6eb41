// The HUD as plain values: which sprites a frame shows, where, and how opaque. No GL.
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

// The draws of one frame, in order. In the frame that ends the get-ready pause it shows both start messages.
HudLayout layoutHud(const RaceState& race, const FrameClock& clock);
