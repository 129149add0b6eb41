// The HUD pass: the frame's layout drawn as blended sprites with the HUD program; it also ends the get-ready pause.
#include "gl/hud.h"

#include <limits>

#include <GL/glew.h>

#include "core/records.h"
#include "app/window.h"
#include "core/hud_text.h"
#include "core/sound_events.h"
#include "gl/unit_quad.h"
#include "gl/gl_util.h"
#include "gl/shader.h"
#include "gl/texture.h"

namespace {

const Texture& textureOf(HudSprite sprite) {
    switch (sprite) {
    case HudSprite::LostBanner: return youLostTexture;
    case HudSprite::WonBanner: return youWonTexture;
    case HudSprite::GetReady: return getReadyTexture;
    case HudSprite::LetRoll: return letRollTexture;
    case HudSprite::Clock: return timeTexture;
    case HudSprite::GaugeDial: return boostGaugeTexture;
    case HudSprite::GaugePointer: return boostGaugePointerTexture;
    case HudSprite::Paused: return pausedTexture;
    case HudSprite::TimeBar: break;
    }
    return timePTexture;
}

constexpr float noRecord = std::numeric_limits<float>::infinity(); // shown as dashes

void drawSprite(const Texture& texture, const glm::mat4& model) {
    uploadMatrix(activeUniforms.model, model);
    bindTexture2D(texture);
    unitQuad.draw();
}

} // namespace

void renderHud() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    hudShader.use();
    activeUniforms.model = hudShader.modelLocation;
    const GLint opacityLocation = glGetUniformLocation(hudShader.programId, "opacity");
    const GLint flipLocation = glGetUniformLocation(hudShader.programId, "flip");
    glUniform1i(flipLocation, 0);

    // The frame loop draws nothing while the window has no height.
    const float aspect = static_cast<float>(window.framebufferWidth) / static_cast<float>(window.framebufferHeight);
    const HudLayout layout = layoutHud(raceState, frameClock, aspect);
    const ClockLayout clock = layoutClock(raceState.raceClock,
                                          personalRecords.best.has ? personalRecords.best.seconds : noRecord,
                                          raceState.newRecord && raceState.phase == RacePhase::Won, aspect);
    if (startRollingIfDue(raceState, frameClock)) {
        soundFrame.letsRoll = true;
    }
    const GLint rectLocation = glGetUniformLocation(hudShader.programId, "textureRect");
    glUniform4f(rectLocation, 0.0f, 0.0f, 0.0f, 0.0f);
    for (std::size_t i = 0; i < layout.count; ++i) {
        const HudDraw& d = layout.draws[i];
        glUniform1f(opacityLocation, d.opacity);
        uploadMatrix(activeUniforms.model, d.model);
        bindTexture2D(textureOf(d.sprite));
        unitQuad.draw();
    }

    // The race clock over the sprites, fully opaque.
    glUniform1f(opacityLocation, 1.0f);
    if (clock.newRecord) {
        drawSprite(newRecordTexture, clock.newRecordSprite);
    }
    drawSprite(bestTexture, clock.bestLabel);
    bindTexture2D(digitsTexture);
    for (const GlyphRun* run : {&clock.raceTime, &clock.bestTime}) {
        for (std::size_t i = 0; i < run->count; ++i) {
            glUniform4fv(rectLocation, 1, glm::value_ptr(glyphTextureRect(run->glyphs[i].glyph)));
            uploadMatrix(activeUniforms.model, glyphModel(run->glyphs[i]));
            unitQuad.draw();
        }
    }
    glUniform4f(rectLocation, 0.0f, 0.0f, 0.0f, 0.0f);

    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glUseProgram(0);
}
