// Every race rule, run once per frame on the frame's input, plus making a race, the resets and the session report.
#include "core/race.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include <glm/geometric.hpp>

#include "core/contacts.h"

namespace {

constexpr float boostSpendRate = 0.5f;      // reserve per second of boosting
constexpr float boostStrength = 2.0f;       // impulse per second of boosting
constexpr double firstRaceExtraWait = 1.0;  // seconds: the first get-ready lasts one second longer
constexpr unsigned winBurst = 200, keyBurst = 10; // particles

void rollingStep(Race& race, const FrameInput& input) {
    RaceState& state = race.state;
    const FrameClock& clock = race.clock;
    SoundFrame& sounds = race.sounds;
    if (input.printPosition && race.speaks) {
        const glm::vec3 p = ballPosition(race);
        std::printf("position: (%f, %f, %f)\n", p.x, p.y, p.z);
    }
    // Tested before the subtraction, so the reserve may end slightly below zero.
    sounds.boosting = input.boostDown && state.boost > 0.0f;
    if (sounds.boosting) {
        state.boost -= clock.deltaTime * boostSpendRate;
        pushBody(race.ball, race.camera.front * (clock.deltaTime * boostStrength));
    }
    if (state.reached[race.course.goalIndex()]) {
        state.phase = RacePhase::Won;
        spawnParticles(race.particles, ballPosition(race), winBurst);
    }
    // Overrides a win of the same frame.
    if (state.timer < 0.0f) {
        state.phase = RacePhase::Lost;
    }
    sounds.won = state.phase == RacePhase::Won;
    sounds.lost = state.phase == RacePhase::Lost;

    // A landing is told from a roll by the velocity the ball had before the step drove it into the ground.
    const glm::vec3 velocityBefore = ballVelocity(race);
    stepPhysics(race.world, clock.deltaTime);
    const BallContact contact = ballContact(race.world, race.ball, velocityBefore);
    sounds.landingSpeed = landingImpact(contact.closingSpeed, glm::length(velocityBefore));
    sounds.rolling = rollingOnGround(race.soundMemory, contact.touching, clock.deltaTime);
}

void takeSplit(RaceState& state, const FrameClock& clock, long hundredths) {
    state.hasSplit = true;
    state.splitHundredths = hundredths;
    state.splitAt = clock.totalTime;
}

} // namespace

Race::Race(Course c, Terrain t) : course(std::move(c)), terrain(std::move(t)) {
    // In this order: Bullet resolves contacts in the order bodies joined the world.
    ball = createBall(world, course.start());
    addExtraSphere(world);
    ground = createTerrainBody(world, terrain);
    resetCamera(camera, course.start(), course.startHeading);
    state.reached.assign(course.checkpoints.size(), false);
    state.timer = course.countdown;
    state.boost = course.startBoost;
}

std::unique_ptr<Race> makeRace(const Course& course) {
    if (course.checkpoints.size() < minCheckpoints) {
        std::fprintf(stderr, "The course %s has no start and goal\n", course.id.c_str());
        return nullptr;
    }
    Terrain terrain;
    if (!loadTerrain(course, terrain)) {
        return nullptr;
    }
    auto race = std::make_unique<Race>(course, std::move(terrain));
    race->courseId = courseIdentity(course.heightmapFile, course.checkpoints);
    return race;
}

std::unique_ptr<Race> makeRaceOnGrid(const Course& course, HeightGrid grid, uint64_t identity) {
    if (course.checkpoints.size() < minCheckpoints || grid.width < 2 || grid.height < 2) {
        std::fprintf(stderr, "The course %s has no start and goal or no ground\n", course.id.c_str());
        return nullptr;
    }
    pressGoalHollow(grid, course.goal().x, course.goal().z);
    auto race = std::make_unique<Race>(course, Terrain(std::move(grid), course.heightScale));
    race->courseId = identity;
    return race;
}

float ghostClock(const Race& race) {
    const RaceState& state = race.state;
    switch (state.phase) {
    case RacePhase::GetReady: return 0.0f;
    case RacePhase::Rolling: return state.raceClock;
    case RacePhase::Won:
    case RacePhase::Lost: break;
    }
    return std::max(state.raceClock, race.clock.totalTime - state.raceStart - float(getReadySeconds));
}

bool splitShown(const RaceState& state, const FrameClock& clock) {
    return state.hasSplit && clock.totalTime - state.splitAt < splitShownSeconds;
}

