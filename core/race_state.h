// The race records every part of the game reads: frame clock, race phase and values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

enum class RacePhase : int32_t {
    GetReady = 0, // ball held on the start, waiting for the start
    Rolling = 1,  // countdown, boost and physics run
    Won = 3,      // goal reached; ball and countdown frozen
    Lost = 4,     // countdown ran out; ball and countdown frozen
};

constexpr double getReadySeconds = 2.0; // from a reset to the start of rolling

struct FrameClock {
    float lastFrameTime = 0.0f; // the time source's reading at the previous update, seconds
    float deltaTime = 0.0f;     // seconds between this update and the previous one
    float totalTime = 0.0f;     // sum of all deltaTime: the game's clock
    float animationTime = 0.0f; // a second sum, turns the checkpoint markers
    bool paused = false;        // while set, deltaTime is 0: every clock of the race stands still
};

struct RaceState {
    RacePhase phase = RacePhase::GetReady;
    float timer = 0.0f;      // countdown, seconds; the course's countdown at each reset
    float boost = 0.0f;      // reserve; the course's start boost at each reset
    float raceStart = 0.0f;  // totalTime at the last reset
    int32_t raceNumber = 0;  // resets so far; the first race is number 1
    float bestTime = std::numeric_limits<float>::infinity();
    int32_t bestRace = 0;    // 0 while no race was won
    std::vector<bool> reached; // one per checkpoint of the course
    float raceClock = 0.0f;  // seconds since "Let's roll!", frozen when the goal is reached or time runs out
    bool newRecord = false;  // this race's win beat the player's record for the course, as the records file held it
    int32_t recordRace = 0;  // the race whose time is being judged against the records file, 0 for none
    bool letsRollThisFrame = false; // the get-ready pause ended in this frame's update: the HUD shows both messages
    // The last split: the race clock at a checkpoint against the ghost's (at the goal, against the record), in
    // hundredths, negative when ahead; splitAt is the frame clock's totalTime when it was taken, 0 splits none.
    bool hasSplit = false;
    long splitHundredths = 0;
    float splitAt = 0.0f;
};

// True once a get-ready pause has lasted getReadySeconds.
bool rollingIsDue(const RaceState& race, const FrameClock& clock);
// Ends the get-ready pause when it is due; true when the phase turned to Rolling.
bool startRollingIfDue(RaceState& race, const FrameClock& clock);
