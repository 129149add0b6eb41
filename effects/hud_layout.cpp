// HUD layout: where each sprite goes and how it fades, as plain values.
#include "effects/hud_layout.h"

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

glm::mat4 scaled(float s) {
    return glm::scale(glm::mat4(1.0f), glm::vec3(s));
}

} // namespace

HudLayout layoutHud(const RaceState& race, const FrameClock& clock) {
    HudLayout layout;
    auto add = [&layout](HudSprite sprite, const glm::mat4& model, float opacity) {
        layout.draws[layout.count++] = HudDraw{sprite, model, opacity};
    };
    const float e = clock.totalTime - race.raceStart;
    float opacity = 1.0f;

    if (race.phase == RacePhase::Lost) {
        add(HudSprite::LostBanner, glm::mat4(1.0f), opacity);
    }
    if (race.phase == RacePhase::Won) {
        add(HudSprite::WonBanner, glm::mat4(1.0f), opacity);
    }
    if (race.phase == RacePhase::GetReady) {
        const float s = static_cast<float>(e * getReadyGrowth + getReadyBase);
        opacity = static_cast<float>(getReadyFadeEnd - e);
        add(HudSprite::GetReady, scaled(s), opacity);
    }
    // The frame that ends the pause already shows the let's-roll message.
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
    const float barHeight = static_cast<float>(static_cast<double>(race.timer / raceSeconds) * 0.5);
    add(HudSprite::TimeBar,
        glm::translate(glm::mat4(1.0f), timeBarCentre) * glm::scale(glm::mat4(1.0f), glm::vec3(timeBarWidth, barHeight, 1.0f)),
        1.0f);
    return layout;
}