std::string courseGhostPath(const std::string& courseFolder) {
    return (std::filesystem::path(courseFolder) / "ghost.ghost").string();
}

std::string shippedGhostPath(const std::string& dataFolder, const std::string& courseId) {
    return courseGhostPath(std::filesystem::path(courseFilePath(dataFolder, courseId)).parent_path().string());
}

void loadRaceGhost(Race& race, const std::string& courseFolder, const std::string& playerGhostPath) {
    race.ghost = Ghost{};
    race.records.ghostFile = playerGhostPath;
    if (!playerGhostPath.empty() && loadGhost(playerGhostPath, race.courseId, race.ghost)) return;
    race.ghost = Ghost{};
    loadGhost(courseGhostPath(courseFolder), race.courseId, race.ghost);
}

glm::vec3 ballPosition(const Race& race) {
    return bodyPosition(race.ball);
}

glm::vec3 ballVelocity(const Race& race) {
    return bodyVelocity(race.ball);
}

void tickClock(Race& race, float now) {
    FrameClock& clock = race.clock;
    clock.deltaTime = now - clock.lastFrameTime;
    clock.lastFrameTime = now;
    // The frame clock keeps measuring, so the first frame after the pause does not make up for it.
    if (clock.paused) {
        clock.deltaTime = 0.0f;
    }
    clock.totalTime += clock.deltaTime;
    if (race.state.phase == RacePhase::Rolling) {
        const float before = race.state.timer;
        race.state.timer -= clock.deltaTime;
        race.sounds.tick = countdownTick(before, race.state.timer);
    }
}

void advanceFrame(Race& race, const FrameInput& input) {
    RaceState& state = race.state;
    FrameClock& clock = race.clock;
    SoundFrame& sounds = race.sounds;
    state.letsRollThisFrame = false;
    collectRecordDecision(race);
    // The clock ticked before this frame's input was read: a frame that pauses still runs, one that resumes
    // had no time to run.
    const bool wasPaused = clock.paused;
    if (input.togglePause) {
        clock.paused = !clock.paused;
    }
    // Shown or hidden at any moment, paused too: it only changes the picture.
    if (input.toggleGhost) {
        race.showGhost = !race.showGhost;
    }
    if (wasPaused) {
        // The ball stands still: its loops fade out until the game goes on.
        sounds.rolling = false;
        sounds.boosting = false;
        return;
    }
    if (input.sparks) {
        spawnParticles(race.particles, ballPosition(race), keyBurst);
    }

    // Holding reset restarts the race in every frame it is down; its cue sounds once per press.
    if (resetPressed(race.soundMemory, input.resetDown)) {
        sounds.getReady = true;
    }
    if (input.resetDown) {
        resetRace(race);
        stepPhysics(race.world, clock.deltaTime);
    }

    const bool rolling = state.phase == RacePhase::Rolling;
    sounds.boostEmpty = boostEmptyClick(race.soundMemory, rolling && input.boostDown, state.boost);
    if (rolling) {
        rollingStep(race, input);
    } else {
        // A held ball keeps its last velocity: neither rolling nor boosting is heard.
        sounds.rolling = false;
        sounds.boosting = false;
    }
    // The first race's pause is a second longer, but its raceStart is set a second later too, so this counts from
    // the same moment in every race.
    if (state.phase == RacePhase::Rolling && !state.reached[race.course.goalIndex()]) {
        state.raceClock = std::max(0.0f, clock.totalTime - state.raceStart - float(getReadySeconds));
        recordGhostFrame(race.recorder, state.raceClock, {ballPosition(race), bodyOrientation(race.ball)});
    }

    if (isOutOfBounds(ballPosition(race), race.terrain.width, race.terrain.height)) {
        if (race.speaks) std::printf("ich bin rausgeflogen");
        resetRace(race);
        sounds.leftCourse = true;
        sounds.getReady = true;
    }

    collectCheckpoints(race, ballPosition(race));
    clock.animationTime += clock.deltaTime;
    updateCamera(race.camera, input, ballPosition(race), clock.deltaTime, &race.terrain);
    updateParticles(race.particles, clock.deltaTime, cameraEye(race.camera));
    sounds.ballPosition = ballPosition(race);
    sounds.ballVelocity = ballVelocity(race);
    // Last, as the HUD of this frame already shows the let's-roll message.
    if (startRollingIfDue(state, clock)) {
        state.letsRollThisFrame = true;
        sounds.letsRoll = true;
    }
}

