// The race rules as a player meets them: starts and restarts, the countdown, boost, checkpoints, the goal, time-out,
// leaving the course, the best time and the session report; and a race as a value that can be made and dropped.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>

#include <glm/geometric.hpp>

#include "tests/support/race_fixture.h"

namespace {

constexpr float frame = 1.0f / 60.0f;

class RaceRules : public testing::Test {
protected:
    void SetUp() override { stdoutOf([&] { resetRace(race); }); }

    std::string runFrame(const FrameInput& input = {}) { return driver.frame(input); }
    std::string collect(const glm::vec3& ball) { return stdoutOf([&] { collectCheckpoints(race, ball); }); }
    void roll() { race.state.phase = RacePhase::Rolling; }
    const glm::vec3& checkpoint(std::size_t i) const { return race.course.checkpoints[i]; }

    std::unique_ptr<Race> made = testRace();
    Race& race = *made;
    RaceState& state = race.state;
    FrameDriver driver{race, frame};
};

TEST_F(RaceRules, ResetStartsTheNextRaceOnTheStartWithTheCoursesCountdownAndHeldKeepsItWaiting) {
    roll();
    state.timer = 3.0f;
    state.boost = 0.0f;
    state.reached[2] = true;
    race.clock.totalTime = 12.5f;
    pushBody(race.ball, glm::vec3(0.05f, 0.0f, 0.0f));
    stepPhysics(race.world, frame);
    resetRace(race);
    EXPECT_EQ(std::make_tuple(state.phase, state.raceNumber, state.timer, state.boost, bool(state.reached[2])),
              std::make_tuple(RacePhase::GetReady, 2, 12.0f, 0.5f, false));
    EXPECT_FLOAT_EQ(state.raceStart, 12.5f);
    expectVecNear(ballPosition(race), checkpoint(0), 0.01f, "ball");
    EXPECT_NEAR(glm::length(ballVelocity(race)), 0.0f, 0.5f);

    // Held, reset restarts in every frame and keeps the race waiting.
    FrameInput reset;
    reset.resetDown = true;
    for (int i = 0; i < 200; ++i) runFrame(reset);
    EXPECT_EQ(state.raceNumber, 202);
    EXPECT_EQ(state.phase, RacePhase::GetReady) << "held past the two seconds";
    EXPECT_FLOAT_EQ(state.raceStart, race.clock.totalTime);
}

// The game and the simulator both start the session with startFirstRace; its place and heading: RaceValue below.
TEST_F(RaceRules, TheFirstRaceWaitsOneSecondLongerAndTheFrameUpdateLetsTheBallRollTwoSecondsAfterAReset) {
    const std::unique_ptr<Race> fresh = testRace();
    stdoutOf([&] { startFirstRace(*fresh, 4.0); });
    EXPECT_EQ(fresh->state.raceNumber, 1);
    EXPECT_EQ(fresh->state.reached.size(), 4u) << "one per checkpoint of the course";
    EXPECT_EQ(fresh->state.timer, 12.0f);
    EXPECT_FLOAT_EQ(fresh->state.raceStart, 5.0f);
    EXPECT_TRUE(fresh->sounds.getReady);
    fresh->clock.totalTime = 6.5f;
    EXPECT_FALSE(startRollingIfDue(fresh->state, fresh->clock)) << "a later race would be rolling by now";
    fresh->clock.totalTime = 7.01f;
    EXPECT_TRUE(startRollingIfDue(fresh->state, fresh->clock)) << "three seconds after the reset";

    // One place ends the get-ready pause, so the game, the HUD and the simulator cannot disagree on the frame: the
    // ball rolls once two seconds after a reset, cued once.
    int letsRollFrames = 0, cues = 0;
    for (int frames = 1; frames <= 200; ++frames) {
        runFrame();
        letsRollFrames += state.letsRollThisFrame ? 1 : 0;
        cues += race.sounds.letsRoll ? 1 : 0;
        if (state.letsRollThisFrame) {
            EXPECT_EQ(state.phase, RacePhase::Rolling);
            EXPECT_NEAR(frames * frame, 2.0f, 1.5f * frame) << "two seconds after the reset";
        } else if (letsRollFrames == 0) {
            EXPECT_EQ(state.phase, RacePhase::GetReady) << "frame " << frames;
        }
        clearSoundEvents(race.sounds); // as the audio layer does once it has played them
    }
    EXPECT_EQ(letsRollFrames, 1);
    EXPECT_EQ(cues, 1);
}

TEST_F(RaceRules, TheCountdownRunsOnlyWhileRollingAndItsEndLosesTheRace) {
    runFrame();
    EXPECT_FLOAT_EQ(state.timer, 12.0f) << "waiting to start";
    roll();
    int frames = 0;
    for (; state.phase == RacePhase::Rolling && frames < 2000; ++frames) runFrame();
    EXPECT_EQ(state.phase, RacePhase::Lost);
    EXPECT_NEAR(frames * frame, 12.0f, 2.0f * frame) << "the course's countdown";
    const float left = state.timer;
    runFrame();
    EXPECT_FLOAT_EQ(state.timer, left) << "frozen once lost";
}

TEST_F(RaceRules, EachCheckpointAddsItsBonusOncePerRaceAndTheGoalWinsUnlessTimeRunsOutInThatFrame) {
    race.clock.totalTime = state.raceStart + 4.25f;
    EXPECT_EQ(collect(checkpoint(1) + glm::vec3(0.0f, 5.4f, 0.0f)), "checkpoint checked after 4.25 Seconds!\n");
    EXPECT_FLOAT_EQ(state.timer, 16.0f);
    EXPECT_FLOAT_EQ(state.boost, 0.75f);
    EXPECT_TRUE(race.sounds.checkpoint);
    EXPECT_EQ(collect(checkpoint(1)), "") << "collected once per race";
    EXPECT_FLOAT_EQ(state.timer, 16.0f);
    EXPECT_EQ(collect(checkpoint(2) + glm::vec3(5.6f, 0.0f, 0.0f)), "") << "just outside the reach";
    EXPECT_EQ(collect(checkpoint(0)), "") << "the start is never collected";
    EXPECT_EQ(collect(glm::vec3(std::nanf(""), 0.0f, 0.0f)), "") << "a position that is no number reaches nothing";

    stdoutOf([&] { resetRace(race); });
    EXPECT_EQ(collect(checkpoint(1)), "checkpoint checked after 0.00 Seconds!\n") << "again in the next race";

    // The goal wins without the others and bursts into sparks.
    stdoutOf([&] { resetRace(race); });
    roll();
    race.clock.totalTime = state.raceStart + 30.0f;
    EXPECT_EQ(collect(checkpoint(3)), "You won after 30.00 Seconds!\n");
    EXPECT_FLOAT_EQ(state.timer, 12.0f) << "the goal adds no time";
    runFrame();
    EXPECT_EQ(state.phase, RacePhase::Won);
    EXPECT_TRUE(race.sounds.won);
    const auto& sparks = race.particles.slots;
    EXPECT_TRUE(std::any_of(sparks.begin(), sparks.end(), [](const Particle& p) { return p.active; }));

    // Running out of time in the winning frame loses.
    stdoutOf([&] { resetRace(race); });
    roll();
    state.reached[3] = true;
    state.timer = frame / 2.0f;
    runFrame();
    EXPECT_EQ(state.phase, RacePhase::Lost);
}

TEST_F(RaceRules, TheBestTimeKeepsTheEarlierRaceOfTwoEqualOnesAndTheSessionReportNamesIt) {
    const float times[] = {40.0f, 40.0f, 39.5f, 41.0f};
    const int bestAfter[] = {1, 1, 3, 3};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) stdoutOf([&] { resetRace(race); });
        race.clock.totalTime = state.raceStart + times[i];
        collect(checkpoint(3));
        EXPECT_EQ(state.bestRace, bestAfter[i]) << "race " << i + 1;
    }
    EXPECT_FLOAT_EQ(state.bestTime, 39.5f);
    EXPECT_EQ(sessionReport(state), "Your best time was 39.5 Seconds in Race #3. \n");
    EXPECT_EQ(sessionReport(RaceState{}), "You did not make it to the goal, try harder next time!\n");
}

