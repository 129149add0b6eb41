// The cube-map lookup as the graphics library defines it, for tests that check sky box faces on the CPU: which
// face and place a direction reads, and the direction through a place on a face.
#pragma once

#include <glm/common.hpp>
#include <glm/vec3.hpp>

namespace cubemap {

// Face numbers follow the upload order +X, -X, +Y, -Y, +Z, -Z; s and t run 0..1 with t = 0 at the face's first
// stored row.
struct FacePoint {
    int face = 0;
    float s = 0.0f;
    float t = 0.0f;
};

// The major axis picks the face; sc and tc over its magnitude give the place on it:
//   +X: (-z, -y)  -X: (+z, -y)  +Y: (+x, +z)  -Y: (+x, -z)  +Z: (+x, -y)  -Z: (-x, -y)
inline FacePoint lookUp(const glm::vec3& d) {
    const glm::vec3 a = glm::abs(d);
    FacePoint p;
    float sc, tc, ma;
    if (a.x >= a.y && a.x >= a.z) {
        p.face = d.x > 0 ? 0 : 1;
        sc = d.x > 0 ? -d.z : d.z;
        tc = -d.y;
        ma = a.x;
    } else if (a.y >= a.z) {
        p.face = d.y > 0 ? 2 : 3;
        sc = d.x;
        tc = d.y > 0 ? d.z : -d.z;
        ma = a.y;
    } else {
        p.face = d.z > 0 ? 4 : 5;
        sc = d.z > 0 ? d.x : -d.x;
        tc = -d.y;
        ma = a.z;
    }
    p.s = 0.5f * (sc / ma + 1.0f);
    p.t = 0.5f * (tc / ma + 1.0f);
    return p;
}

// The lookup solved backwards: a direction (not normalised) through (s, t) of a face.
inline glm::vec3 direction(int face, float s, float t) {
    const float sc = 2.0f * s - 1.0f, tc = 2.0f * t - 1.0f;
    switch (face) {
    case 0: return {1.0f, -tc, -sc};
    case 1: return {-1.0f, -tc, sc};
    case 2: return {sc, 1.0f, tc};
    case 3: return {sc, -1.0f, -tc};
    case 4: return {sc, -tc, 1.0f};
    default: return {-sc, -tc, -1.0f};
    }
}

} // namespace cubemap
