// The terrain as one mesh of every grid point, the way the game drew it before it drew chunks: the reference the
// chunked terrain must match at full resolution.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

#include "gl/mesh.h"

namespace referenceterrain {

struct Geometry {
    std::vector<float> vertices;   // floatsPerVertex per grid point
    std::vector<uint32_t> indices;
};

// Mesh space (x / width - 0.5, s / 32767, z / height - 0.5); the normal of the cell a point is the first corner of,
// into the ground; the tangent that normal crossed with (0, 0, 1); uv mirrored every 20 points.
inline Geometry build(int32_t width, int32_t height, const int16_t* samples) {
    auto position = [&](int32_t x, int32_t z) {
        return glm::vec3(float(x) / float(width) - 0.5f, float(samples[z * width + x]) / 32767.0f,
                         float(z) / float(height) - 0.5f);
    };
    auto mirrored = [](int32_t n) {
        const float t = float(n % 20) / 20.0f;
        return (n % 40) >= 20 ? 1.0f - t : t;
    };
    const glm::vec3 bitangent(0.0f, 0.0f, 1.0f);
    Geometry g;
    for (int32_t z = 0; z < height; ++z) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t cx = std::min(x, width - 2), cz = std::min(z, height - 2);
            const glm::vec3 a = position(cx, cz), b = position(cx + 1, cz), c = position(cx, cz + 1);
            const glm::vec3 normal = glm::normalize(glm::cross(b - a, c - b));
            const glm::vec3 tangent = glm::normalize(glm::cross(normal, bitangent));
            const glm::vec3 p = position(x, z);
            g.vertices.insert(g.vertices.end(), {p.x, p.y, p.z, mirrored(x), mirrored(z), normal.x, normal.y,
                                                 normal.z, tangent.x, tangent.y, tangent.z, 0.0f, 0.0f, 1.0f});
            if (x + 1 < width && z + 1 < height) {
                const uint32_t v = uint32_t(z * width + x), below = v + uint32_t(width);
                g.indices.insert(g.indices.end(), {v, below, v + 1, v + 1, below, below + 1});
            }
        }
    }
    return g;
}

} // namespace referenceterrain
