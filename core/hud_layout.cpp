// HUD layout: where each sprite goes at any window shape and how it fades, as plain values.
#include "core/hud_layout.h"

#include <cmath>

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr double getReadyGrowth = 0.2, getReadyBase = 0.5;  // scale per second, scale at the reset
constexpr double getReadyFadeEnd = 2.0;                     // seconds after the reset
constexpr double letRollGrowth = 0.4, letRollFadeEnd = 3.0;
constexpr float clockScale = 0.18f;
constexpr glm::vec3 clockCentre(0.85f, -0.5f, 0.0f);
constexpr glm::vec3 dialCentre(-0.7f, -0.7f, 0.0f);
constexpr float dialScale = 0.5f;
constexpr glm::vec3 pointerPivot(-0.7f, -0.78f, 0.0f);
constexpr glm::vec3 pointerSize(0.25f, 0.07f, 1.0f);
constexpr float pointerOffset = -0.35f;       // quad units: the pivot lies beyond the needle's end
constexpr float pointerZeroAngle = -0.25132743f; // radians at boost 0; half a turn per unit of boost
constexpr glm::vec3 timeBarCentre(0.7f, -0.5f, 0.0f);
constexpr float timeBarWidth = 0.1f;
constexpr float pausedScale = 0.8f;

// The window edges a sprite keeps its distance to: -1 left or bottom, 1 right or top, 0 centred.
struct Anchor {
    float x, y;
};
constexpr Anchor centred{0.0f, 0.0f}, bottomLeft{-1.0f, -1.0f}, bottomRight{1.0f, -1.0f};

Anchor anchorOf(HudSprite sprite) {
    switch (sprite) {
    case HudSprite::GaugeDial: case HudSprite::GaugePointer: return bottomLeft;
    case HudSprite::Clock: case HudSprite::TimeBar: return bottomRight;
    default: return centred;
    }
}

glm::mat4 scaled(float s) {
    return glm::scale(glm::mat4(1.0f), glm::vec3(s));
}

// Squeezes a square-window placement along the longer axis towards its anchor: x' = x k + a (1 - k). At a square
// window k is 1 and every element keeps its exact value.
glm::mat4 fitToWindow(glm::mat4 model, Anchor anchor, float aspect) {
    const float kx = aspect > 1.0f ? 1.0f / aspect : 1.0f;
    const float ky = aspect < 1.0f ? aspect : 1.0f;
    for (int c = 0; c < 4; ++c) {
        model[c][0] = model[c][0] * kx + anchor.x * (1.0f - kx) * model[c][3];
        model[c][1] = model[c][1] * ky + anchor.y * (1.0f - ky) * model[c][3];
    }
    return model;
}

} // namespace

HudLayout layoutHud(const RaceState& race, const FrameClock& clock, float countdown, float aspect) {
    // A window with no size (or a broken value) gets the square layout rather than a division by nothing.
    if (!(aspect > 0.0f) || !std::isfinite(aspect)) {
        aspect = 1.0f;
    }
    HudLayout layout;
    auto add = [&layout, &clock, aspect](HudSprite sprite, const glm::mat4& model, float opacity) {
        const Anchor anchor = anchorOf(sprite);
        // While paused the paused banner alone holds the middle.
        if (clock.paused && anchor.x == centred.x && anchor.y == centred.y && sprite != HudSprite::Paused) {
            return;
        }
        layout.draws[layout.count++] = HudDraw{sprite, fitToWindow(model, anchor, aspect), opacity};
    };
    const float e = clock.totalTime - race.raceStart;
    float opacity = 1.0f;

    if (race.phase == RacePhase::Lost) {
        add(HudSprite::LostBanner, glm::mat4(1.0f), opacity);
    }
    if (race.phase == RacePhase::Won) {
        add(HudSprite::WonBanner, glm::mat4(1.0f), opacity);
    }
    if (race.phase == RacePhase::GetReady || race.letsRollThisFrame) {
        const float s = static_cast<float>(e * getReadyGrowth + getReadyBase);
        opacity = static_cast<float>(getReadyFadeEnd - e);
        add(HudSprite::GetReady, scaled(s), opacity);
    }
    // The frame that ends the pause shows both messages.
    const bool rolling = race.phase == RacePhase::Rolling || rollingIsDue(race, clock);
    if (rolling && static_cast<double>(race.raceStart) + letRollFadeEnd > static_cast<double>(clock.totalTime)) {
        const float s = static_cast<float>(e * letRollGrowth);
        opacity = static_cast<float>(letRollFadeEnd - e);
        add(HudSprite::LetRoll, scaled(s), opacity);
    }
    // Not reset first: while a start message fades, the clock fades with it.
    add(HudSprite::Clock, glm::translate(glm::mat4(1.0f), clockCentre) * scaled(clockScale), opacity);

    add(HudSprite::GaugeDial, glm::translate(glm::mat4(1.0f), dialCentre) * scaled(dialScale), 1.0f);
    const float theta = pointerZeroAngle - glm::pi<float>() * race.boost;
    const glm::mat4 pointer = glm::translate(glm::mat4(1.0f), pointerPivot) *
                              glm::rotate(glm::mat4(1.0f), theta, glm::vec3(0.0f, 0.0f, 1.0f)) *
                              glm::scale(glm::mat4(1.0f), pointerSize) *
                              glm::translate(glm::mat4(1.0f), glm::vec3(pointerOffset, 0.0f, 0.0f));
    add(HudSprite::GaugePointer, pointer, 1.0f);
    // A negative countdown turns the bar back-facing, and culling hides it.
    const float barHeight = static_cast<float>(static_cast<double>(race.timer / countdown) * 0.5);
    add(HudSprite::TimeBar,
        glm::translate(glm::mat4(1.0f), timeBarCentre) * glm::scale(glm::mat4(1.0f), glm::vec3(timeBarWidth, barHeight, 1.0f)),
        1.0f);
    if (clock.paused) {
        add(HudSprite::Paused, scaled(pausedScale), 1.0f);
    }
    return layout;
}
