// The HUD pass: the frame's layout drawn as blended sprites with the HUD program.
#include "gl/hud.h"

#include <limits>

#include <GL/glew.h>

#include "core/hud_layout.h"
#include "core/hud_text.h"
#include "core/medals.h"
#include "core/race.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"

namespace {

const Texture& textureOf(const StartupTextures& t, HudSprite sprite) {
    switch (sprite) {
    case HudSprite::LostBanner: return t.youLost;
    case HudSprite::WonBanner: return t.youWon;
    case HudSprite::GetReady: return t.getReady;
    case HudSprite::LetRoll: return t.letRoll;
    case HudSprite::Clock: return t.time;
    case HudSprite::GaugeDial: return t.boostGauge;
    case HudSprite::GaugePointer: return t.boostGaugePointer;
    case HudSprite::Paused: return t.paused;
    case HudSprite::TimeBar: break;
    }
    return t.timeP;
}

constexpr float noRecord = std::numeric_limits<float>::infinity(); // shown as dashes

void drawSprite(const Renderer& renderer, const Texture& texture, const glm::mat4& model) {
    uploadMatrix(renderer.uniforms.model, model);
    bindTexture2D(texture);
    renderer.quad.draw();
}

} // namespace

void renderHud(Renderer& renderer, const Race& race, int framebufferWidth, int framebufferHeight) {
    const Shader& hudShader = renderer.programs.hud;
    const StartupTextures& textures = renderer.textures;
    const RaceState& state = race.state;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    hudShader.use();
    renderer.uniforms.model = hudShader.modelLocation;
    const GLint opacityLocation = glGetUniformLocation(hudShader.programId, "opacity");
    const GLint flipLocation = glGetUniformLocation(hudShader.programId, "flip");
    glUniform1i(flipLocation, 0);

    // The frame loop draws nothing while the window has no height.
    const float aspect = static_cast<float>(framebufferWidth) / static_cast<float>(framebufferHeight);
    const HudLayout layout = layoutHud(state, race.clock, race.course.countdown, aspect);
    const PersonalRecords& records = race.records;
    const ClockLayout clock = layoutClock(state.raceClock, records.best.has ? records.best.seconds : noRecord,
                                          state.newRecord && state.phase == RacePhase::Won, aspect);
    const GLint rectLocation = glGetUniformLocation(hudShader.programId, "textureRect");
    glUniform4f(rectLocation, 0.0f, 0.0f, 0.0f, 0.0f);
    for (std::size_t i = 0; i < layout.count; ++i) {
        const HudDraw& d = layout.draws[i];
        glUniform1f(opacityLocation, d.opacity);
        uploadMatrix(renderer.uniforms.model, d.model);
        bindTexture2D(textureOf(textures, d.sprite));
        renderer.quad.draw();
    }

    // The race clock over the sprites, fully opaque.
    glUniform1f(opacityLocation, 1.0f);
    if (clock.newRecord) {
        drawSprite(renderer, textures.newRecord, clock.newRecordSprite);
    }
    // The medal the win earned, below the won banner's lettering: its row of the medal atlas.
    const MedalLayout medal = layoutMedal(
        state.phase == RacePhase::Won ? int(medalFor(state.raceClock, race.course)) : 0, aspect);
    if (medal.shown) {
        glUniform4fv(rectLocation, 1, glm::value_ptr(medal.textureRect));
        drawSprite(renderer, textures.medals, medal.sprite);
        glUniform4f(rectLocation, 0.0f, 0.0f, 0.0f, 0.0f);
    }
    drawSprite(renderer, textures.best, clock.bestLabel);
    bindTexture2D(textures.digits);
    for (const GlyphRun* run : {&clock.raceTime, &clock.bestTime}) {
        for (std::size_t i = 0; i < run->count; ++i) {
            glUniform4fv(rectLocation, 1, glm::value_ptr(glyphTextureRect(run->glyphs[i].glyph)));
            uploadMatrix(renderer.uniforms.model, glyphModel(run->glyphs[i]));
            renderer.quad.draw();
        }
    }
    // The last split, for its two seconds, in green or red beside the running time.
    if (splitShown(state, race.clock)) {
        const SplitLayout split = layoutSplit(state.splitHundredths, aspect);
        const GLint tintedLocation = glGetUniformLocation(hudShader.programId, "tinted");
        glUniform1i(tintedLocation, 1);
        glUniform3fv(glGetUniformLocation(hudShader.programId, "tint"), 1, glm::value_ptr(splitTint(split.sign)));
        for (std::size_t i = 0; i < split.count; ++i) {
            glUniform4fv(rectLocation, 1, glm::value_ptr(glyphTextureRect(split.glyphs[i].glyph)));
            uploadMatrix(renderer.uniforms.model, glyphModel(split.glyphs[i]));
            renderer.quad.draw();
        }
        glUniform1i(tintedLocation, 0);
    }
    glUniform4f(rectLocation, 0.0f, 0.0f, 0.0f, 0.0f);

    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glUseProgram(0);
}
