// The race records every part of the game reads: frame clock, race phase and values, checkpoint table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#include <glm/vec3.hpp>

enum class RacePhase : int32_t {
    GetReady = 0, // ball held on the start, waiting for the start
    Rolling = 1,  // countdown, boost and physics run
    Won = 3,      // goal reached; ball and countdown frozen
    Lost = 4,     // countdown ran out; ball and countdown frozen
};

constexpr std::size_t checkpointCount = 10;
constexpr std::size_t goalIndex = checkpointCount - 1;
constexpr float reachRadius = 5.5f;  // world units
constexpr float raceSeconds = 20.0f; // countdown at each reset
constexpr float startBoost = 0.5f;   // boost reserve at each reset; one unit lasts two seconds of boosting
constexpr double getReadySeconds = 2.0; // from a reset to the start of rolling

struct FrameClock {
    float lastFrameTime = 0.0f; // GLFW time at the previous update, seconds
    float deltaTime = 0.0f;     // seconds between this update and the previous one
    float totalTime = 0.0f;     // sum of all deltaTime: the game's clock
    float animationTime = 0.0f; // a second sum, turns the checkpoint markers
    bool paused = false;        // while set, deltaTime is 0: every clock of the race stands still
};

struct RaceState {
    RacePhase phase = RacePhase::GetReady;
    float timer = raceSeconds; // countdown, seconds
    float boost = startBoost;  // reserve
    float raceStart = 0.0f;  // totalTime at the last reset
    int32_t raceNumber = 0;  // resets so far; the first race is number 1
    float bestTime = std::numeric_limits<float>::infinity();
    int32_t bestRace = 0;    // 0 while no race was won
    std::array<bool, checkpointCount> reached{};
    float raceClock = 0.0f;  // seconds since "Let's roll!", frozen when the goal is reached or time runs out
    bool newRecord = false;  // this race's win beat the player's record for the course
};

// Entry 0 is the start, the last entry the goal. Fixed for the whole run.
extern const std::array<glm::vec3, checkpointCount> checkpoints;

// Both hold their load values before main runs; the race rules and the HUD change them.
extern FrameClock frameClock;
extern RaceState raceState;

// True once a get-ready pause has lasted getReadySeconds.
bool rollingIsDue(const RaceState& race, const FrameClock& clock);
// Ends the get-ready pause when it is due; true when the phase turned to Rolling. The frame's HUD step calls it
// after laying out the HUD, which already shows the let's-roll message in that frame.
bool startRollingIfDue(RaceState& race, const FrameClock& clock);
