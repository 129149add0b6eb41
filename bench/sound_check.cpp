// Sound check: plays a scripted race of sound frames through the game's audio layer into OpenAL Soft's wave-file
// output, reads the recording back, prints how loud each part came out and whether that is as it should be, and
// times updateSound. Each part is judged from when its frames were really played, so a late frame moves the window
// with it; when the machine stalled inside a judged window the result is inconclusive. Usage (from data/):
// bench-sound_check [--disabled] [recording.wav]; exits 1 on a failed check, 77 when inconclusive.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <glm/geometric.hpp>
#include <sndfile.h>

#include "audio/sound.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr float frameSeconds = 1.0f / 60.0f;
constexpr float cameraDistance = 15.0f; // world units behind the ball, as the game's default camera
constexpr int timedCalls = 5000;        // updateSound calls in the tight timing loop

// The script: what the ball does from which second on. Each part is judged by its loudness over its middle.
struct Part {
    const char* name;
    float from, to;  // seconds
    bool rolling, boosting;
    float speed;     // world units per second
    bool checkpoint;     // at the part's start
    float landingSpeed;  // of a landing at the part's start, world units per second
    float judgedFrom;    // seconds into the part where judging starts: past fades and the output's lag (0.01-0.15 s)
};
const Part script[] = {
    {"resting", 0.0f, 1.0f, false, false, 0.0f, false, 0.0f, 0.35f},
    {"checkpoint chime", 1.0f, 2.0f, false, false, 0.0f, true, 0.0f, 0.35f},
    {"rolling slowly", 2.0f, 3.5f, true, false, 2.0f, false, 0.0f, 0.35f},
    {"rolling fast", 3.5f, 5.0f, true, false, 24.0f, false, 0.0f, 0.35f},
    {"in the air", 5.0f, 6.0f, false, false, 24.0f, false, 0.0f, 0.35f},
    {"boosting", 6.0f, 7.0f, false, true, 10.0f, false, 0.0f, 0.35f},
    {"after the boost", 7.0f, 8.0f, false, false, 0.0f, false, 0.0f, 0.35f},
    {"hard landing", 8.0f, 8.7f, false, false, 0.0f, false, loudLandingSpeed, 0.0f},
};
enum PartIndex { Resting, Chime, Slow, Fast, Air, Boosting, After, Landing, PartCount };
constexpr float judgedTail = 0.1f; // seconds left out at the end of each part
constexpr double stallSeconds = 0.1; // a gap between two frames this long leaves the sound of that moment unknown
constexpr int inconclusiveStatus = 77;

// When each part's first frame was really played, seconds after the recording started; the last entry is the end.
using PartTimes = std::vector<double>;

// Beside the recording, so that two checks at once do not share one.
std::string writeWaveConfig(const std::string& recording) {
    const std::string path = recording + ".alsoft.conf";
    std::ofstream(path) << "[general]\ndrivers = wave\n[wave]\nfile = " << recording << "\n";
    return path;
}

const Part& partAt(float t) {
    for (const Part& p : script) {
        if (t < p.to) return p;
    }
    return script[PartCount - 1];
}

// RMS of the recording over each part's middle as it was really played, channels averaged. Empty when there is no
// recording.
std::vector<double> partLoudness(const std::string& recording, const PartTimes& times) {
    SF_INFO info{};
    SNDFILE* file = sf_open(recording.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> samples(static_cast<std::size_t>(info.frames) * info.channels);
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    std::vector<double> loudness;
    for (int i = 0; i < PartCount; ++i) {
        const Part& p = script[i];
        const auto first = static_cast<sf_count_t>((times[i] + p.judgedFrom) * info.samplerate);
        const auto end = static_cast<sf_count_t>((times[i + 1] - judgedTail) * info.samplerate);
        const auto last = std::min<sf_count_t>(end, info.frames);
        double sum = 0.0;
        sf_count_t count = 0;
        for (sf_count_t f = first; f < last; ++f, ++count) {
            double mono = 0.0;
            for (int c = 0; c < info.channels; ++c) mono += samples[static_cast<std::size_t>(f * info.channels + c)];
            mono /= info.channels;
            sum += mono * mono;
        }
        loudness.push_back(count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0);
    }
    return loudness;
}

bool check(bool ok, const char* what) {
    std::printf("  %-58s %s\n", what, ok ? "ok" : "FAILED");
    return ok;
}

// The value below which the given share of v lies.
double percentile(std::vector<double> v, double share) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(share * static_cast<double>(v.size())))];
}

} // namespace

