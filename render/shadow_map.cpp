// Shadow map: created once at start-up, redrawn each frame from a light placed above and behind the ball.
#include "render/shadow_map.h"

#include <stdexcept>

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

uint32_t shadowFramebuffer = 0;
uint32_t shadowMapTexture = 0;
glm::mat4 lightView{1.0f}, lightProjection{1.0f}, lightSpaceMatrix{1.0f};

namespace {

constexpr float lightBoxHalfSize = 50.0f; // world units around the light's eye, on every axis

} // namespace

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

void initialiseLightMatrices() {
    lightView = glm::lookAt(glm::vec3(0.0f, 1.0f, 1.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    lightProjection = glm::ortho(-lightBoxHalfSize, lightBoxHalfSize, -lightBoxHalfSize, lightBoxHalfSize,
                                 -lightBoxHalfSize, lightBoxHalfSize);
    lightSpaceMatrix = lightProjection * lightView;
}
