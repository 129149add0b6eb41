// Off-screen scene target with its glow output, the two blur targets, the bloom weights and the bloom pass.
#pragma once

#include <array>
#include <cstdint>

#include "effects/bloom_weights.h"

struct SceneTarget {
    uint32_t framebuffer = 0;
    uint32_t sceneColour = 0;  // attachment 0: the lit scene
    uint32_t brightColour = 0; // attachment 1: what glows
    uint32_t depthBuffer = 0;
};

struct BlurTarget {
    uint32_t framebuffer = 0;
    uint32_t blurColour = 0;
};

// Made once by start-up at the window's framebuffer size; never resized.
extern SceneTarget sceneTarget;
extern std::array<BlurTarget, 2> blurTargets;
// The scene with its glow added: the bloom pass writes here instead of into the texture it reads.
extern BlurTarget combinedTarget;
extern std::array<float, 5> bloomWeights;
// The blur's fetches for bloomWeights; set with them.
extern BloomFetches bloomFetches;
// Set by renderBloom, cleared by the composite once it has shown the frame: says which texture holds the picture.
extern bool bloomAppliedThisFrame;

// Start-up step, with the context current and window.framebufferWidth/Height measured. Prints
// "Framebuffer not complete!" (at most three times per run) for a target the driver rejects, and goes on.
void createBloomTargets();
// Deletes every target; needs the context.
void releaseBloomTargets();
// Blurs brightColour in two passes and adds it to the scene colour, into combinedTarget.
// Expects the scene pass's state (scene target drawn, depth test on); leaves framebuffer 0 bound, unit 1 active.
void renderBloom();
// The texture the composite shows: combinedTarget after a bloom frame, sceneColour otherwise.
uint32_t finalSceneTexture();
