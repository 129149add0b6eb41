// The terrain's draw in the scene pass: this frame's chunks, culled and levelled by the core, in one instanced draw.
#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

// Chooses the chunks of terrain seen through projection * view from eye and draws them, nearest first, with the
// terrain program, which must be in use with its light, material, samplers and maps set. Binds the height texture
// on heightUnit; leaves the chunk mesh unbound. Draws nothing without an uploaded terrain.
void drawTerrain(const glm::mat4& view, const glm::mat4& projection, const glm::vec3& eye);
