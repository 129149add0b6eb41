// Off-screen scene target, the ping-pong blur targets, the combined target, the bloom weights and the bloom pass.
#include "gl/bloom.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>

#include "gl/renderer.h"
#include "gl/unit_quad.h"
#include "gl/gl_util.h"
#include "gl/shader.h"

namespace {

constexpr float bloomExposure = 0.8f;                   // tone-mapping exposure of the combine
constexpr int blurPassCount = 2;                        // one horizontal, one vertical
constexpr GLint antialiasingSamples = 4;                // per pixel, or fewer when the driver offers fewer

// True when the bound framebuffer is complete.
bool reportIfIncomplete(int& incompleteReportsLeft) {
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
void createMultisampleTarget(BloomTargets& targets, GLsizei width, GLsizei height, GLenum depthFormat) {
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    const GLsizei samples = std::min(antialiasingSamples, maxSamples);
    if (samples < 2) {
        return;
    }
    glGenFramebuffers(1, &targets.scene.multisampleFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, targets.scene.multisampleFramebuffer);
    glGenRenderbuffers(2, targets.scene.multisampleColours);
    for (GLuint i = 0; i < 2; ++i) {
        glBindRenderbuffer(GL_RENDERBUFFER, targets.scene.multisampleColours[i]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGB16F, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_RENDERBUFFER,
                                  targets.scene.multisampleColours[i]);
    }
    glGenRenderbuffers(1, &targets.scene.multisampleDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, targets.scene.multisampleDepth);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, depthFormat, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, targets.scene.multisampleDepth);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    if (!reportIfIncomplete(targets.incompleteReportsLeft)) {
        glDeleteFramebuffers(1, &targets.scene.multisampleFramebuffer);
        glDeleteRenderbuffers(2, targets.scene.multisampleColours);
        glDeleteRenderbuffers(1, &targets.scene.multisampleDepth);
        targets.scene.multisampleFramebuffer = targets.scene.multisampleDepth = 0;
        targets.scene.multisampleColours[0] = targets.scene.multisampleColours[1] = 0;
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

void createBloomTargets(BloomTargets& targets, int framebufferWidth, int framebufferHeight, bool antialiasing) {
    if (targets.scene.framebuffer != 0) {
        releaseBloomTargets(targets);
    }
    // A missing size makes zero-sized attachments: the targets are reported incomplete instead of raising errors.
    const GLsizei width = std::max(framebufferWidth, 0);
    const GLsizei height = std::max(framebufferHeight, 0);
    targets.scene.width = width;
    targets.scene.height = height;
    // The depth resolve needs the same format on both sides, so antialiasing names one; without it the
    // driver's choice stands.
    const GLenum depthFormat = antialiasing ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT;

    glGenFramebuffers(1, &targets.scene.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, targets.scene.framebuffer);
    GLuint colours[2] = {};
    glGenTextures(2, colours);
    targets.scene.sceneColour = colours[0];
    targets.scene.brightColour = colours[1];
    for (GLuint i = 0; i < 2; ++i) {
        // Clamped along S so the horizontal blur does not pull in the opposite edge of the picture.
        allocateColourTexture(colours[i], GL_CLAMP_TO_EDGE, width, height);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, colours[i], 0);
    }
    glGenRenderbuffers(1, &targets.scene.depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, targets.scene.depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, targets.scene.depthBuffer);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    reportIfIncomplete(targets.incompleteReportsLeft);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    GLuint blurFramebuffers[2] = {}, blurColours[2] = {};
    glGenFramebuffers(2, blurFramebuffers);
    glGenTextures(2, blurColours);
    for (std::size_t i = 0; i < targets.blur.size(); ++i) {
        targets.blur[i].framebuffer = blurFramebuffers[i];
        targets.blur[i].blurColour = blurColours[i];
        glBindFramebuffer(GL_FRAMEBUFFER, blurFramebuffers[i]);
        allocateColourTexture(blurColours[i], GL_REPEAT, width, height);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, blurColours[i], 0);
        reportIfIncomplete(targets.incompleteReportsLeft);
    }

    // The combine writes here rather than into the sceneColour it samples. It shares the scene's depth buffer so
    // the combine quad is depth-tested against the scene exactly as if it were drawn into the scene target.
    glGenFramebuffers(1, &targets.combined.framebuffer);
    glGenTextures(1, &targets.combined.blurColour);
    glBindFramebuffer(GL_FRAMEBUFFER, targets.combined.framebuffer);
    allocateColourTexture(targets.combined.blurColour, GL_CLAMP_TO_EDGE, width, height);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targets.combined.blurColour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, targets.scene.depthBuffer);
    reportIfIncomplete(targets.incompleteReportsLeft);

