// The HUD as plain values: which sprites a frame shows, where, and how opaque. No GL.
#pragma once

#include <array>
#include <cstddef>

#include <glm/mat4x4.hpp>

#include "core/race_state.h"

enum class HudSprite { LostBanner, WonBanner, GetReady, LetRoll, Clock, GaugeDial, GaugePointer, TimeBar, Paused };

struct HudDraw {
    HudSprite sprite;
    glm::mat4 model;  // placed straight in normalised device coordinates
    float opacity;    // scales the sprite's alpha; passed unclamped
};

struct HudLayout {
    std::array<HudDraw, 8> draws;
    std::size_t count = 0;
};

// The draws of one frame, in order, for a window of the given aspect (width / height). In the frame that ends
// the get-ready pause it shows both start messages; while paused the paused banner comes last and takes the
// place of every other message and banner.
// The sprites are laid out for a square window; at any other aspect each keeps its shape and its size relative to
// the window's shorter side (the height of every landscape window) and stays at its distance from the edges it
// is anchored to: the gauge bottom left, clock and time bar bottom right, messages and banners in the middle.
// countdown is the course's: the time bar is full at it.
HudLayout layoutHud(const RaceState& race, const FrameClock& clock, float countdown, float aspect = 1.0f);
