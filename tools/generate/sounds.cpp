// Sounds/: every sound effect of the game, synthesised from noise and tones and written as 16-bit mono FLAC.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <sndfile.h>

#include "core/sound_clip.h"
#include "tools/generate/generators.h"
#include "core/image_io.h"
#include "tools/generate/synth.h"

namespace {

constexpr float peakLevel = 0.89f;     // about -1 dBFS: headroom below full scale for every file
constexpr float fadeInSeconds = 0.003f;  // one-shots start and end on silence, so they never click
constexpr float fadeOutSeconds = 0.02f;
constexpr float preRollSeconds = 0.2f; // filtered noise is made this much longer and cut, dropping filter start-up
constexpr uint32_t soundSeed = 11;

// Note frequencies, Hz (equal temperament, A4 = 440).
constexpr float noteE4 = 329.63f, noteF4 = 349.23f, noteFs4 = 369.99f, noteG4 = 392.00f, noteA4 = 440.00f;
constexpr float noteC5 = 523.25f, noteE5 = 659.26f, noteG5 = 783.99f, noteA5 = 880.00f, noteC6 = 1046.50f;
constexpr float noteE6 = 1318.51f, noteB6 = 1975.53f;

// Filtered noise of the given length, its filters already settled.
Signal shapedNoise(float seconds, SeededRandom& random, std::initializer_list<Biquad> filters) {
    Signal s = whiteNoise(seconds + preRollSeconds, random);
    for (const Biquad& f : filters) filter(s, f);
    s.erase(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(framesOf(preRollSeconds)));
    return s;
}

// The ball on grass: low rumble with a soft gritty band whose grain swells seven times a loop. The game bends its
// pitch and gain with the ball's speed.
Signal rolling(SeededRandom& random) {
    constexpr float loopSeconds = 2.0f, crossfade = 0.25f, bumps = 7.0f;
    const float total = loopSeconds + crossfade;
    Signal rumble = shapedNoise(total, random, {lowPass(170.0f), lowPass(170.0f), highPass(35.0f)});
    Signal grit = shapedNoise(total, random, {bandPass(900.0f, 1.1f), lowPass(2500.0f)});
    normalise(rumble, 1.0f);
    normalise(grit, 1.0f);
    Signal s(rumble.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float grain = std::sin(3.14159265f * bumps * secondsOf(i) / loopSeconds);
        s[i] = rumble[i] + grit[i] * (0.10f + 0.12f * grain * grain);
    }
    return makeLoop(s, framesOf(loopSeconds));
}

// A ball coming down on turf: a pitch-dropping body, a dull knock and a brush of grass.
Signal landing(SeededRandom& random) {
    constexpr float seconds = 0.45f;
    Signal body(framesOf(seconds));
    float phase = 0.0f;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const float t = secondsOf(i);
        phase += twoPi * (50.0f + 80.0f * std::exp(-t / 0.04f)) / synthRate;
        body[i] = std::sin(phase);
    }
    shapeHit(body, 0.002f, 0.09f);
    Signal knock = shapedNoise(seconds, random, {lowPass(600.0f)});
    normalise(knock, 1.0f);
    shapeHit(knock, 0.001f, 0.025f);
    Signal grass = shapedNoise(seconds, random, {bandPass(2500.0f, 1.0f)});
    normalise(grass, 1.0f);
    shapeHit(grass, 0.001f, 0.015f);
    Signal s;
    mixInto(s, body, 0.0f);
    mixInto(s, knock, 0.0f, 0.55f);
    mixInto(s, grass, 0.0f, 0.15f);
    return s;
}

// The boost: a jet of breathy noise over a low engine hum with an eight-beat flutter. The hum and flutter repeat
// exactly within the loop, so only the noise needs the crossfade.
Signal boost(SeededRandom& random) {
    constexpr float loopSeconds = 1.0f, crossfade = 0.15f, humHz = 110.0f, flutterHz = 8.0f;
    Signal jet = shapedNoise(loopSeconds + crossfade, random, {bandPass(1400.0f, 0.8f), lowPass(5000.0f)});
    Signal hiss = shapedNoise(loopSeconds + crossfade, random, {highPass(4000.0f)});
    normalise(jet, 1.0f);
    normalise(hiss, 1.0f);
    for (std::size_t i = 0; i < jet.size(); ++i) jet[i] += 0.12f * hiss[i];
    Signal s = makeLoop(jet, framesOf(loopSeconds));
    Signal hum(s.size(), 0.0f);
    for (int harmonic = 1; harmonic <= 8; ++harmonic) {
        for (std::size_t i = 0; i < hum.size(); ++i) {
            const float h = static_cast<float>(harmonic);
            hum[i] += std::sin(twoPi * humHz * h * secondsOf(i)) / h;
        }
    }
    normalise(hum, 1.0f);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float flutter = 0.85f + 0.15f * std::sin(twoPi * flutterHz * secondsOf(i));
        s[i] = (0.6f * s[i] + 0.3f * hum[i]) * flutter;
    }
    return s;
}

