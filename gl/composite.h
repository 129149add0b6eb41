// The final composite: the off-screen scene (or a debugging view) drawn into the window.
#pragma once

#include <glm/mat4x4.hpp>

#include "core/input.h"

struct Renderer;

// Model matrix of the shadow-map picture: the unit quad moved to the upper-left quarter, x -0.75..-0.25 and
// y 0.25..0.75 in normalised device coordinates.
glm::mat4 depthPictureModel();

// Clears the window's framebuffer (of the given size) and draws the scene texture (the bloom's combined picture
// when bloomApplied, brightColour while flags.showBrightPass) over it with the renderer's brightness and contrast,
// and the shadow map while flags.showDepthMap. Leaves framebuffer 0 bound, depth testing off, unit 0 active and the
// last program in use.
void renderComposite(Renderer& renderer, const RenderFlags& flags, int framebufferWidth, int framebufferHeight,
                     bool bloomApplied);
