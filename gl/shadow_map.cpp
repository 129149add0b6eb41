// Shadow map: created once at start-up, redrawn each frame from a light placed above and behind the ball.
#include "gl/shadow_map.h"

#include <stdexcept>

#include <GL/glew.h>

#include "core/physics.h"
#include "core/race.h"
#include "core/scene_layout.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"

void createShadowMap(ShadowMap& shadow) {
    glGenFramebuffers(1, &shadow.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadow.framebuffer);

    glGenTextures(1, &shadow.texture);
    glBindTexture(GL_TEXTURE_2D, shadow.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, shadowMapSize, shadowMapSize, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    // Lookups outside the map read the far plane: unshadowed.
    const float border[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);

    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadow.texture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);

    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        throw std::runtime_error("framebuffer not ok");
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void releaseShadowMap(ShadowMap& shadow) {
    glDeleteTextures(1, &shadow.texture);
    glDeleteFramebuffers(1, &shadow.framebuffer);
    shadow.texture = 0;
    shadow.framebuffer = 0;
}

glm::mat4 frameLightView(const Race& race) {
    return lightViewFollowing(ballPosition(race), sceneLight().direction);
}

void renderShadowPass(Renderer& renderer, const Race& race) {
    ActiveUniforms& uniforms = renderer.uniforms;
    const StartupModels& models = renderer.models;
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.shadow.framebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    renderer.programs.depth.use();
    activateBasicUniforms(uniforms, renderer.programs.depth);

    uploadMatrix(uniforms.projection, lightProjectionBox());
    uploadMatrix(uniforms.view, frameLightView(race));

    // The terrain only receives shadows and the particles cast none.
    const glm::vec3& goal = race.course.goal();
    uploadMatrix(uniforms.model, bodyModelMatrix(race.ball));
    models.ball.draw();
    uploadMatrix(uniforms.model, smallFlagShadowMatrix(goal));
    models.flag.draw();
    drawMarkers(models.marker, uniforms.model, race.course.checkpoints, race.state.reached, race.clock.animationTime);
    uploadMatrix(uniforms.model, stickModelMatrix(goal));
    models.stick.draw();
    // No wave uniforms here: the flag's shadow keeps the model's rest shape.
    uploadMatrix(uniforms.model, flagModelMatrix(goal));
    models.flag.draw();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