// Asking an empty boost: a dry click, then a short fizzle that falls away with two sputters.
Signal boostEmpty(SeededRandom& random) {
    constexpr float seconds = 0.22f;
    Signal click = shapedNoise(0.006f, random, {highPass(2000.0f)});
    normalise(click, 1.0f);
    shapeHit(click, 0.0005f, 0.0015f);
    Signal fizzle = whiteNoise(seconds, random);
    sweptBandPass(fizzle, 3000.0f, 700.0f, 2.0f);
    normalise(fizzle, 1.0f);
    shapeHit(fizzle, 0.004f, 0.045f);
    Signal s;
    mixInto(s, click, 0.0f);
    mixInto(s, fizzle, 0.008f, 0.6f);
    for (float at : {0.065f, 0.115f}) {
        Signal sputter = shapedNoise(0.02f, random, {bandPass(1200.0f, 1.5f)});
        normalise(sputter, 1.0f);
        shapeHit(sputter, 0.001f, 0.005f);
        mixInto(s, sputter, at, 0.3f);
    }
    s.resize(framesOf(seconds), 0.0f);
    return s;
}

// Bell-like partials, slightly stretched like a small chime.
Signal chimeNote(float freq, float seconds) {
    return note(freq, seconds, {{1.0f, 1.0f, 0.35f}, {2.0f, 0.3f, 0.16f}, {3.01f, 0.12f, 0.09f}, {4.2f, 0.05f, 0.05f}},
                0.003f, 0.3f);
}

// A checkpoint: two bright rising chime strokes, a fifth apart.
Signal checkpoint(SeededRandom&) {
    Signal s;
    mixInto(s, chimeNote(noteE6, 1.1f), 0.0f, 0.8f);
    mixInto(s, chimeNote(noteB6, 1.1f), 0.09f, 0.7f);
    return s;
}

// A soft, rounded beep with a little body, as a start light sounds.
Signal beep(float freq, float seconds) {
    return note(freq, seconds, {{1.0f, 1.0f, 0.0f}, {2.0f, 0.25f, 0.0f}, {3.0f, 0.08f, 0.0f}}, 0.01f, 0.03f);
}

// Get ready: two calm beeps on A4.
Signal getReady(SeededRandom&) {
    Signal s;
    mixInto(s, beep(noteA4, 0.18f), 0.0f);
    mixInto(s, beep(noteA4, 0.18f), 0.4f);
    s.resize(framesOf(0.7f), 0.0f);
    return s;
}

// Let's roll: the higher start beep, an octave up, held, with a whoosh rising underneath.
Signal letsRoll(SeededRandom& random) {
    constexpr float seconds = 0.8f;
    Signal s;
    Signal tone = note(noteA5, 0.5f, {{1.0f, 1.0f, 0.0f}, {2.0f, 0.22f, 0.0f}, {3.0f, 0.07f, 0.0f}}, 0.008f, 0.2f);
    mixInto(s, tone, 0.0f);
    Signal whoosh = whiteNoise(seconds, random);
    sweptBandPass(whoosh, 500.0f, 2500.0f, 1.2f);
    normalise(whoosh, 1.0f);
    fadeEnds(whoosh, 0.25f, 0.5f);
    mixInto(s, whoosh, 0.0f, 0.3f);
    return s;
}

// One of the last five seconds: a short wooden tock.
Signal tick(SeededRandom& random) {
    Signal s = note(1800.0f, 0.12f, {{1.0f, 1.0f, 0.018f}, {1.5f, 0.4f, 0.012f}}, 0.0008f, 0.01f);
    Signal click = shapedNoise(0.004f, random, {highPass(3000.0f)});
    normalise(click, 1.0f);
    shapeHit(click, 0.0003f, 0.001f);
    mixInto(s, click, 0.0f, 0.25f);
    return s;
}

// Marimba-like: the fundamental and its quickly dying fourth partial.
Signal marimbaNote(float freq, float seconds, float decay) {
    return note(freq, seconds, {{1.0f, 1.0f, decay}, {4.0f, 0.25f, decay * 0.15f}, {10.0f, 0.04f, 0.01f}}, 0.002f,
                0.08f);
}