TEST_F(RaceRules, BoostPushesAlongTheViewOnlyWhileRollingAndRunsOutAfterASecond) {
    FrameInput boost;
    boost.boostDown = true;
    runFrame(boost);
    EXPECT_FLOAT_EQ(state.boost, 0.5f) << "no boost before the start";

    roll();
    const glm::vec3 before = ballVelocity(race);
    runFrame(boost);
    EXPECT_GT(glm::dot(ballVelocity(race) - before, race.camera.front), 0.3f) << "pushed along the view";
    int frames = 1;
    for (; state.boost > 0.0f && frames < 1000; ++frames) runFrame(boost);
    EXPECT_NEAR(frames * frame, 1.0f, 2.0f * frame) << "half a unit of boost lasts a second";
    const float spent = state.boost;
    const glm::vec3 coasting = ballVelocity(race);
    runFrame(boost);
    EXPECT_FLOAT_EQ(state.boost, spent) << "no push once the reserve is gone";
    EXPECT_LT(glm::dot(ballVelocity(race) - coasting, race.camera.front), 0.1f);
}

TEST_F(RaceRules, LeavingTheCourseRestartsFromTheStartInAnyPhase) {
    EXPECT_FALSE(isOutOfBounds(glm::vec3(49.9f, 0.0f, -49.9f), 100, 100));
    for (const glm::vec3& outside : {glm::vec3(50.1f, 0.0f, 0.0f), glm::vec3(0.0f, 0.0f, -50.1f),
                                     glm::vec3(std::nanf(""), 0.0f, 0.0f), glm::vec3(0.0f, std::nanf(""), 0.0f)}) {
        EXPECT_TRUE(isOutOfBounds(outside, 100, 100)) << outside.x << ", " << outside.y << ", " << outside.z;
    }
    EXPECT_TRUE(isOutOfBounds(glm::vec3(0.0f, 0.0f, 101.0f), 600, 200)) << "a wide, shallow course";

    state.phase = RacePhase::Won;
    placeBall(race.ball, glm::vec3(float(testGroundSide) / 2.0f + 1.0f, 0.0f, 0.0f));
    stepPhysics(race.world, frame);
    const std::string printed = runFrame();
    EXPECT_EQ(printed.rfind("ich bin rausgeflogen", 0), 0u) << printed;
    EXPECT_EQ(state.raceNumber, 2);
    EXPECT_EQ(state.phase, RacePhase::GetReady);
    EXPECT_TRUE(race.sounds.leftCourse && race.sounds.getReady);
    expectVecNear(ballPosition(race), checkpoint(0), 0.01f, "ball");
}

