// The bloom blur's weights: one side of a Gaussian kernel, normalised, and the fetches that read them in pairs.
#include "core/bloom_weights.h"

#include <cmath>

namespace {

constexpr double bloomSigma = 5.0;                      // texels
constexpr double bloomMean = 0.0;                       // texels
// 2 pi sigma^2 with pi in single precision; the normalisation below cancels it, but the raw weights keep it.
constexpr double gaussianDivisor = 157.07963705062866;

} // namespace

std::array<float, 5> computeBloomWeights() {
    std::array<float, 5> weights{};
    for (std::size_t i = 0; i < weights.size(); ++i) {
        const double x = (static_cast<double>(i) - bloomMean) / bloomSigma;
        weights[i] = static_cast<float>(std::exp(x * x * -0.5) / gaussianDivisor);
    }
    // Summed from the stored floats, so the normalised set is exactly what the shader will receive.
    double sum = 0.0;
    for (float w : weights) {
        sum += static_cast<double>(w);
    }
    for (float& w : weights) {
        w = static_cast<float>(static_cast<double>(w) / sum);
    }
    return weights;
}

BloomFetches pairBloomTaps(const std::array<float, 5>& w) {
    BloomFetches f;
    f.weights[0] = w[0];
    for (std::size_t pair = 1; pair < 3; ++pair) {
        const std::size_t near = 2 * pair - 1; // taps 1 and 2, then 3 and 4
        f.weights[pair] = w[near] + w[near + 1];
        // Read at near + t, linear filtering gives the near texel 1 - t of the weight and the far one t.
        f.offsets[pair] = float(near) + w[near + 1] / f.weights[pair];
    }
    return f;
}
