// The HUD pass: the frame's layout drawn as blended sprites with the HUD program; it also ends the get-ready pause.
#include "effects/hud.h"

#include <GL/glew.h>

#include "app/window.h"
#include "effects/unit_quad.h"
#include "render/gl_util.h"
#include "render/shader.h"
#include "render/texture.h"

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
    startRollingIfDue(raceState, frameClock);
    for (std::size_t i = 0; i < layout.count; ++i) {
        const HudDraw& d = layout.draws[i];
        glUniform1f(opacityLocation, d.opacity);
        uploadMatrix(activeUniforms.model, d.model);
        bindTexture2D(textureOf(d.sprite));
        unitQuad.draw();
    }

    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glUseProgram(0);
}
