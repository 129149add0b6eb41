// The one textured quad drawn by every full-screen pass, every HUD sprite and every particle.
#pragma once

#include <cstdint>
#include <utility>

#include <glm/mat4x4.hpp>

// Owns its GL objects (moved, never copied); released only by clear(), while the context exists.
struct UnitQuad {
    uint32_t vertexArray = 0;
    uint32_t vertexBuffer = 0;
    uint32_t indexBuffer = 0;
    uint32_t indexCount = 0;

    UnitQuad() = default;
    UnitQuad(const UnitQuad&) = delete;
    UnitQuad& operator=(const UnitQuad&) = delete;
    UnitQuad(UnitQuad&& other) noexcept
        : vertexArray(std::exchange(other.vertexArray, 0)), vertexBuffer(std::exchange(other.vertexBuffer, 0)),
          indexBuffer(std::exchange(other.indexBuffer, 0)), indexCount(std::exchange(other.indexCount, 0)) {}
    // Swaps, so whatever this held is left in other for its owner to clear.
    UnitQuad& operator=(UnitQuad&& other) noexcept {
        std::swap(vertexArray, other.vertexArray);
        std::swap(vertexBuffer, other.vertexBuffer);
        std::swap(indexBuffer, other.indexBuffer);
        std::swap(indexCount, other.indexCount);
        return *this;
    }

    // -0.5..0.5 in x and y, texture v = 0 at the top edge; position at location 0, texcoord at 1.
    void create();
    void draw() const;
    void clear();
};

// The unit quad scaled to cover the whole viewport: every full-screen pass draws it with this model matrix.
const glm::mat4& fullViewportModel();