void resetRace(Race& race) {
    RaceState& state = race.state;
    placeBall(race.ball, race.course.start());
    stepPhysics(race.world, physicsSubstep); // two substeps: brings the motion state to the start
    state.timer = race.course.countdown;
    state.boost = race.course.startBoost;
    state.reached.assign(race.course.checkpoints.size(), false);
    state.raceClock = 0.0f;
    state.newRecord = false;
    state.hasSplit = false;
    state.raceNumber += 1;
    state.raceStart = race.clock.totalTime;
    state.phase = RacePhase::GetReady;
    restartGhost(race.recorder, race.courseId, race.course.checkpoints.size());
    cutCameraTo(race.camera, race.course.start(), race.course.startHeading);
}

void startFirstRace(Race& race, double now) {
    resetRace(race);
    race.state.raceStart = static_cast<float>(now + firstRaceExtraWait);
    race.sounds.getReady = true;
}

bool isOutOfBounds(const glm::vec3& p, int width, int height) {
    const float halfW = static_cast<float>(width) / 2.0f;
    const float halfH = static_cast<float>(height) / 2.0f;
    // A position that is no number (the physics blew up) is nowhere on the course either.
    return !(p.x <= halfW && p.x >= -halfW && p.z <= halfH && p.z >= -halfH && std::isfinite(p.y));
}

void collectCheckpoints(Race& race, const glm::vec3& ball) {
    RaceState& state = race.state;
    const Course& course = race.course;
    for (std::size_t i = 1; i < course.checkpoints.size(); ++i) {
        // Written so that a ball position that is no number reaches nothing.
        if (state.reached[i] || !(glm::length(course.checkpoints[i] - ball) - course.reachRadius <= 0.0f)) {
            continue;
        }
        state.reached[i] = true;
        const float elapsed = race.clock.totalTime - state.raceStart;
        if (i == course.goalIndex()) {
            if (race.speaks) std::printf("You won after %.2f Seconds!\n", elapsed);
            // An equal time keeps the earlier race.
            if (state.bestTime > elapsed) {
                state.bestRace = state.raceNumber;
                state.bestTime = elapsed;
            }
            state.raceClock = std::max(0.0f, elapsed - float(getReadySeconds));
            recordGhostSplit(race.recorder, i, state.raceClock);
            // Against the record as it stood before this run; without one, against the ghost's finish.
            long split = 0;
            const CourseRecord& record = race.records.best;
            if (record.has) {
                split = splitHundredths(state.raceClock, record.seconds);
                takeSplit(state, race.clock, split);
            } else if (splitAgainst(race.ghost, i, state.raceClock, split)) {
                takeSplit(state, race.clock, split);
            }
            state.newRecord = false;
            state.recordRace = offerRaceTime(race.records, state.raceClock, race.recorder.run) ? state.raceNumber : 0;
        } else {
            state.timer += course.checkpointSeconds;
            state.boost += course.checkpointBoost;
            race.sounds.checkpoint = true;
            const float atCheckpoint = std::max(0.0f, elapsed - float(getReadySeconds));
            recordGhostSplit(race.recorder, i, atCheckpoint);
            long split = 0;
            if (splitAgainst(race.ghost, i, atCheckpoint, split)) {
                takeSplit(state, race.clock, split);
            }
            if (race.speaks) std::printf("checkpoint checked after %.2f Seconds!\n", elapsed);
        }
    }
}

void collectRecordDecision(Race& race) {
    bool beaten = false;
    if (!takeRecordDecision(race.records, beaten)) return;
    RaceState& state = race.state;
    // A race restarted meanwhile keeps no banner of the one before; the new record's run is the ghost from now on.
    state.newRecord = beaten && state.recordRace == state.raceNumber && state.phase == RacePhase::Won;
    if (beaten) race.ghost = race.records.writer.run;
    state.recordRace = 0;
}

std::string sessionReport(const RaceState& race) {
    if (race.bestRace == 0) {
        return "You did not make it to the goal, try harder next time!\n";
    }
    std::ostringstream out;
    out << "Your best time was " << race.bestTime << " Seconds in Race #" << race.bestRace << ". \n";
    return out.str();
}
