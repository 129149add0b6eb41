// Sound synthesis for the generator: signals as float samples, noise, filters, envelopes, tones and loops.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "core/seeded_random.h"

constexpr float synthRate = 44100.0f; // frames per second; the rate every sound is written at
constexpr float twoPi = 6.28318530718f;

using Signal = std::vector<float>;

std::size_t framesOf(float seconds);
float secondsOf(std::size_t frame);
Signal silence(float seconds);
// Uniform white noise in -1..1 from the seeded sequence.
Signal whiteNoise(float seconds, SeededRandom& random);

// A second-order filter (the audio cookbook's biquads), run sample by sample.
struct Biquad {
    float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    float run(float x);
};
Biquad lowPass(float hz, float q = 0.7071f);
Biquad highPass(float hz, float q = 0.7071f);
Biquad bandPass(float hz, float q); // unit gain at the centre
void filter(Signal& s, Biquad f);
// A band pass whose centre glides exponentially from startHz to endHz over the signal.
void sweptBandPass(Signal& s, float startHz, float endHz, float q);

// Multiplies by an envelope that rises over attack seconds (raised cosine) and then decays as exp(-t / decay).
void shapeHit(Signal& s, float attack, float decay);
// Raised-cosine fades over the first and last given seconds; the end samples become exactly zero.
void fadeEnds(Signal& s, float fadeIn, float fadeOut);
// Adds src, scaled, starting at the given second; dst grows if needed.
void mixInto(Signal& dst, const Signal& src, float atSeconds, float gain = 1.0f);
// Scales so the largest magnitude is peak.
void normalise(Signal& s, float peak);

// One partial of a struck or blown note: frequency ratio to the fundamental, amplitude, decay time in seconds
// (0 keeps it sustained at the note's own envelope).
struct Partial {
    float ratio;
    float amplitude;
    float decay;
};
// A note of the given length: partials of freq, each with a short raised-cosine attack, its own decay and a
// release at the end. vibratoHz / vibratoDepth (fraction of the frequency) bend the pitch gently.
Signal note(float freq, float seconds, std::initializer_list<Partial> partials, float attack, float release,
            float vibratoHz = 0.0f, float vibratoDepth = 0.0f);

// Turns a signal of loopFrames + crossfade frames into a seamless loop of loopFrames: the tail beyond the loop is
// faded (equal power) into its head, so the last sample runs on into the first as in the original signal.
Signal makeLoop(const Signal& longer, std::size_t loopFrames);
