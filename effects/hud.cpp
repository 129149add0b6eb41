// HUD: where each sprite goes and how it fades, then the blended draws with the HUD program.
#include "effects/hud.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/race.h"
#include "effects/unit_quad.h"
#include "render/shader.h"
#include "render/texture.h"

namespace {

constexpr float pi = 3.1415927f;
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
constexpr float timeBarWidth = 0.1f, fullTime = 20.0f;

glm::mat4 scaled(float s) {
    return glm::scale(glm::mat4(1.0f), glm::vec3(s));
}

const Texture& textureOf(HudSprite sprite) {
    switch (sprite) {
    case HudSprite::LostBanner: return youLostTexture;
    case HudSprite::WonBanner: return youWonTexture;
    case HudSprite::GetReady: return getReadyTexture;
    case HudSprite::LetRoll: return letRollTexture;
    case HudSprite::Clock: return timeTexture;
    case HudSprite::GaugeDial: return boostGaugeTexture;
    case HudSprite::GaugePointer: return boostGaugePointerTexture;
    case HudSprite::TimeBar: break;
    }
    return timePTexture;
}

} // namespace

HudLayout layoutHud(RaceState& race, const FrameClock& clock) {
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
        startRollingIfDue(race, clock);
    }
    if (race.phase == RacePhase::Rolling &&
        static_cast<double>(race.raceStart) + letRollFadeEnd > static_cast<double>(clock.totalTime)) {
        const float s = static_cast<float>(e * letRollGrowth);
        opacity = static_cast<float>(letRollFadeEnd - e);
        add(HudSprite::LetRoll, scaled(s), opacity);
    }
    // Not reset first: while a start message fades, the clock fades with it.
    add(HudSprite::Clock, glm::translate(glm::mat4(1.0f), clockCentre) * scaled(clockScale), opacity);

    add(HudSprite::GaugeDial, glm::translate(glm::mat4(1.0f), dialCentre) * scaled(dialScale), 1.0f);
    const float theta = pointerZeroAngle - pi * race.boost;
    const glm::mat4 pointer = glm::translate(glm::mat4(1.0f), pointerPivot) *
                              glm::rotate(glm::mat4(1.0f), theta, glm::vec3(0.0f, 0.0f, 1.0f)) *
                              glm::scale(glm::mat4(1.0f), pointerSize) *
                              glm::translate(glm::mat4(1.0f), glm::vec3(pointerOffset, 0.0f, 0.0f));
    add(HudSprite::GaugePointer, pointer, 1.0f);
    // A negative countdown turns the bar back-facing, and culling hides it.
    const float barHeight = static_cast<float>(static_cast<double>(race.timer / fullTime) * 0.5);
    add(HudSprite::TimeBar,
        glm::translate(glm::mat4(1.0f), timeBarCentre) * glm::scale(glm::mat4(1.0f), glm::vec3(timeBarWidth, barHeight, 1.0f)),
        1.0f);
    return layout;
}

void renderHud() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    hudShader.use();
    activeUniforms.model = hudShader.modelLocation;
    const GLint opacityLocation = glGetUniformLocation(hudShader.programId, "opacity");
    const GLint flipLocation = glGetUniformLocation(hudShader.programId, "flip");
    glUniform1i(flipLocation, 0);

    const HudLayout layout = layoutHud(raceState, frameClock);
    for (std::size_t i = 0; i < layout.count; ++i) {
        const HudDraw& d = layout.draws[i];
        glUniform1f(opacityLocation, d.opacity);
        glUniformMatrix4fv(activeUniforms.model, 1, GL_FALSE, glm::value_ptr(d.model));
        const Texture& t = textureOf(d.sprite);
        glActiveTexture(GL_TEXTURE0 + t.unit);
        glBindTexture(GL_TEXTURE_2D, t.textureId);
        glActiveTexture(GL_TEXTURE0);
        unitQuad.draw();
    }

    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glUseProgram(0);
}
