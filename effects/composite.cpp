// The final composite: scene texture into the window with brightness and contrast, plus the two debugging views.
#include "effects/composite.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/input.h"
#include "app/settings.h"
#include "app/window.h"
#include "effects/bloom.h"
#include "effects/unit_quad.h"
#include "render/shader.h"
#include "render/shadow_map.h"

namespace {

constexpr glm::vec3 depthPictureCentre{-0.5f, 0.5f, 0.0f};      // normalised device coordinates
constexpr float depthPictureScale = 0.5f;                       // of the unit quad: a quarter of each axis
constexpr float defaultBrightness = 0.0f, defaultContrast = 1.0f; // used only if start-up made no settings

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
    glUniform1f(glGetUniformLocation(hudProgram, "brightness"),
                settings != nullptr ? settings->brightness : defaultBrightness);
    glUniform1f(glGetUniformLocation(hudProgram, "contrast"),
                settings != nullptr ? settings->contrast : defaultContrast);
    const glm::mat4 fullViewport = glm::scale(glm::mat4(1.0f), glm::vec3(fullViewportScale));
    glUniformMatrix4fv(activeUniforms.model, 1, GL_FALSE, glm::value_ptr(fullViewport));

    // The bloom pass leaves unit 1 selected.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, renderFlags.showBrightPass ? sceneTarget.brightColour : finalSceneTexture());
    unitQuad.draw();

    if (renderFlags.showDepthMap) {
        depthDebugShader.use();
        activeUniforms.model = glGetUniformLocation(depthDebugShader.programId, "model");
        const glm::mat4 picture = depthPictureModel();
        glUniformMatrix4fv(activeUniforms.model, 1, GL_FALSE, glm::value_ptr(picture));
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
        unitQuad.draw();
    }

    // The next frame's scene pass redraws sceneColour; only a new bloom pass makes the combined image current.
    bloomAppliedThisFrame = false;
}
