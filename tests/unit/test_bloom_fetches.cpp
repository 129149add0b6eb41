// The bloom blur's paired fetches: linear filtering splits each one back into the kernel's two taps.
#include <gtest/gtest.h>

#include "core/bloom_weights.h"

namespace {

TEST(BloomFetches, EachPairedFetchFiltersBackIntoTheKernelsTwoTaps) {
    const std::array<float, 5> w = computeBloomWeights();
    const BloomFetches f = pairBloomTaps(w);
    EXPECT_EQ(f.offsets[0], 0.0f);
    EXPECT_EQ(f.weights[0], w[0]);
    for (std::size_t pair = 1; pair < 3; ++pair) {
        const std::size_t near = 2 * pair - 1;
        // A fetch at texel near + t reads the near texel with 1 - t of its weight and the next with t.
        const float t = f.offsets[pair] - float(near);
        ASSERT_GT(t, 0.0f);
        ASSERT_LT(t, 1.0f);
        EXPECT_NEAR(f.weights[pair] * (1.0f - t), w[near], 1e-6f) << "tap " << near;
        EXPECT_NEAR(f.weights[pair] * t, w[near + 1], 1e-6f) << "tap " << near + 1;
    }
}

} // namespace
