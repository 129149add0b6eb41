// The lit scene pass: the ball, markers, stick, terrain, sky, particles and waving flag drawn into the scene target.
#pragma once

#include "core/scene_layout.h"

// Upload through activeUniforms, so they serve whichever lit program is bound.
void sendLight(const DirectionalLight& light);
void sendMaterial(const Material& material);

// Draws the frame's 3D scene into the scene target (with antialiasing into its multisampled twin, resolved at the
// end); leaves the default framebuffer bound, the flag program in use,
// unit 0 active, depth test and culling on and blending off.
void renderScenePass();
// Ball, markers and stick with the scene program bound.
void drawSceneObjects();
// The goal flag with its own program; culling is off for its draw.
void drawFlag();
