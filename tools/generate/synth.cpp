// The generator's synthesis helpers: noise, cookbook biquads, envelopes, notes, mixing, loops.
#include "tools/generate/synth.h"

#include <algorithm>
#include <cmath>

std::size_t framesOf(float seconds) { return static_cast<std::size_t>(std::lround(seconds * synthRate)); }

float secondsOf(std::size_t frame) { return static_cast<float>(frame) / synthRate; }

Signal silence(float seconds) { return Signal(framesOf(seconds), 0.0f); }

Signal whiteNoise(float seconds, SeededRandom& random) {
    Signal s(framesOf(seconds));
    for (float& v : s) v = random.range(-1.0f, 1.0f);
    return s;
}

float Biquad::run(float x) {
    const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

namespace {

enum class Kind { Low, High, Band };

Biquad design(Kind kind, float hz, float q) {
    const float w = twoPi * std::min(hz, synthRate * 0.45f) / synthRate;
    const float cw = std::cos(w), alpha = std::sin(w) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    Biquad f;
    switch (kind) {
    case Kind::Low:
        f.b0 = f.b2 = (1.0f - cw) / 2.0f / a0;
        f.b1 = (1.0f - cw) / a0;
        break;
    case Kind::High:
        f.b0 = f.b2 = (1.0f + cw) / 2.0f / a0;
        f.b1 = -(1.0f + cw) / a0;
        break;
    case Kind::Band:
        f.b0 = alpha / a0;
        f.b1 = 0.0f;
        f.b2 = -alpha / a0;
        break;
    }
    f.a1 = -2.0f * cw / a0;
    f.a2 = (1.0f - alpha) / a0;
    return f;
}

} // namespace

Biquad lowPass(float hz, float q) { return design(Kind::Low, hz, q); }
Biquad highPass(float hz, float q) { return design(Kind::High, hz, q); }
Biquad bandPass(float hz, float q) { return design(Kind::Band, hz, q); }

void filter(Signal& s, Biquad f) {
    for (float& v : s) v = f.run(v);
}

void sweptBandPass(Signal& s, float startHz, float endHz, float q) {
    Biquad f = bandPass(startHz, q);
    const float n = static_cast<float>(std::max<std::size_t>(s.size(), 1));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Biquad shape = bandPass(startHz * std::pow(endHz / startHz, static_cast<float>(i) / n), q);
        f.b0 = shape.b0;
        f.b1 = shape.b1;
        f.b2 = shape.b2;
        f.a1 = shape.a1;
        f.a2 = shape.a2;
        s[i] = f.run(s[i]);
    }
}

void shapeHit(Signal& s, float attack, float decay) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = secondsOf(i);
        const float rise = t < attack ? 0.5f - 0.5f * std::cos(3.14159265f * t / attack) : 1.0f;
        s[i] *= rise * std::exp(-std::max(0.0f, t - attack) / decay);
    }
}

void fadeEnds(Signal& s, float fadeIn, float fadeOut) {
    const std::size_t in = std::min(framesOf(fadeIn), s.size()), out = std::min(framesOf(fadeOut), s.size());
    for (std::size_t i = 0; i < in; ++i) {
        s[i] *= 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(i) / static_cast<float>(in));
    }
    for (std::size_t i = 0; i < out; ++i) {
        s[s.size() - 1 - i] *= 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(i) / static_cast<float>(out));
    }
}

void mixInto(Signal& dst, const Signal& src, float atSeconds, float gain) {
    const std::size_t start = framesOf(atSeconds);
    if (dst.size() < start + src.size()) dst.resize(start + src.size(), 0.0f);
    for (std::size_t i = 0; i < src.size(); ++i) dst[start + i] += gain * src[i];
}

void normalise(Signal& s, float peak) {
    float largest = 0.0f;
    for (float v : s) largest = std::max(largest, std::fabs(v));
    if (largest <= 0.0f) return;
    for (float& v : s) v *= peak / largest;
}

Signal note(float freq, float seconds, std::initializer_list<Partial> partials, float attack, float release,
            float vibratoHz, float vibratoDepth) {
    Signal s(framesOf(seconds), 0.0f);
    for (const Partial& p : partials) {
        float phase = 0.0f;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const float t = secondsOf(i);
            const float bend = 1.0f + vibratoDepth * std::sin(twoPi * vibratoHz * t);
            phase += twoPi * freq * p.ratio * bend / synthRate;
            if (phase > twoPi) phase -= twoPi;
            const float level = p.decay > 0.0f ? std::exp(-t / p.decay) : 1.0f;
            s[i] += p.amplitude * level * std::sin(phase);
        }
    }
    fadeEnds(s, attack, release);
    return s;
}

Signal makeLoop(const Signal& longer, std::size_t loopFrames) {
    Signal loop(longer.begin(), longer.begin() + static_cast<std::ptrdiff_t>(std::min(loopFrames, longer.size())));
    const std::size_t fade = longer.size() > loopFrames ? longer.size() - loopFrames : 0;
    for (std::size_t i = 0; i < fade && i < loop.size(); ++i) {
        // Equal power, since head and tail are unrelated noise: sin^2 + cos^2 = 1.
        const float x = 0.5f * 3.14159265f * (static_cast<float>(i) + 0.5f) / static_cast<float>(fade);
        loop[i] = loop[i] * std::sin(x) + longer[loopFrames + i] * std::cos(x);
    }
    return loop;
}
