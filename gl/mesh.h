// The indexed triangle mesh on the GPU (a handle record: moved, never copied).
#pragma once

#include <cstdint>
#include <utility>

#include "core/vertex.h"

// Owns its three GL objects. Released only by clear(), explicitly, while the context exists; moving hands the
// objects over and leaves the source empty.
struct Mesh {
    uint32_t vao = 0;
    uint32_t vbo = 0;
    uint32_t ibo = 0;
    int32_t indexCount = 0;

    Mesh() = default;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;
    Mesh(Mesh&& other) noexcept
        : vao(std::exchange(other.vao, 0)), vbo(std::exchange(other.vbo, 0)), ibo(std::exchange(other.ibo, 0)),
          indexCount(std::exchange(other.indexCount, 0)) {}
    // Swaps, so whatever this held is left in other for its owner to clear.
    Mesh& operator=(Mesh&& other) noexcept {
        std::swap(vao, other.vao);
        std::swap(vbo, other.vbo);
        std::swap(ibo, other.ibo);
        std::swap(indexCount, other.indexCount);
        return *this;
    }

    // Needs the context; the caller keeps its arrays.
    void createMesh(const float* vertices, const uint32_t* indices, uint32_t floatCount, uint32_t indexCountIn);
    void draw() const;
    void clear();
};
