// Bloom weights: the five Gaussian taps the blur shader receives every frame.
#include <gtest/gtest.h>

#include <numeric>

#include "effects/bloom_weights.h"

namespace {

TEST(BloomWeights, MatchTheGaussianOfSigmaFiveNormalisedOverFiveTaps) {
    const std::array<float, 5> w = computeBloomWeights();
    EXPECT_FLOAT_EQ(w[0], 0.22397749f);
    EXPECT_FLOAT_EQ(w[1], 0.21954244f);
    EXPECT_FLOAT_EQ(w[2], 0.20675729f);
    EXPECT_FLOAT_EQ(w[3], 0.18708174f);
    EXPECT_FLOAT_EQ(w[4], 0.16264105f);
}

TEST(BloomWeights, SumToOneSoTheGaussianScaleCancels) {
    const std::array<float, 5> w = computeBloomWeights();
    const double sum = std::accumulate(w.begin(), w.end(), 0.0);
    EXPECT_NEAR(sum, 1.0, 1e-6);
}

TEST(BloomWeights, FallAwayFromTheCentreTap) {
    const std::array<float, 5> w = computeBloomWeights();
    for (std::size_t i = 1; i < w.size(); ++i) {
        EXPECT_LT(w[i], w[i - 1]) << "tap " << i;
        EXPECT_GT(w[i], 0.0f) << "tap " << i;
    }
}

} // namespace
