// The HUD drawn over every frame: start messages, result banners, clock, time bar and boost gauge.
#pragma once

struct Race;
struct Renderer;

// Draws race's layout over a framebuffer of the given size; the race is only read. Leaves blending off, the blend
// function (GL_ONE, GL_ZERO), no program in use and unit 0 active.
void renderHud(Renderer& renderer, const Race& race, int framebufferWidth, int framebufferHeight);
