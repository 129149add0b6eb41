// The game's sound files: which sounds there are, where each lives, and decoding one into memory without a device.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class SoundId : int32_t {
    Rolling,    // loop while the ball rolls on the ground
    Landing,    // thud when the ball comes down hard
    Boost,      // loop while the boost is spent
    BoostEmpty, // click when the boost is asked for with none left
    Checkpoint,
    GetReady,
    LetsRoll,
    Tick,       // each of the last five seconds
    Won,
    Lost,
    LeftCourse,
};
constexpr std::size_t soundCount = 11;

constexpr int32_t soundSampleRate = 44100; // frames per second of every shipped sound
constexpr float maxSoundSeconds = 30.0f;   // longer files are refused rather than held in memory

struct SoundFile {
    const char* path; // relative to the data folder, like every file the game opens
    bool loops;       // played seamlessly round and round rather than once
};

// Indexed by SoundId.
constexpr std::array<SoundFile, soundCount> soundFiles = {{
    {"Sounds/rolling.flac", true},
    {"Sounds/landing.flac", false},
    {"Sounds/boost.flac", true},
    {"Sounds/boost_empty.flac", false},
    {"Sounds/checkpoint.flac", false},
    {"Sounds/get_ready.flac", false},
    {"Sounds/lets_roll.flac", false},
    {"Sounds/tick.flac", false},
    {"Sounds/won.flac", false},
    {"Sounds/lost.flac", false},
    {"Sounds/left_course.flac", false},
}};

constexpr const SoundFile& soundFile(SoundId id) { return soundFiles[static_cast<std::size_t>(id)]; }

// One decoded mono sound, 16-bit samples as OpenAL takes them.
struct SoundClip {
    int32_t sampleRate = 0;
    std::vector<int16_t> samples;
};

// Reads the whole file at path into clip. False, with error naming the file and the reason, when it cannot be
// opened or decoded, holds no samples, more than one channel or more than maxSoundSeconds; clip is then empty.
bool decodeSound(const char* path, SoundClip& clip, std::string& error);
