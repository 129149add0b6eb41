// Off-screen scene target with its glow output (multisampled when antialiasing), the two blur targets, the bloom
// weights and the bloom pass.
#pragma once

#include <array>
#include <cstdint>

#include "core/bloom_weights.h"

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

// Made by start-up at the window's framebuffer size, and made again whenever that size changes.
extern SceneTarget sceneTarget;
extern std::array<BlurTarget, 2> blurTargets;
// The scene with its glow added: the bloom pass writes here instead of into the texture it reads.
extern BlurTarget combinedTarget;
extern std::array<float, 5> bloomWeights;
// The blur's fetches for bloomWeights; set with them.
extern BloomFetches bloomFetches;
// Set by renderBloom, cleared by the composite once it has shown the frame: says which texture holds the picture.
extern bool bloomAppliedThisFrame;

// Start-up step, with the context current and window.framebufferWidth/Height measured; also run again (it
// releases the old targets first) when the framebuffer size changes. Prints "Framebuffer not complete!" (at
// most three times per run) for a target the driver rejects, and goes on; a rejected multisampled target is
// dropped and the scene is drawn without antialiasing.
void createBloomTargets();
// Deletes every target; needs the context.
void releaseBloomTargets();
// The framebuffer the scene pass draws into: the multisampled one with antialiasing, else sceneTarget.framebuffer.
uint32_t sceneDrawFramebuffer();
// With antialiasing, averages the multisampled colours and depth into sceneTarget's textures and depth buffer;
// nothing otherwise. Called at the end of the scene pass; leaves framebuffer 0 bound.
void resolveSceneTarget();
// Blurs brightColour in two passes and adds it to the scene colour, into combinedTarget.
// Expects the scene pass's state (scene target drawn, depth test on); leaves framebuffer 0 bound, unit 1 active.
void renderBloom();
// The texture the composite shows: combinedTarget after a bloom frame, sceneColour otherwise.
uint32_t finalSceneTexture();
