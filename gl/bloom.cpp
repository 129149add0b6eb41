// Off-screen scene target, the ping-pong blur targets, the combined target, the bloom weights and the bloom pass.
#include "gl/bloom.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>

#include "app/window.h"
#include "gl/unit_quad.h"
#include "gl/gl_util.h"
#include "gl/shader.h"

SceneTarget sceneTarget;
std::array<BlurTarget, 2> blurTargets;
BlurTarget combinedTarget;
std::array<float, 5> bloomWeights{};
BloomFetches bloomFetches;
bool bloomAppliedThisFrame = false;

namespace {

constexpr float bloomExposure = 0.8f;                   // tone-mapping exposure of the combine
constexpr int blurPassCount = 2;                        // one horizontal, one vertical
constexpr int maxIncompleteReports = 3;                 // per run, however many targets fail
constexpr GLint antialiasingSamples = 4;                // per pixel, or fewer when the driver offers fewer

int incompleteReportsLeft = maxIncompleteReports;

// True when the bound framebuffer is complete.
bool reportIfIncomplete() {
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        return true;
    }
    if (incompleteReportsLeft > 0) {
        --incompleteReportsLeft;
        std::printf("Framebuffer not complete!\n");
        std::fflush(stdout);
    }
    return false;
}

// The scene's two colours and depth, multisampled, in the same formats as the single-sampled target so the
// resolve may blit between them. Dropped again when the driver rejects it.
void createMultisampleTarget(GLsizei width, GLsizei height, GLenum depthFormat) {
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    const GLsizei samples = std::min(antialiasingSamples, maxSamples);
    if (samples < 2) {
        return;
    }
    glGenFramebuffers(1, &sceneTarget.multisampleFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.multisampleFramebuffer);
    glGenRenderbuffers(2, sceneTarget.multisampleColours);
    for (GLuint i = 0; i < 2; ++i) {
        glBindRenderbuffer(GL_RENDERBUFFER, sceneTarget.multisampleColours[i]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGB16F, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_RENDERBUFFER,
                                  sceneTarget.multisampleColours[i]);
    }
    glGenRenderbuffers(1, &sceneTarget.multisampleDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, sceneTarget.multisampleDepth);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, depthFormat, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, sceneTarget.multisampleDepth);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    if (!reportIfIncomplete()) {
        glDeleteFramebuffers(1, &sceneTarget.multisampleFramebuffer);
        glDeleteRenderbuffers(2, sceneTarget.multisampleColours);
        glDeleteRenderbuffers(1, &sceneTarget.multisampleDepth);
        sceneTarget.multisampleFramebuffer = sceneTarget.multisampleDepth = 0;
        sceneTarget.multisampleColours[0] = sceneTarget.multisampleColours[1] = 0;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// A half-float RGB texture of the target size with linear filtering; the caller chooses the wrap along S.
void allocateColourTexture(GLuint texture, GLint wrapS, GLsizei width, GLsizei height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, width, height, 0, GL_RGB, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

} // namespace

void createBloomTargets() {
    if (sceneTarget.framebuffer != 0) {
        releaseBloomTargets();
    }
    // A missing size makes zero-sized attachments: the targets are reported incomplete instead of raising errors.
    const GLsizei width = std::max(window.framebufferWidth, 0);
    const GLsizei height = std::max(window.framebufferHeight, 0);
    sceneTarget.width = width;
    sceneTarget.height = height;
    // The depth resolve needs the same format on both sides, so antialiasing names one; without it the
    // driver's choice stands.
    const GLenum depthFormat = window.antialiasing ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT;

    glGenFramebuffers(1, &sceneTarget.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
    GLuint colours[2] = {};
    glGenTextures(2, colours);
    sceneTarget.sceneColour = colours[0];
    sceneTarget.brightColour = colours[1];
    for (GLuint i = 0; i < 2; ++i) {
        // Clamped along S so the horizontal blur does not pull in the opposite edge of the picture.
        allocateColourTexture(colours[i], GL_CLAMP_TO_EDGE, width, height);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, colours[i], 0);
    }
    glGenRenderbuffers(1, &sceneTarget.depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, sceneTarget.depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, sceneTarget.depthBuffer);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    reportIfIncomplete();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    GLuint blurFramebuffers[2] = {}, blurColours[2] = {};
    glGenFramebuffers(2, blurFramebuffers);
    glGenTextures(2, blurColours);
    for (std::size_t i = 0; i < blurTargets.size(); ++i) {
        blurTargets[i].framebuffer = blurFramebuffers[i];
        blurTargets[i].blurColour = blurColours[i];
        glBindFramebuffer(GL_FRAMEBUFFER, blurFramebuffers[i]);
        allocateColourTexture(blurColours[i], GL_REPEAT, width, height);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, blurColours[i], 0);
        reportIfIncomplete();
    }

    // The combine writes here rather than into the sceneColour it samples. It shares the scene's depth buffer so
    // the combine quad is depth-tested against the scene exactly as if it were drawn into the scene target.
    glGenFramebuffers(1, &combinedTarget.framebuffer);
    glGenTextures(1, &combinedTarget.blurColour);
    glBindFramebuffer(GL_FRAMEBUFFER, combinedTarget.framebuffer);
    allocateColourTexture(combinedTarget.blurColour, GL_CLAMP_TO_EDGE, width, height);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, combinedTarget.blurColour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, sceneTarget.depthBuffer);
    reportIfIncomplete();

    if (window.antialiasing) {
        createMultisampleTarget(width, height, depthFormat);
    }

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);

    bloomWeights = computeBloomWeights();
    bloomFetches = pairBloomTaps(bloomWeights);
    bloomAppliedThisFrame = false;
}

