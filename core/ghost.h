// The ghost of a run: the ball's place and turn sampled at a fixed rate against the race clock, the race clock at
// each checkpoint, the file that keeps the best run of a course, and where the ghost is at any moment of a race.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

constexpr uint32_t ghostSampleRate = 30;          // samples per second of race clock
constexpr float ghostMaxSeconds = 600.0f;         // a run longer than this keeps its first ten minutes
constexpr uint32_t ghostMaxSamples = uint32_t(ghostMaxSeconds) * ghostSampleRate + 1;
constexpr float ghostFadeSeconds = 1.0f;          // after its last sample the ghost fades out over this long
constexpr const char* ghostsFolder = "ghosts";
constexpr const char* ghostSuffix = ".ghost";

struct GhostSample {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
};

// One run: sample k stands at race clock k / ghostSampleRate; splits[i] is the race clock at checkpoint i
// (negative for one the run never reached; the start's is 0).
struct Ghost {
    uint64_t courseId = 0;
    std::vector<GhostSample> samples;
    std::vector<float> splits;

    bool empty() const { return samples.empty(); }
    float duration() const; // race clock of the last sample
};

// What the ghost shows at a moment of the race clock: between samples it glides, before the first it waits on
// it, after the last it stays there and fades out.
struct GhostPose {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
    float opacity = 0.0f; // 1 while it runs, falling to 0 over ghostFadeSeconds after its end
};
GhostPose ghostPoseAt(const Ghost& ghost, float raceClock);

// Records a run as it happens. Room for the longest run is made once, so recording never allocates.
struct GhostRecorder {
    Ghost run;              // the run so far
    GhostSample lastPose;   // the ball at the previous frame, to place samples that fall between frames
    float lastClock = -1.0f; // race clock of the previous frame; negative before the first
    bool full = false;

    GhostRecorder();
};
// Starts a new run for a course of checkpointCount checkpoints.
void restartGhost(GhostRecorder& recorder, uint64_t courseId, std::size_t checkpointCount);
// The ball at this frame's race clock: every sample due since the previous frame is placed between the two frames.
void recordGhostFrame(GhostRecorder& recorder, float raceClock, const GhostSample& pose);
void recordGhostSplit(GhostRecorder& recorder, std::size_t checkpoint, float raceClock);

// A checkpoint's split against the ghost, in hundredths of a second as the HUD shows them: negative when ahead.
// False when the ghost has no time for that checkpoint.
bool splitAgainst(const Ghost& ghost, std::size_t checkpoint, float raceClock, long& hundredths);
// Two race-clock times compared as the HUD shows them: mine minus theirs in hundredths, each rounded first.
long splitHundredths(float mine, float theirs);

// $XDG_DATA_HOME/kelvara-golf/ghosts/<course id>.ghost (or under ~/.local/share); empty without either variable.
std::string ghostPathFrom(const char* xdgDataHome, const char* home, const std::string& courseId);

// The file: magic, version, course identity, sample rate, counts, splits, samples and a checksum of all before it,
// little-endian. encodeGhost never fails; decodeGhost says why in reason when the bytes are no ghost of courseId.
std::vector<uint8_t> encodeGhost(const Ghost& ghost);
bool decodeGhost(const std::vector<uint8_t>& bytes, uint64_t courseId, Ghost& out, std::string& reason);
// Reads a ghost for courseId from path. A missing file is no ghost and no message; a file of another course, of a
// newer version or broken gives one line on stderr and no ghost (a broken file is set aside as path + ".broken").
bool loadGhost(const std::string& path, uint64_t courseId, Ghost& out);
// Writes the ghost beside path and renames it over path after an fsync, so a crash leaves the old or the new file.
// False with one line on stderr when it cannot.
bool saveGhost(const std::string& path, const Ghost& ghost);
