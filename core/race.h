// One race as a value: the course, its ground and physics world, the race state and clock, the camera, the sparks,
// the frame's sound moments and the player's record for the course; and every race rule, as functions on it.
#pragma once

#include <memory>
#include <string>

#include <glm/vec3.hpp>

#include "core/camera.h"
#include "core/course.h"
#include "core/ghost.h"
#include "core/input.h"
#include "core/particles.h"
#include "core/physics.h"
#include "core/race_state.h"
#include "core/records.h"
#include "core/sound_events.h"
#include "core/terrain.h"

// Owns everything one race on one course needs; dropping it frees all of it. Bullet holds pointers into it, so it
// stays where it was made.
struct Race {
    Race(Course c, Terrain t);
    Race(const Race&) = delete;
    Race& operator=(const Race&) = delete;

    const Course course;
    const Terrain terrain; // before the world: the heightfield reads its samples in place
    PhysicsWorld world;
    PhysicsBody ball;
    PhysicsBody ground;
    RaceState state;
    FrameClock clock;
    Camera camera;
    ParticlePool particles;
    SoundFrame sounds;   // what this frame asks the audio layer to play; cleared once played
    SoundMemory soundMemory;
    uint64_t courseId = 0;   // the course's identity: what its records and ghosts are filed under
    GhostRecorder recorder;  // this race's run so far
    Ghost ghost;             // the run shown beside the ball: the record's, or none
    PersonalRecords records; // off until setupRecords
};

// A race on course, from its heightmap: the ball on the start, the camera behind it facing the start heading. Null
// after printing why the heightmap could not be used.
std::unique_ptr<Race> makeRace(const Course& course);

// Step 1 of the frame update: advances the clock to now (seconds) and the countdown while rolling. While paused
// the frame's deltaTime is 0, so neither totalTime, the countdown nor anything timed by the frame moves.
void tickClock(Race& race, float now);
// Everything after event polling, on the frame's input: the pause, reset, the rolling step, out of bounds,
// checkpoints, camera, particles, and the end of the get-ready pause. While paused only the pause toggle is read.
// The game and the simulator both call it.
void advanceFrame(Race& race, const FrameInput& input);

// Starts a new race at the start checkpoint.
void resetRace(Race& race);
// The session's first race: a reset whose get-ready pause lasts one second longer, counted from now (seconds on
// the frame clock's time base).
void startFirstRace(Race& race, double now);

// The course spans -width/2..width/2 in x and -height/2..height/2 in z.
bool isOutOfBounds(const glm::vec3& p, int width, int height);
// Collects every uncollected checkpoint within reach of the ball, in index order, with its message.
void collectCheckpoints(Race& race, const glm::vec3& ball);

// Takes the records file's verdict on the last won race's time when it has come back: "New record!" only for a win
// that beat what the file held at that moment. Never waits; advanceFrame calls it every frame.
void collectRecordDecision(Race& race);

glm::vec3 ballPosition(const Race& race);
glm::vec3 ballVelocity(const Race& race);

// The end-of-session lines, without the final prompt.
std::string sessionReport(const RaceState& race);
