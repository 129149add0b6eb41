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
    bool showGhost = true;   // the player's choice (the setting, toggled by G); the game keeps it across courses
    PersonalRecords records; // off until setupRecords
    bool speaks = true;      // prints the race's console lines; a race proving a new course keeps quiet
};

// A race on course, from its heightmap: the ball on the start, the camera behind it facing the start heading. Null
// after printing why the heightmap could not be used.
std::unique_ptr<Race> makeRace(const Course& course);
// The same on a heightmap already decoded (its goal hollow not yet pressed), filed under identity: how a course made
// in memory is raced before it is saved.
std::unique_ptr<Race> makeRaceOnGrid(const Course& course, HeightGrid grid, uint64_t identity);

// Step 1 of the frame update: advances the clock to now (seconds) and the countdown while rolling. While paused
// the frame's deltaTime is 0, so neither totalTime, the countdown nor anything timed by the frame moves.
void tickClock(Race& race, float now);
// Everything after event polling, on the frame's input: the pause, reset, the rolling step, out of bounds,
// checkpoints, camera, particles, and the end of the get-ready pause. While paused only the pause toggle is read.
// The game and the simulator both call it.
void advanceFrame(Race& race, const FrameInput& input);

// The ghost a course brings with it: ghost.ghost in the course's own folder (shipped, or made with the course).
std::string courseGhostPath(const std::string& courseFolder);
// A shipped course's: courseGhostPath of its folder inside dataFolder.
std::string shippedGhostPath(const std::string& dataFolder, const std::string& courseId);
// Chooses the ghost a race shows: the player's own run at playerGhostPath (which also becomes where a record's run
// is saved), else the one the course brings in courseFolder. A missing, broken or foreign file costs at most one
// line; the race then has the other ghost, or none.
void loadRaceGhost(Race& race, const std::string& courseFolder, const std::string& playerGhostPath);

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

// The race clock the ghost runs on: 0 during get-ready (it waits on the start), the race clock while rolling, and
// after the race ends it runs on, so a ghost still on its way reaches the goal and fades.
float ghostClock(const Race& race);
// How long a split stays on the HUD, in seconds of the frame clock's totalTime (which stands still while paused).
constexpr float splitShownSeconds = 2.0f;
// The last split while it is shown: false once splitShownSeconds have passed since it was taken, or with none.
bool splitShown(const RaceState& state, const FrameClock& clock);

glm::vec3 ballPosition(const Race& race);
glm::vec3 ballVelocity(const Race& race);

// The end-of-session lines, without the final prompt.
std::string sessionReport(const RaceState& race);
