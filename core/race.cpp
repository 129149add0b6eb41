// Every race rule, run once per frame on the frame's input, plus the resets and the session report.
#include "core/race.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include <glm/geometric.hpp>

#include "core/camera.h"
#include "core/records.h"
#include "core/contacts.h"
#include "core/physics.h"
#include "core/terrain.h"
#include "core/particles.h"
#include "core/sound_events.h"

namespace {

constexpr float boostSpendRate = 0.5f;      // reserve per second of boosting
constexpr float boostStrength = 2.0f;       // impulse per second of boosting
constexpr float checkpointSeconds = 5.0f;   // time bonus per checkpoint
constexpr float checkpointBoost = 0.5f;     // boost bonus per checkpoint
constexpr double firstRaceExtraWait = 1.0;  // seconds: the first get-ready lasts one second longer
constexpr unsigned winBurst = 200, keyBurst = 10; // particles

void rollingStep(const FrameInput& input) {
    if (input.printPosition) {
        const glm::vec3 p = ballPosition();
        std::printf("position: (%f, %f, %f)\n", p.x, p.y, p.z);
    }
    // Tested before the subtraction, so the reserve may end slightly below zero.
    soundFrame.boosting = input.boostDown && raceState.boost > 0.0f;
    if (soundFrame.boosting) {
        raceState.boost -= frameClock.deltaTime * boostSpendRate;
        pushBall(camera.front * (frameClock.deltaTime * boostStrength));
    }
    if (raceState.reached[goalIndex]) {
        raceState.phase = RacePhase::Won;
        glm::vec3 p = ballPosition();
        spawnParticles(p, winBurst);
    }
    // Overrides a win of the same frame.
    if (raceState.timer < 0.0f) {
        raceState.phase = RacePhase::Lost;
    }
    soundFrame.won = raceState.phase == RacePhase::Won;
    soundFrame.lost = raceState.phase == RacePhase::Lost;

    // A landing is told from a roll by the velocity the ball had before the step drove it into the ground.
    const glm::vec3 velocityBefore = ballVelocity();
    stepPhysics(*physicsWorld, frameClock.deltaTime);
    const BallContact contact =
        ballBody != nullptr ? ballContact(*physicsWorld, *ballBody, velocityBefore) : BallContact{};
    soundFrame.landingSpeed = landingImpact(contact.closingSpeed, glm::length(velocityBefore));
    soundFrame.rolling = rollingOnGround(soundMemory, contact.touching, frameClock.deltaTime);
}

} // namespace

void tickClock(float now) {
    frameClock.deltaTime = now - frameClock.lastFrameTime;
    frameClock.lastFrameTime = now;
    // The frame clock keeps measuring, so the first frame after the pause does not make up for it.
    if (frameClock.paused) {
        frameClock.deltaTime = 0.0f;
    }
    frameClock.totalTime += frameClock.deltaTime;
    if (raceState.phase == RacePhase::Rolling) {
        const float before = raceState.timer;
        raceState.timer -= frameClock.deltaTime;
        soundFrame.tick = countdownTick(before, raceState.timer);
    }
}

