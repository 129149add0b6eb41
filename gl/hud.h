// The HUD drawn over every frame: start messages, result banners, clock, time bar and boost gauge.
#pragma once

#include "core/hud_layout.h"

// Draws the frame's layout over the window, then ends the get-ready pause when it is due. Leaves blending off,
// the blend function (GL_ONE, GL_ZERO), no program in use and unit 0 active.
void renderHud();