// Won: a rising C major arpeggio landing on the full chord.
Signal won(SeededRandom&) {
    Signal s;
    const float arpeggio[] = {noteC5, noteE5, noteG5, noteC6};
    for (int i = 0; i < 4; ++i) mixInto(s, marimbaNote(arpeggio[i], 0.5f, 0.25f), 0.12f * static_cast<float>(i), 0.6f);
    for (float f : arpeggio) mixInto(s, marimbaNote(f, 1.2f, 0.5f), 0.55f, 0.35f);
    return s;
}

// A warm, slightly brassy note: harmonics falling off as 1/n.
Signal hornNote(float freq, float seconds, float vibratoHz, float vibratoDepth) {
    return note(freq, seconds,
                {{1.0f, 1.0f, 0.0f}, {2.0f, 0.5f, 0.0f}, {3.0f, 0.3f, 0.0f}, {4.0f, 0.18f, 0.0f}, {5.0f, 0.1f, 0.0f}},
                0.03f, 0.08f, vibratoHz, vibratoDepth);
}

// Lost: three sagging steps down and a long, wobbling last note.
Signal lost(SeededRandom&) {
    Signal s;
    const float steps[] = {noteG4, noteFs4, noteF4};
    for (int i = 0; i < 3; ++i) mixInto(s, hornNote(steps[i], 0.32f, 0.0f, 0.0f), 0.36f * static_cast<float>(i));
    Signal last = hornNote(noteE4, 0.9f, 5.0f, 0.012f);
    fadeEnds(last, 0.03f, 0.5f);
    mixInto(s, last, 1.08f);
    filter(s, lowPass(2200.0f));
    return s;
}

// Leaving the course: a falling whistle with a whoosh sweeping down beside it.
Signal leftCourse(SeededRandom& random) {
    constexpr float seconds = 0.85f;
    Signal whistle(framesOf(seconds));
    float phase = 0.0f;
    for (std::size_t i = 0; i < whistle.size(); ++i) {
        phase += twoPi * 1400.0f * std::pow(250.0f / 1400.0f, std::min(1.0f, secondsOf(i) / 0.7f)) / synthRate;
        whistle[i] = std::sin(phase);
    }
    fadeEnds(whistle, 0.02f, 0.3f);
    Signal whoosh = whiteNoise(seconds, random);
    sweptBandPass(whoosh, 2000.0f, 300.0f, 1.5f);
    normalise(whoosh, 1.0f);
    fadeEnds(whoosh, 0.05f, 0.4f);
    Signal s;
    mixInto(s, whistle, 0.0f, 0.5f);
    mixInto(s, whoosh, 0.0f, 0.5f);
    return s;
}

using Recipe = Signal (*)(SeededRandom&);

// Indexed by SoundId, like soundFiles.
constexpr Recipe recipes[soundCount] = {rolling,  landing,  boost, boostEmpty, checkpoint, getReady,
                                        letsRoll, tick,     won,   lost,       leftCourse};

bool writeFlac(const std::string& path, const Signal& s) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(synthRate);
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const sf_count_t written = sf_writef_float(file, s.data(), static_cast<sf_count_t>(s.size()));
    sf_close(file);
    if (written != static_cast<sf_count_t>(s.size())) {
        std::fprintf(stderr, "cannot write %s: only %lld of %zu frames\n", path.c_str(),
                     static_cast<long long>(written), s.size());
        return false;
    }
    return true;
}

} // namespace

static_assert(static_cast<int32_t>(synthRate) == soundSampleRate, "the generator writes the rate the game expects");

bool generateSounds(const std::string& dataDir) {
    bool ok = true;
    for (std::size_t i = 0; i < soundCount; ++i) {
        // A seed per sound, so changing one recipe leaves the others' files as they were.
        SeededRandom random(soundSeed * 1000u + static_cast<uint32_t>(i));
        Signal s = recipes[i](random);
        if (!soundFiles[i].loops) fadeEnds(s, fadeInSeconds, fadeOutSeconds);
        normalise(s, peakLevel);
        const std::filesystem::path path = std::filesystem::path(dataDir) / soundFiles[i].path;
        std::string error;
        if (!ensureDirectory(path.parent_path().string(), error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
        if (!writeFlac(path.string(), s)) {
            ok = false;
            continue;
        }
        std::printf("wrote %s (%.2f s%s)\n", path.string().c_str(), secondsOf(s.size()),
                    soundFiles[i].loops ? ", loop" : "");
    }
    return ok;
}
