// The lit scene pass: the ball, markers, stick, terrain, sky, particles and waving flag drawn into the scene target.
#pragma once

#include "core/input.h"
#include "core/scene_layout.h"

struct ActiveUniforms;
struct Race;
struct Renderer;

// Upload through the uniform cache, so they serve whichever lit program is bound.
void sendLight(const ActiveUniforms& uniforms, const DirectionalLight& light);
void sendMaterial(const ActiveUniforms& uniforms, const Material& material);

// Draws race's 3D scene into the scene target (with antialiasing into its multisampled twin, resolved at the end)
// over a framebuffer of the given size; the flag waves at wallSeconds. Leaves the default framebuffer bound, the
// flag program in use, unit 0 active, depth test and culling on and blending off.
void renderScenePass(Renderer& renderer, const Race& race, const RenderFlags& flags, int framebufferWidth,
                     int framebufferHeight, double wallSeconds);
// Ball, markers and stick with the scene program bound, in the shiny material.
void drawSceneObjects(Renderer& renderer, const Race& race, const Material& shiny);
// The ghost ball where race.ghost is at ghostClock(race), with the scene program bound (its frame's uniforms
// sent): see-through, depth-tested but writing no depth, so nothing drawn after it is cut away behind it. Nothing
// without a ghost, while race.showGhost is off, or once it has faded.
void drawGhost(Renderer& renderer, const Race& race, const Material& shiny);
// The goal flag with its own program, waving at wallSeconds; culling is off for its draw.
void drawFlag(Renderer& renderer, const Race& race, const RenderFlags& flags, double wallSeconds);
