// Shadow map: created once at start-up, redrawn each frame from a light placed above and behind the ball.
#include "gl/shadow_map.h"

#include <stdexcept>

#include <GL/glew.h>

#include "core/physics.h"
#include "gl/gl_util.h"
#include "gl/model.h"
#include "core/scene_layout.h"
#include "gl/shader.h"

uint32_t shadowFramebuffer = 0;
uint32_t shadowMapTexture = 0;

void createShadowMap() {
    glGenFramebuffers(1, &shadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);

    glGenTextures(1, &shadowMapTexture);
    glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, shadowMapSize, shadowMapSize, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    // Lookups outside the map read the far plane: unshadowed.
    const float border[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);

    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowMapTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);

    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        throw std::runtime_error("framebuffer not ok");
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void releaseShadowMap() {
    glDeleteTextures(1, &shadowMapTexture);
    glDeleteFramebuffers(1, &shadowFramebuffer);
    shadowMapTexture = 0;
    shadowFramebuffer = 0;
}

void renderShadowPass() {
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    if (depthShader != nullptr) {
        depthShader->use();
        activateBasicUniforms(*depthShader);
    }

    // The light box moves with the ball, so the shadowed area always surrounds it.
    lightView = lightViewFollowing(ballPosition(), sceneLight.direction);
    uploadMatrix(activeUniforms.projection, lightProjection);
    uploadMatrix(activeUniforms.view, lightView);

    // The terrain only receives shadows and the particles cast none.
    if (ballBody != nullptr) {
        uploadMatrix(activeUniforms.model, bodyModelMatrix(*ballBody));
        ballModel.draw();
    }
    uploadMatrix(activeUniforms.model, smallFlagShadowMatrix());
    flagModel.draw();
    drawMarkers();
    uploadMatrix(activeUniforms.model, stickModelMatrix());
    stickModel.draw();
    // No wave uniforms here: the flag's shadow keeps the model's rest shape.
    uploadMatrix(activeUniforms.model, flagModelMatrix());
    flagModel.draw();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
