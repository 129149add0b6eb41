// Ghost runs: recording at a fixed rate, gliding between samples, the splits, and the ghost file.
#include "core/ghost.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/atomic_file.h"
#include "core/records.h"

namespace {

constexpr char ghostMagic[8] = {'K', 'V', 'G', 'G', 'H', 'O', 'S', 'T'};
constexpr uint32_t ghostVersion = 1;
constexpr uint32_t maxGhostSplits = 1024;
constexpr std::size_t headerBytes = 8 + 4 + 8 + 4 + 4 + 4; // magic, version, course, rate, samples, splits
constexpr std::size_t sampleBytes = 7 * 4;                  // position and orientation, floats
constexpr std::size_t checksumBytes = 8;
constexpr uint64_t fnvOffset = 14695981039346656037ull, fnvPrime = 1099511628211ull;
constexpr std::uintmax_t maxGhostFileBytes =
    headerBytes + maxGhostSplits * 4 + std::uintmax_t(ghostMaxSamples) * sampleBytes + checksumBytes;

uint64_t checksum(const uint8_t* bytes, std::size_t count) {
    uint64_t hash = fnvOffset;
    for (std::size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * fnvPrime;
    return hash;
}

struct Writer {
    std::vector<uint8_t>& out;
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    }
    void u64(uint64_t v) {
        for (int i = 0; i < 8; ++i) out.push_back(uint8_t(v >> (8 * i)));
    }
    void f32(float f) {
        uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        u32(bits);
    }
};

struct Reader {
    const std::vector<uint8_t>& in;
    std::size_t at = 0;
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(in[at++]) << (8 * i);
        return v;
    }
    uint64_t u64() {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= uint64_t(in[at++]) << (8 * i);
        return v;
    }
    float f32() {
        const uint32_t bits = u32();
        float f = 0.0f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
};

GhostSample blend(const GhostSample& a, const GhostSample& b, float t) {
    GhostSample s;
    s.position = a.position + (b.position - a.position) * t;
    s.orientation = glm::slerp(a.orientation, b.orientation, t);
    return s;
}

} // namespace

float Ghost::duration() const {
    return samples.empty() ? 0.0f : float(samples.size() - 1) / float(ghostSampleRate);
}

GhostPose ghostPoseAt(const Ghost& ghost, float raceClock) {
    GhostPose pose;
    if (ghost.samples.empty()) return pose;
    pose.opacity = 1.0f;
    // A clock that is no number waits on the start, like one before it.
    const float clock = raceClock > 0.0f ? raceClock : 0.0f;
    const float index = clock * float(ghostSampleRate);
    const std::size_t last = ghost.samples.size() - 1;
    if (!(index < float(last))) {
        const GhostSample& end = ghost.samples[last];
        pose.position = end.position;
        pose.orientation = end.orientation;
        const float after = clock - ghost.duration();
        pose.opacity = std::clamp(1.0f - after / ghostFadeSeconds, 0.0f, 1.0f);
        return pose;
    }
    const std::size_t k = std::size_t(index);
    const GhostSample s = blend(ghost.samples[k], ghost.samples[k + 1], index - float(k));
    pose.position = s.position;
    pose.orientation = s.orientation;
    return pose;
}

GhostRecorder::GhostRecorder() {
    run.samples.reserve(ghostMaxSamples);
}

void restartGhost(GhostRecorder& recorder, uint64_t courseId, std::size_t checkpointCount) {
    recorder.run.courseId = courseId;
    recorder.run.samples.clear();
    recorder.run.splits.assign(checkpointCount, -1.0f);
    if (!recorder.run.splits.empty()) recorder.run.splits[0] = 0.0f;
    recorder.lastClock = -1.0f;
    recorder.full = false;
}

void recordGhostFrame(GhostRecorder& recorder, float raceClock, const GhostSample& pose) {
    if (!(raceClock >= 0.0f)) return;
    std::vector<GhostSample>& samples = recorder.run.samples;
    if (recorder.lastClock < 0.0f) {
        // The first frame of the run: the ball as it stands at the start.
        samples.push_back(pose);
    } else if (raceClock > recorder.lastClock) {
        // Every sample whose moment lies in (lastClock, raceClock], placed on the line between the two frames.
        while (!recorder.full) {
            const float due = float(samples.size()) / float(ghostSampleRate);
            if (due > raceClock) break;
            if (samples.size() >= ghostMaxSamples) {
                recorder.full = true;
                break;
            }
            const float t = (due - recorder.lastClock) / (raceClock - recorder.lastClock);
            samples.push_back(blend(recorder.lastPose, pose, std::clamp(t, 0.0f, 1.0f)));
        }
    }
    recorder.lastPose = pose;
    recorder.lastClock = raceClock;
}

void recordGhostSplit(GhostRecorder& recorder, std::size_t checkpoint, float raceClock) {
    if (checkpoint < recorder.run.splits.size()) recorder.run.splits[checkpoint] = raceClock;
}

bool splitAgainst(const Ghost& ghost, std::size_t checkpoint, float raceClock, long& hundredths) {
    if (checkpoint >= ghost.splits.size() || !(ghost.splits[checkpoint] >= 0.0f) || !std::isfinite(raceClock)) {
        return false;
    }
    hundredths = splitHundredths(raceClock, ghost.splits[checkpoint]);
    return true;
}

long splitHundredths(float mine, float theirs) {
    // Both rounded as the clock shows them, so a time that reads the same is never behind.
    return std::lround(double(mine) * 100.0) - std::lround(double(theirs) * 100.0);
}