    if (antialiasing) {
        createMultisampleTarget(targets, width, height, depthFormat);
    }

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);

    targets.weights = computeBloomWeights();
    targets.fetches = pairBloomTaps(targets.weights);
}

void releaseBloomTargets(BloomTargets& targets) {
    const GLuint textures[] = {targets.scene.sceneColour, targets.scene.brightColour, targets.blur[0].blurColour,
                               targets.blur[1].blurColour, targets.combined.blurColour};
    const GLuint framebuffers[] = {targets.scene.framebuffer, targets.blur[0].framebuffer, targets.blur[1].framebuffer,
                                   targets.combined.framebuffer};
    // Names of 0 are ignored by the delete calls, so a partial or repeated release is harmless.
    glDeleteTextures(5, textures);
    glDeleteFramebuffers(4, framebuffers);
    glDeleteRenderbuffers(1, &targets.scene.depthBuffer);
    glDeleteFramebuffers(1, &targets.scene.multisampleFramebuffer);
    glDeleteRenderbuffers(2, targets.scene.multisampleColours);
    glDeleteRenderbuffers(1, &targets.scene.multisampleDepth);
    targets.scene = SceneTarget{};
    targets.blur = {};
    targets.combined = BlurTarget{};
}

uint32_t sceneDrawFramebuffer(const BloomTargets& targets) {
    return targets.scene.multisampleFramebuffer != 0 ? targets.scene.multisampleFramebuffer : targets.scene.framebuffer;
}

void resolveSceneTarget(const BloomTargets& targets) {
    if (targets.scene.multisampleFramebuffer == 0) {
        return;
    }
    const GLsizei width = targets.scene.width, height = targets.scene.height;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, targets.scene.multisampleFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, targets.scene.framebuffer);
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

void renderBloom(Renderer& renderer, int framebufferWidth, int framebufferHeight) {
    BloomTargets& targets = renderer.targets;
    ActiveUniforms& uniforms = renderer.uniforms;
    const Shader& blurShader = renderer.programs.blur;
    const Shader& bufferShader = renderer.programs.buffer;
    const GLsizei width = framebufferWidth;
    const GLsizei height = framebufferHeight;
    // The scene pass leaves this viewport already; set here too so the blur never depends on it.
    glViewport(0, 0, width, height);

    blurShader.use();
    const GLuint blurProgram = blurShader.programId;
    uniforms.model = glGetUniformLocation(blurProgram, "model");
    const GLint horizontalLocation = glGetUniformLocation(blurProgram, "horizontal");
    glUniform1fv(glGetUniformLocation(blurProgram, "weight"), static_cast<GLsizei>(targets.fetches.weights.size()),
                 targets.fetches.weights.data());
    glUniform1fv(glGetUniformLocation(blurProgram, "offset"), static_cast<GLsizei>(targets.fetches.offsets.size()),
                 targets.fetches.offsets.data());
    uploadMatrix(uniforms.model, fullViewportModel());

    // Pass 1 blurs brightColour along x into target 1; pass 2 blurs target 1 along y into target 0.
    glActiveTexture(GL_TEXTURE0);
    bool horizontal = true;
    bool first = true;
    for (int pass = 0; pass < blurPassCount; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, targets.blur[horizontal ? 1 : 0].framebuffer);
        glUniform1i(horizontalLocation, horizontal ? 1 : 0);
        horizontal = !horizontal;
        glBindTexture(GL_TEXTURE_2D, first ? targets.scene.brightColour : targets.blur[horizontal ? 1 : 0].blurColour);
        renderer.quad.draw();
        first = false;
    }

    // Where the combine quad fails the depth test (geometry nearer than its depth 0.5) the pixel keeps the plain
    // scene colour, so the scene is copied over first.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, targets.scene.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, targets.combined.framebuffer);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, targets.combined.framebuffer);
    glViewport(0, 0, width, height);

    bufferShader.use();
    const GLuint combineProgram = bufferShader.programId;
    glUniform1f(glGetUniformLocation(combineProgram, "exposure"), bloomExposure);
    uniforms.model = glGetUniformLocation(combineProgram, "model");
    uploadMatrix(uniforms.model, fullViewportModel());
    glUniform1i(glGetUniformLocation(combineProgram, "renderedTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, targets.scene.sceneColour);
    glUniform1i(glGetUniformLocation(combineProgram, "bloomBlur"), 1);
    // Unit 1 stays selected: the composite selects unit 0 itself.
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, targets.blur[0].blurColour);
    renderer.quad.draw();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

uint32_t finalSceneTexture(const BloomTargets& targets, bool bloomApplied) {
    return bloomApplied ? targets.combined.blurColour : targets.scene.sceneColour;
}
