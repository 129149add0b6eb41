// The final composite: scene texture into the window with brightness and contrast, plus the two debugging views.
#include "gl/composite.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include "gl/bloom.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"

namespace {

constexpr glm::vec3 depthPictureCentre{-0.5f, 0.5f, 0.0f};      // normalised device coordinates
constexpr float depthPictureScale = 0.5f;                       // of the unit quad: a quarter of each axis

} // namespace

glm::mat4 depthPictureModel() {
    return glm::translate(glm::mat4(1.0f), depthPictureCentre) *
           glm::scale(glm::mat4(1.0f), glm::vec3(depthPictureScale));
}

void renderComposite(Renderer& renderer, const RenderFlags& flags, int framebufferWidth, int framebufferHeight,
                     bool bloomApplied) {
    ActiveUniforms& uniforms = renderer.uniforms;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ZERO);

    const Shader& hudShader = renderer.programs.hud;
    hudShader.use();
    const GLuint hudProgram = hudShader.programId;
    uniforms.model = glGetUniformLocation(hudProgram, "model");
    // The off-screen targets hold their bottom row first while the quad's v is 0 at its top edge.
    glUniform1i(glGetUniformLocation(hudProgram, "flip"), 1);
    glUniform1f(glGetUniformLocation(hudProgram, "brightness"), renderer.brightness);
    glUniform1f(glGetUniformLocation(hudProgram, "contrast"), renderer.contrast);
    uploadMatrix(uniforms.model, fullViewportModel());

    // The bloom pass leaves unit 1 selected.
    const BloomTargets& targets = renderer.targets;
    bindTextureOnUnit(GL_TEXTURE_2D,
                      flags.showBrightPass ? targets.scene.brightColour : finalSceneTexture(targets, bloomApplied), 0);
    renderer.quad.draw();

    if (flags.showDepthMap) {
        renderer.programs.depthDebug.use();
        uniforms.model = glGetUniformLocation(renderer.programs.depthDebug.programId, "model");
        const glm::mat4 picture = depthPictureModel();
        uploadMatrix(uniforms.model, picture);
        bindTextureOnUnit(GL_TEXTURE_2D, renderer.shadow.texture, 0);
        renderer.quad.draw();
    }
}