// --- Races as values ---

// Runs a race from its start for frames frames on input, as the game's loop would.
void runRace(Race& r, int frames, const FrameInput& input) {
    FrameDriver driver{r, frame};
    stdoutOf([&] { startFirstRace(r, 0.0); });
    driver.frames(frames, input);
}

// Nothing of one race lives outside it: one boosting beside one left alone each end exactly as when run alone.
TEST(RaceValue, TwoRacesAliveAtOnceRunExactlyAsEachWouldAlone) {
    FrameInput boost;
    boost.boostDown = true;
    boost.sparks = true;
    boost.mouseDeltaX = 3.0f; // turning while it boosts, so it curves away
    const std::unique_ptr<Race> busy = testRace(), idle = testRace();
    FrameDriver busyDriver{*busy, frame}, idleDriver{*idle, frame};
    stdoutOf([&] {
        startFirstRace(*busy, 0.0);
        startFirstRace(*idle, 0.0);
    });
    const int frames = 220; // the first race rolls from the 181st: the boosted ball is still on the course
    for (int i = 0; i < frames; ++i) { // interleaved frame by frame
        busyDriver.frame(boost);
        idleDriver.frame();
    }
    const std::unique_ptr<Race> busyAlone = testRace(), idleAlone = testRace();
    runRace(*busyAlone, frames, boost);
    runRace(*idleAlone, frames, FrameInput{});

    EXPECT_GT(glm::length(ballPosition(*busy) - busy->course.start()), 5.0f) << "the boosted ball went somewhere";
    EXPECT_EQ(busy->state.raceNumber, 1) << "and stayed on the course";
    EXPECT_LT(busy->state.boost, 0.5f);
    EXPECT_EQ(ballPosition(*busy), ballPosition(*busyAlone));
    EXPECT_EQ(busy->camera.yaw, busyAlone->camera.yaw);
    EXPECT_EQ(busy->state.timer, busyAlone->state.timer);
    EXPECT_EQ(busy->particles.slots[0].position, busyAlone->particles.slots[0].position);

    expectVecNear(ballPosition(*idle), idle->course.start(), 0.05f, "the idle ball");
    EXPECT_EQ(ballPosition(*idle), ballPosition(*idleAlone));
    EXPECT_EQ(idle->state.boost, 0.5f);
    EXPECT_EQ(idle->camera.yaw, 30.0f);
    for (const Particle& p : idle->particles.slots) ASSERT_FALSE(p.active) << "no sparks from the other race";
}

// Pages of this process in memory now.
long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr bool addressSanitizer = true;
#else
constexpr bool addressSanitizer = false;
#endif

// Switching course drops one race and makes the next: whatever a race held must go with it. The sanitized build
// finds any leak by name; elsewhere the process must not grow.
TEST(RaceValue, TwentyCourseSwitchesInOneProcessGiveBackTheirMemory) {
    Course courses[2];
    ASSERT_TRUE(loadCourse(KELVARA_DATA_DIR, defaultCourseId, courses[0]));
    ASSERT_TRUE(loadCourse(KELVARA_DATA_DIR, "canyon", courses[1]));

    FrameInput boost;
    boost.boostDown = true;
    boost.sparks = true;
    long afterSecond = 0, afterTwentieth = 0;
    for (int i = 1; i <= 20; ++i) {
        std::unique_ptr<Race> r = makeRace(courses[i % 2]);
        ASSERT_NE(r, nullptr) << "switch " << i;
        runRace(*r, 240, boost);
        EXPECT_NE(r->state.phase, RacePhase::GetReady) << "switch " << i << ": the race ran";
        r.reset();
        if (i == 2) afterSecond = residentBytes();
        if (i == 20) afterTwentieth = residentBytes();
    }
    std::printf("resident after the 2nd switch %ld kB, after the 20th %ld kB\n", afterSecond / 1024,
                afterTwentieth / 1024);
    if (!addressSanitizer) { // its quarantine holds freed memory on purpose
        EXPECT_LE(afterTwentieth, afterSecond + afterSecond / 20 + 512 * 1024);
    }
}

} // namespace