std::string ghostPathFrom(const char* xdgDataHome, const char* home, const std::string& courseId) {
    const std::string folder = playerDataFolderFrom(xdgDataHome, home);
    if (folder.empty()) return {};
    return (std::filesystem::path(folder) / ghostsFolder / (courseId + ghostSuffix)).string();
}

std::vector<uint8_t> encodeGhost(const Ghost& ghost) {
    std::vector<uint8_t> out;
    const std::size_t samples = std::min<std::size_t>(ghost.samples.size(), ghostMaxSamples);
    const std::size_t splits = std::min<std::size_t>(ghost.splits.size(), maxGhostSplits);
    out.reserve(headerBytes + splits * 4 + samples * sampleBytes + checksumBytes);
    for (char c : ghostMagic) out.push_back(uint8_t(c));
    Writer w{out};
    w.u32(ghostVersion);
    w.u64(ghost.courseId);
    w.u32(ghostSampleRate);
    w.u32(uint32_t(samples));
    w.u32(uint32_t(splits));
    for (std::size_t i = 0; i < splits; ++i) w.f32(ghost.splits[i]);
    for (std::size_t i = 0; i < samples; ++i) {
        const GhostSample& s = ghost.samples[i];
        for (int a = 0; a < 3; ++a) w.f32(s.position[a]);
        w.f32(s.orientation.w);
        w.f32(s.orientation.x);
        w.f32(s.orientation.y);
        w.f32(s.orientation.z);
    }
    w.u64(checksum(out.data(), out.size()));
    return out;
}

bool decodeGhost(const std::vector<uint8_t>& bytes, uint64_t courseId, Ghost& out, std::string& reason) {
    if (bytes.size() < headerBytes + checksumBytes || std::memcmp(bytes.data(), ghostMagic, sizeof ghostMagic) != 0) {
        reason = "not a ghost file";
        return false;
    }
    Reader r{bytes, sizeof ghostMagic};
    const uint32_t version = r.u32();
    if (version != ghostVersion) {
        reason = version > ghostVersion ? "made by a newer game" : "of an unknown version";
        return false;
    }
    const uint64_t course = r.u64();
    const uint32_t rate = r.u32();
    const uint32_t samples = r.u32();
    const uint32_t splits = r.u32();
    if (rate != ghostSampleRate || samples == 0 || samples > ghostMaxSamples || splits > maxGhostSplits) {
        reason = "its counts are out of range";
        return false;
    }
    const std::size_t expected = headerBytes + std::size_t(splits) * 4 + std::size_t(samples) * sampleBytes +
                                 checksumBytes;
    if (bytes.size() != expected) {
        reason = "its length does not match its counts";
        return false;
    }
    Reader tail{bytes, expected - checksumBytes};
    if (tail.u64() != checksum(bytes.data(), expected - checksumBytes)) {
        reason = "its checksum does not match";
        return false;
    }
    if (course != courseId) {
        reason = "of another version of this course";
        return false;
    }
    Ghost ghost;
    ghost.courseId = course;
    ghost.splits.resize(splits);
    for (float& split : ghost.splits) split = r.f32();
    ghost.samples.resize(samples);
    for (GhostSample& s : ghost.samples) {
        for (int a = 0; a < 3; ++a) s.position[a] = r.f32();
        s.orientation.w = r.f32();
        s.orientation.x = r.f32();
        s.orientation.y = r.f32();
        s.orientation.z = r.f32();
        const bool finite = std::isfinite(s.position.x) && std::isfinite(s.position.y) && std::isfinite(s.position.z) &&
                            std::isfinite(glm::length(s.orientation));
        if (!finite || glm::length(s.orientation) < 0.5f) {
            reason = "a sample is no place";
            return false;
        }
        s.orientation = glm::normalize(s.orientation);
    }
    out = std::move(ghost);
    return true;
}

bool loadGhost(const std::string& path, uint64_t courseId, Ghost& out) {
    std::error_code code;
    if (path.empty() || !std::filesystem::exists(path, code)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    std::string reason;
    std::vector<uint8_t> bytes;
    if (code || size > maxGhostFileBytes) {
        reason = code ? code.message() : "too large";
    } else {
        std::ifstream file(path, std::ios::binary);
        bytes.resize(std::size_t(size));
        if (!file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) reason = "cannot be read";
    }
    if (reason.empty() && decodeGhost(bytes, courseId, out, reason)) return true;
    // A ghost of another course version is kept for that version; anything else broken is moved out of the way.
    const bool keep = reason == "of another version of this course" || reason == "made by a newer game";
    if (keep) {
        std::fprintf(stderr, "Ghost %s is %s; racing without it.\n", path.c_str(), reason.c_str());
    } else {
        const std::string aside = path + ".broken";
        std::rename(path.c_str(), aside.c_str());
        std::fprintf(stderr, "Ghost %s is unusable (%s); moved it to %s and racing without it.\n", path.c_str(),
                     reason.c_str(), aside.c_str());
    }
    return false;
}

bool saveGhost(const std::string& path, const Ghost& ghost) {
    if (path.empty() || ghost.empty()) return false;
    const std::vector<uint8_t> bytes = encodeGhost(ghost);
    std::string reason;
    if (!writeFileAtomically(path, std::string(bytes.begin(), bytes.end()), reason)) {
        std::fprintf(stderr, "Cannot save the ghost to %s (%s).\n", path.c_str(), reason.c_str());
        return false;
    }
    return true;
}
