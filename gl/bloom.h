// Off-screen scene target with its glow output (multisampled when antialiasing), the two blur targets, the bloom
// weights and the bloom pass.
#pragma once

#include <array>
#include <cstdint>

#include "core/bloom_weights.h"

struct Renderer;

struct SceneTarget {
    uint32_t framebuffer = 0;
    uint32_t sceneColour = 0;  // attachment 0: the lit scene
    uint32_t brightColour = 0; // attachment 1: what glows
    uint32_t depthBuffer = 0;
    // With antialiasing the scene pass draws into these, with the same two attachments and depth, and the
    // resolve averages them into the textures above before anything reads them. 0 without antialiasing.
    uint32_t multisampleFramebuffer = 0;
    uint32_t multisampleColours[2] = {};
    uint32_t multisampleDepth = 0;
    int32_t width = 0; // framebuffer size the targets were made at, pixels
    int32_t height = 0;
};

struct BlurTarget {
    uint32_t framebuffer = 0;
    uint32_t blurColour = 0;
};

// Every target with the framebuffer's size, and the blur's weights. Plain names: one owner (the renderer) makes
// them with createBloomTargets and deletes them with releaseBloomTargets.
struct BloomTargets {
    SceneTarget scene;
    std::array<BlurTarget, 2> blur;
    // The scene with its glow added: the bloom pass writes here instead of into the texture it reads.
    BlurTarget combined;
    std::array<float, 5> weights{};
    // The blur's fetches for weights; set with them.
    BloomFetches fetches;
    int incompleteReportsLeft = 3; // "Framebuffer not complete!" is printed at most this many more times
};

// Made at the framebuffer's size (pixels), and made again (the old ones released first) when that size changes.
// Prints "Framebuffer not complete!" (at most three times per owner) for a target the driver rejects, and goes on;
// a rejected multisampled target is dropped and the scene is drawn without antialiasing.
void createBloomTargets(BloomTargets& targets, int framebufferWidth, int framebufferHeight, bool antialiasing);
// Deletes every target; needs the context. Keeps the count of reports left.
void releaseBloomTargets(BloomTargets& targets);
// The framebuffer the scene pass draws into: the multisampled one with antialiasing, else scene.framebuffer.
uint32_t sceneDrawFramebuffer(const BloomTargets& targets);
// With antialiasing, averages the multisampled colours and depth into the scene target's textures and depth buffer;
// nothing otherwise. Called at the end of the scene pass; leaves framebuffer 0 bound.
void resolveSceneTarget(const BloomTargets& targets);
// Blurs brightColour in two passes and adds it to the scene colour, into the combined target, over a framebuffer of
// the given size. Expects the scene pass's state (scene target drawn, depth test on); leaves framebuffer 0 bound,
// unit 1 active.
void renderBloom(Renderer& renderer, int framebufferWidth, int framebufferHeight);
// The texture the composite shows: the combined target after a bloom pass in this frame, the scene colour otherwise.
uint32_t finalSceneTexture(const BloomTargets& targets, bool bloomApplied);