void releaseBloomTargets() {
    const GLuint textures[] = {sceneTarget.sceneColour, sceneTarget.brightColour, blurTargets[0].blurColour,
                               blurTargets[1].blurColour, combinedTarget.blurColour};
    const GLuint framebuffers[] = {sceneTarget.framebuffer, blurTargets[0].framebuffer, blurTargets[1].framebuffer,
                                   combinedTarget.framebuffer};
    // Names of 0 are ignored by the delete calls, so a partial or repeated release is harmless.
    glDeleteTextures(5, textures);
    glDeleteFramebuffers(4, framebuffers);
    glDeleteRenderbuffers(1, &sceneTarget.depthBuffer);
    glDeleteFramebuffers(1, &sceneTarget.multisampleFramebuffer);
    glDeleteRenderbuffers(2, sceneTarget.multisampleColours);
    glDeleteRenderbuffers(1, &sceneTarget.multisampleDepth);
    sceneTarget = SceneTarget{};
    blurTargets = {};
    combinedTarget = BlurTarget{};
    bloomAppliedThisFrame = false;
}

uint32_t sceneDrawFramebuffer() {
    return sceneTarget.multisampleFramebuffer != 0 ? sceneTarget.multisampleFramebuffer : sceneTarget.framebuffer;
}

void resolveSceneTarget() {
    if (sceneTarget.multisampleFramebuffer == 0) {
        return;
    }
    const GLsizei width = sceneTarget.width, height = sceneTarget.height;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneTarget.multisampleFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, sceneTarget.framebuffer);
    // One attachment at a time: a blit copies the one read buffer into every draw buffer.
    for (GLenum i = 0; i < 2; ++i) {
        glReadBuffer(GL_COLOR_ATTACHMENT0 + i);
        glDrawBuffer(GL_COLOR_ATTACHMENT0 + i);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    // The bloom's combine is depth-tested against the scene, so the depth comes along.
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void renderBloom() {
    const GLsizei width = window.framebufferWidth;
    const GLsizei height = window.framebufferHeight;
    // The scene pass leaves this viewport already; set here too so the blur never depends on it.
    glViewport(0, 0, width, height);

    blurShader.use();
    const GLuint blurProgram = blurShader.programId;
    activeUniforms.model = glGetUniformLocation(blurProgram, "model");
    const GLint horizontalLocation = glGetUniformLocation(blurProgram, "horizontal");
    glUniform1fv(glGetUniformLocation(blurProgram, "weight"), static_cast<GLsizei>(bloomFetches.weights.size()),
                 bloomFetches.weights.data());
    glUniform1fv(glGetUniformLocation(blurProgram, "offset"), static_cast<GLsizei>(bloomFetches.offsets.size()),
                 bloomFetches.offsets.data());
    uploadMatrix(activeUniforms.model, fullViewportModel());

    // Pass 1 blurs brightColour along x into target 1; pass 2 blurs target 1 along y into target 0.
    glActiveTexture(GL_TEXTURE0);
    bool horizontal = true;
    bool first = true;
    for (int pass = 0; pass < blurPassCount; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, blurTargets[horizontal ? 1 : 0].framebuffer);
        glUniform1i(horizontalLocation, horizontal ? 1 : 0);
        horizontal = !horizontal;
        glBindTexture(GL_TEXTURE_2D, first ? sceneTarget.brightColour : blurTargets[horizontal ? 1 : 0].blurColour);
        unitQuad.draw();
        first = false;
    }

    // Where the combine quad fails the depth test (geometry nearer than its depth 0.5) the pixel keeps the plain
    // scene colour, so the scene is copied over first.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneTarget.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, combinedTarget.framebuffer);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, combinedTarget.framebuffer);
    glViewport(0, 0, width, height);

    bufferShader->use();
    const GLuint combineProgram = bufferShader->programId;
    glUniform1f(glGetUniformLocation(combineProgram, "exposure"), bloomExposure);
    activeUniforms.model = glGetUniformLocation(combineProgram, "model");
    uploadMatrix(activeUniforms.model, fullViewportModel());
    glUniform1i(glGetUniformLocation(combineProgram, "renderedTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sceneTarget.sceneColour);
    glUniform1i(glGetUniformLocation(combineProgram, "bloomBlur"), 1);
    // Unit 1 stays selected: the composite selects unit 0 itself.
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, blurTargets[0].blurColour);
    unitQuad.draw();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    bloomAppliedThisFrame = true;
}

uint32_t finalSceneTexture() {
    return bloomAppliedThisFrame ? combinedTarget.blurColour : sceneTarget.sceneColour;
}