int main(int argc, char** argv) {
    bool disabled = false;
    std::string recording = (std::filesystem::temp_directory_path() / "kelvara-sound-check.wav").string();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--disabled") == 0) {
            disabled = true;
        } else {
            recording = argv[i];
        }
    }
    std::filesystem::remove(recording);
    setenv("ALSOFT_CONF", writeWaveConfig(recording).c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);

    Settings settings;
    settings.audioEnabled = !disabled;
    // The recording starts when the device does, inside setupSound, before the files are decoded: the script's
    // clock starts there too.
    const Clock::time_point start = Clock::now();
    AudioOutput audio;
    const bool playing = setupSound(audio, settings);
    std::printf("sound %s after %.0f ms of start-up, recording to %s\n", playing ? "on" : "off",
                std::chrono::duration<double, std::milli>(Clock::now() - start).count(), recording.c_str());

    // The script, frame by frame in real time, since the wave output records as a sound card would play.
    std::vector<double> frameMicros;
    SoundFrame frame;
    SoundListener listener;
    int partShown = -1;
    double lateness = 0.0;
    PartTimes partTimes(PartCount + 1, 0.0);
    for (int i = 0; i <= PartCount; ++i) partTimes[i] = i < PartCount ? script[i].from : script[PartCount - 1].to;
    double previousFrame = 0.0, longestGap = 0.0, gapAt = 0.0;
    for (int n = 0;; ++n) {
        const float t = static_cast<float>(n) * frameSeconds;
        if (t >= script[PartCount - 1].to) break;
        if (playing) std::this_thread::sleep_until(start + std::chrono::duration<float>(t));
        if (t >= script[Chime].from) {
            lateness = std::max(lateness, std::chrono::duration<double>(Clock::now() - start).count() - t);
        }
        const Part& part = partAt(t);
        const int index = static_cast<int>(&part - script);
        const double played = std::chrono::duration<double>(Clock::now() - start).count();
        // Without a device the script runs at once: its own times are the windows a stray recording is judged on.
        if (playing && index != partShown) partTimes[index] = played;
        if (n > 0 && played - previousFrame > longestGap) {
            longestGap = played - previousFrame;
            gapAt = played;
        }
        previousFrame = played;
        clearSoundEvents(frame);
        frame.checkpoint = part.checkpoint && index != partShown;
        frame.landingSpeed = index != partShown ? part.landingSpeed : 0.0f;
        partShown = index;
        frame.rolling = part.rolling;
        frame.boosting = part.boosting;
        frame.ballVelocity = glm::vec3(part.speed, 0.0f, 0.0f);
        frame.ballPosition += frame.ballVelocity * frameSeconds;
        listener.eye = frame.ballPosition - glm::vec3(1.0f, 0.0f, 0.0f) * cameraDistance + glm::vec3(0.0f, 3.0f, 0.0f);
        listener.front = glm::normalize(frame.ballPosition - listener.eye);
        const Clock::time_point before = Clock::now();
        updateSound(audio, frame, listener, frameSeconds);
        frameMicros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
    }

    // The same call in a tight loop, varying the ball so nothing is skipped as unchanged.
    std::vector<double> loopMicros;
    for (int n = 0; n < timedCalls; ++n) {
        clearSoundEvents(frame);
        frame.rolling = n % 2 == 0;
        frame.ballVelocity = glm::vec3(static_cast<float>(n % 25), 0.0f, 0.0f);
        const Clock::time_point before = Clock::now();
        updateSound(audio, frame, listener, frameSeconds);
        loopMicros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
    }
    if (playing) partTimes[PartCount] = std::max(previousFrame + frameSeconds, partTimes[PartCount - 1]);
    releaseSound(audio);
    std::printf("the latest frame ran %.0f ms behind the script; the longest gap between frames was %.0f ms\n",
                lateness * 1000.0, longestGap * 1000.0);

    std::printf("updateSound: median %.1f us, 99th percentile %.1f us, slowest %.1f us over %zu scripted frames; "
                "median %.1f us over %d back-to-back calls\n",
                percentile(frameMicros, 0.5), percentile(frameMicros, 0.99), percentile(frameMicros, 1.0),
                frameMicros.size(), percentile(loopMicros, 0.5), timedCalls);

    const std::vector<double> rms = partLoudness(recording, partTimes);
    if (disabled) {
        double loudest = 0.0;
        for (double r : rms) loudest = std::max(loudest, r);
        std::printf("recording: %s\n", rms.empty() ? "none" : "present");
        return check(loudest == 0.0, "with sound disabled nothing is heard") ? 0 : 1;
    }
    if (rms.size() != PartCount) {
        std::printf("no recording was made\n");
        return 1;
    }
    for (int i = 0; i < PartCount; ++i) std::printf("  %-18s rms %.5f\n", script[i].name, rms[i]);
    if (playing && longestGap > stallSeconds) {
        // The mixer played on while no frame came: what was heard then says nothing about the game's sound.
        std::printf("inconclusive: the machine stalled for %.0f ms at %.2f s\n", longestGap * 1000.0, gapAt);
        return inconclusiveStatus;
    }
    bool ok = true;
    ok &= check(rms[Resting] < 1e-4, "a resting ball is silent");
    ok &= check(rms[Chime] > 0.01 && rms[Chime] > 100.0 * rms[Resting], "the checkpoint chime sounds");
    ok &= check(rms[Slow] > 0.005, "a slowly rolling ball is heard");
    ok &= check(rms[Fast] > 1.5 * rms[Slow], "a fast ball rolls louder than a slow one");
    ok &= check(rms[Air] < 0.1 * rms[Fast], "the rolling fades out while the ball is in the air");
    ok &= check(rms[Boosting] > 0.01, "the boost is heard");
    ok &= check(rms[After] < 0.1 * rms[Boosting], "the boost stops with the button");
    ok &= check(rms[Landing] > 0.005, "a hard landing thuds");
    return ok ? 0 : 1;
}