void advanceFrame(const FrameInput& input) {
    renderFlags = renderFlagsFromInput(input);
    // The clock ticked before this frame's input was read: a frame that pauses still runs, one that resumes
    // had no time to run.
    const bool wasPaused = frameClock.paused;
    if (input.togglePause) {
        frameClock.paused = !frameClock.paused;
    }
    if (wasPaused) {
        // The ball stands still: its loops fade out until the game goes on.
        soundFrame.rolling = false;
        soundFrame.boosting = false;
        return;
    }
    if (input.sparks) {
        glm::vec3 p = ballPosition();
        spawnParticles(p, keyBurst);
    }

    // Holding reset restarts the race in every frame it is down; its cue sounds once per press.
    if (resetPressed(soundMemory, input.resetDown)) {
        soundFrame.getReady = true;
    }
    if (input.resetDown) {
        resetRace();
        stepPhysics(*physicsWorld, frameClock.deltaTime);
    }

    const bool rolling = raceState.phase == RacePhase::Rolling;
    soundFrame.boostEmpty = boostEmptyClick(soundMemory, rolling && input.boostDown, raceState.boost);
    if (rolling) {
        rollingStep(input);
    } else {
        // A held ball keeps its last velocity: neither rolling nor boosting is heard.
        soundFrame.rolling = false;
        soundFrame.boosting = false;
    }
    // The first race's pause is a second longer, but its raceStart is set a second later too, so this counts from
    // the same moment in every race.
    if (raceState.phase == RacePhase::Rolling && !raceState.reached[goalIndex]) {
        raceState.raceClock = std::max(0.0f, frameClock.totalTime - raceState.raceStart - float(getReadySeconds));
    }

    if (terrain && isOutOfBounds(ballPosition(), terrain->width, terrain->height)) {
        std::printf("ich bin rausgeflogen");
        resetRace();
        soundFrame.leftCourse = true;
        soundFrame.getReady = true;
    }

    collectCheckpoints(raceState, frameClock, ballPosition());
    frameClock.animationTime += frameClock.deltaTime;
    updateCamera(camera, input, ballPosition(), frameClock.deltaTime, terrain);
    updateParticles(frameClock.deltaTime, cameraEye(camera));
    soundFrame.ballPosition = ballPosition();
    soundFrame.ballVelocity = ballVelocity();
}

void resetRace() {
    placeBall(checkpoints[0]);
    stepPhysics(*physicsWorld, physicsSubstep); // two substeps: brings the motion state to the start
    raceState.timer = raceSeconds;
    raceState.boost = startBoost;
    raceState.reached.fill(false);
    raceState.raceClock = 0.0f;
    raceState.newRecord = false;
    raceState.raceNumber += 1;
    raceState.raceStart = frameClock.totalTime;
    raceState.phase = RacePhase::GetReady;
}

void startFirstRace(double now) {
    resetRace();
    raceState.raceStart = static_cast<float>(now + firstRaceExtraWait);
    soundFrame.getReady = true;
}

bool isOutOfBounds(const glm::vec3& p, int width, int height) {
    const float halfW = static_cast<float>(width) / 2.0f;
    const float halfH = static_cast<float>(height) / 2.0f;
    // A position that is no number (the physics blew up) is nowhere on the course either.
    return !(p.x <= halfW && p.x >= -halfW && p.z <= halfH && p.z >= -halfH && std::isfinite(p.y));
}

void collectCheckpoints(RaceState& race, const FrameClock& clock, const glm::vec3& ball) {
    for (std::size_t i = 1; i < checkpointCount; ++i) {
        // Written so that a ball position that is no number reaches nothing.
        if (race.reached[i] || !(glm::length(checkpoints[i] - ball) - reachRadius <= 0.0f)) {
            continue;
        }
        race.reached[i] = true;
        const float elapsed = clock.totalTime - race.raceStart;
        if (i == goalIndex) {
            std::printf("You won after %.2f Seconds!\n", elapsed);
            // An equal time keeps the earlier race.
            if (race.bestTime > elapsed) {
                race.bestRace = race.raceNumber;
                race.bestTime = elapsed;
            }
            race.raceClock = std::max(0.0f, elapsed - float(getReadySeconds));
            race.newRecord = offerRaceTime(race.raceClock);
        } else {
            race.timer += checkpointSeconds;
            race.boost += checkpointBoost;
            soundFrame.checkpoint = true;
            std::printf("checkpoint checked after %.2f Seconds!\n", elapsed);
        }
    }
}

std::string sessionReport(const RaceState& race) {
    if (race.bestRace == 0) {
        return "You did not make it to the goal, try harder next time!\n";
    }
    std::ostringstream out;
    out << "Your best time was " << race.bestTime << " Seconds in Race #" << race.bestRace << ". \n";
    return out.str();
}
