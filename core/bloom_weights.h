// The bloom blur's five weights and the fetches that read them: plain numbers, no GL.
#pragma once

#include <array>

// Five Gaussian weights (sigma 5, taps 0..4) normalised to sum to one.
std::array<float, 5> computeBloomWeights();

// The same nine taps read with five linearly filtered fetches: the centre, then on each side one fetch for taps 1
// and 2 and one for taps 3 and 4, each placed between its two texels where the filter shares its weight between
// them as the kernel does.
struct BloomFetches {
    std::array<float, 3> weights{}; // the centre's, then each pair's sum
    std::array<float, 3> offsets{}; // texels from the centre: 0, then within 1..2 and 3..4
};
BloomFetches pairBloomTaps(const std::array<float, 5>& weights);
