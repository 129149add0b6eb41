// A small seeded random sequence for the generator: the same seed gives the same numbers on every run and machine.
#pragma once

#include <cstdint>

// Integer hash with good bit mixing (lowbias32 constants); also usable on its own for per-cell values.
inline uint32_t mixBits(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

struct SeededRandom {
    uint32_t state = 1;

    explicit SeededRandom(uint32_t seed) : state(mixBits(seed ^ 0x9e3779b9u)) {}

    uint32_t nextBits() {
        state = state * 1664525u + 1013904223u;
        return mixBits(state);
    }
    // Uniform in [0, 1).
    float unit() { return static_cast<float>(nextBits() >> 8) * (1.0f / 16777216.0f); }
    float range(float low, float high) { return low + (high - low) * unit(); }
};
