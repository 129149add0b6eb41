// The final composite: scene texture into the window with brightness and contrast, plus the two debugging views.
#include "gl/composite.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include "core/input.h"
#include "core/settings.h"
#include "app/window.h"
#include "gl/bloom.h"
#include "gl/unit_quad.h"
#include "gl/gl_util.h"
#include "gl/shader.h"
#include "gl/shadow_map.h"

namespace {

constexpr glm::vec3 depthPictureCentre{-0.5f, 0.5f, 0.0f};      // normalised device coordinates
constexpr float depthPictureScale = 0.5f;                       // of the unit quad: a quarter of each axis

} // namespace

glm::mat4 depthPictureModel() {
    return glm::translate(glm::mat4(1.0f), depthPictureCentre) *
           glm::scale(glm::mat4(1.0f), glm::vec3(depthPictureScale));
}

void renderComposite() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, window.framebufferWidth, window.framebufferHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ZERO);

    hudShader.use();
    const GLuint hudProgram = hudShader.programId;
    activeUniforms.model = glGetUniformLocation(hudProgram, "model");
    // The off-screen targets hold their bottom row first while the quad's v is 0 at its top edge.
    glUniform1i(glGetUniformLocation(hudProgram, "flip"), 1);
    // Start-up always makes the settings; the built-in values stand in for a pass run without them.
    const Settings& look = settings != nullptr ? *settings : Settings{};
    glUniform1f(glGetUniformLocation(hudProgram, "brightness"), look.brightness);
    glUniform1f(glGetUniformLocation(hudProgram, "contrast"), look.contrast);
    uploadMatrix(activeUniforms.model, fullViewportModel());

    // The bloom pass leaves unit 1 selected.
    bindTextureOnUnit(GL_TEXTURE_2D, renderFlags.showBrightPass ? sceneTarget.brightColour : finalSceneTexture(), 0);
    unitQuad.draw();

    if (renderFlags.showDepthMap) {
        depthDebugShader.use();
        activeUniforms.model = glGetUniformLocation(depthDebugShader.programId, "model");
        const glm::mat4 picture = depthPictureModel();
        uploadMatrix(activeUniforms.model, picture);
        bindTextureOnUnit(GL_TEXTURE_2D, shadowMapTexture, 0);
        unitQuad.draw();
    }

    // The next frame's scene pass redraws sceneColour; only a new bloom pass makes the combined image current.
    bloomAppliedThisFrame = false;
}
