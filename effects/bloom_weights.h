// The bloom blur's five weights: plain numbers, no GL.
#pragma once

#include <array>

// Five Gaussian weights (sigma 5, taps 0..4) normalised to sum to one.
std::array<float, 5> computeBloomWeights();
