// The one textured quad drawn by every full-screen pass, every HUD sprite and every particle.
#pragma once

#include <cstdint>

struct UnitQuad {
    uint32_t vertexArray = 0;
    uint32_t vertexBuffer = 0;
    uint32_t indexBuffer = 0;
    uint32_t indexCount = 0;

    // -0.5..0.5 in x and y, texture v = 0 at the top edge; position at location 0, texcoord at 1.
    void create();
    void draw() const;
    void clear();
};

// Made by start-up before the textures; released at shutdown while the context exists.
extern UnitQuad unitQuad;
