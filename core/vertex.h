// The vertex layout every mesh shares: what the model importer decodes and the GL layer uploads.
#pragma once

// Fourteen floats at attribute locations 0..4; the normal points into the surface.
struct Vertex {
    float position[3];
    float texCoord[2];
    float normal[3];
    float tangent[3];
    float bitangent[3];
};
static_assert(sizeof(Vertex) == 56, "Vertex is fourteen packed floats");
constexpr int floatsPerVertex = 14;
