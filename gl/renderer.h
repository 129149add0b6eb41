// The renderer: one value that owns every GL resource the game draws with (programs, textures, models, the unit
// quad, the shadow map, the sky, the off-screen targets and the uploaded course), and the frame's draw.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include <glm/mat4x4.hpp>

#include "core/input.h"
#include "core/settings.h"
#include "gl/bloom.h"
#include "gl/menu_draw.h"
#include "gl/model.h"
#include "gl/shader.h"
#include "gl/shadow_map.h"
#include "gl/skybox.h"
#include "gl/terrain_upload.h"
#include "gl/texture.h"
#include "gl/unit_quad.h"

struct Race;

// Everything lives in GL, so it needs the context from creation to releaseRenderer; it never copies.
struct Renderer {
    Programs programs;
    StartupTextures textures;
    StartupModels models;
    UnitQuad quad;
    ShadowMap shadow;
    Skybox sky;
    BloomTargets targets;
    TerrainGpu course;       // the uploaded course's ground; empty until uploadCourse
    MenuGpu menu;            // the pause menu's program, font and course pictures; empty until startMenuGpu
    ActiveUniforms uniforms; // the locations of the program bound last, for the draw routines the passes share
    glm::mat4 projection{1.0f}; // the camera's, for the targets' size
    bool antialiasing = false;
    float brightness = 0.0f; // the composite's picture settings
    float contrast = 1.0f;
    std::vector<uint32_t> particleOrder; // the sparks' draw order, refilled each frame; room for the whole pool
    std::minstd_rand particleSpin;       // the sparks' random turns: the picture's own sequence, not the race's

    Renderer() = default;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;
};

enum class RendererFailure { None, ShadowMap, Programs };

// The first half of making a renderer, with the context current and the data folder the working folder: the shadow
// map, the nine programs, the unit quad, the start-up textures and the five models, and the picture settings. A
// failing shadow map or program prints its line ("framebuffer not ok", "Shader file cannot be found: ...", the
// build's message) and is returned; a missing texture or model prints its line and stays empty.
RendererFailure startRenderer(Renderer& renderer, const Settings& settings);
// The second half: the sky and the off-screen targets at the framebuffer's size, and the camera projection.
void finishRenderer(Renderer& renderer, int framebufferWidth, int framebufferHeight);
// Both halves.
RendererFailure createRenderer(Renderer& renderer, const Settings& settings, int framebufferWidth,
                               int framebufferHeight);
// Deletes every GL object the renderer holds, the course's too; needs the context.
void releaseRenderer(Renderer& renderer);

// Uploads race's ground (its height texture, chunk mesh, chunk buffer, levels of detail and the course's own grass
// when it names one), releasing a course uploaded before. False, with none left uploaded, when the driver refuses it or memory runs out.
bool uploadCourse(Renderer& renderer, const Race& race);
// Frees the uploaded course's GPU objects and memory; the renderer then draws no ground until the next upload.
void releaseCourse(Renderer& renderer);
// Remakes the off-screen targets and the projection when the framebuffer's size differs from the targets'.
void resizeTargets(Renderer& renderer, int framebufferWidth, int framebufferHeight);

// One frame of race into the window's framebuffer (of the given size, never 0): the shadow, the scene, the bloom
// when flags.bloomEnabled, the composite and the HUD. The flag waves at wallSeconds. The race is only read.
void renderFrame(Renderer& renderer, const Race& race, const RenderFlags& flags, int framebufferWidth,
                 int framebufferHeight, double wallSeconds);
