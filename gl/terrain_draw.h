// The terrain's draw in the scene pass: this frame's chunks, culled and levelled by the core, in one instanced draw.
#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

struct Renderer;

// Chooses the chunks of the uploaded course seen through projection * view from eye and draws them, nearest first,
// with the terrain program, which must be in use with its light, material, samplers and maps set. groundBody is the
// terrain body's model matrix. Binds the height texture on heightUnit; leaves the chunk mesh unbound. Draws nothing
// without an uploaded course.
void drawTerrain(Renderer& renderer, const glm::mat4& groundBody, const glm::mat4& view, const glm::mat4& projection,
                 const glm::vec3& eye);
