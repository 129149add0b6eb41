// The race rules: the per-frame update, resets, boost, checkpoints, goal, time-out and out of bounds.
#pragma once

#include <string>

#include <glm/vec3.hpp>

#include "app/race_state.h"

// What the player does this frame, read from GLFW by updateFrame or scripted by the simulator.
struct FrameInput {
    bool resetDown = false; // Enter held or right button down
    bool boostDown = false; // left button down
};

// The whole frame update: clock, events, rules, camera and particles. Reads GLFW.
void updateFrame();
// Step 1 of the update: advances the clock to now (seconds) and the countdown while rolling.
void tickClock(float now);
// Everything after event polling, on plain input; the simulator calls this directly.
void advanceFrame(const FrameInput& input);

// Starts a new race at the start checkpoint.
void resetRace();
// The get-ready pause ends two seconds after the reset; true when the phase turned to Rolling.
bool startRollingIfDue(RaceState& race, const FrameClock& clock);

// The course spans -width/2..width/2 in x and -height/2..height/2 in z.
bool isOutOfBounds(const glm::vec3& p, int width, int height);
// Collects every uncollected checkpoint within reach of the ball, in index order, with its message.
void collectCheckpoints(RaceState& race, const FrameClock& clock, const glm::vec3& ball);

// The end-of-session lines, without the final prompt.
std::string sessionReport(const RaceState& race);
