// The race rules: the frame's rules on plain input, resets, boost, checkpoints, goal, time-out and out of bounds.
#pragma once

#include <string>

#include <glm/vec3.hpp>

#include "core/input.h"
#include "core/race_state.h"

// Step 1 of the frame update: advances the clock to now (seconds) and the countdown while rolling. While paused
// the frame's deltaTime is 0, so neither totalTime, the countdown nor anything timed by the frame moves.
void tickClock(float now);
// Everything after event polling, on the frame's input: render flags, the pause, reset, the rolling step, out of
// bounds, checkpoints, camera and particles. While paused only the render flags and the pause toggle are read.
// The game's updateFrame and the simulator both call it.
void advanceFrame(const FrameInput& input);

// Starts a new race at the start checkpoint.
void resetRace();
// The session's first race: a reset whose get-ready pause lasts one second longer, counted from now (seconds on
// the frame clock's time base).
void startFirstRace(double now);

// The course spans -width/2..width/2 in x and -height/2..height/2 in z.
bool isOutOfBounds(const glm::vec3& p, int width, int height);
// Collects every uncollected checkpoint within reach of the ball, in index order, with its message.
void collectCheckpoints(RaceState& race, const FrameClock& clock, const glm::vec3& ball);

// The end-of-session lines, without the final prompt.
std::string sessionReport(const RaceState& race);
