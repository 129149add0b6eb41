// The race rules as a player meets them: starts and restarts, the countdown, boost, checkpoints, the goal, time-out,
// leaving the course, the best time and the session report.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <glm/geometric.hpp>

#include "core/race.h"
#include "tests/support/checks.h"
#include "tests/support/game_state.h"

namespace {

constexpr float frame = 1.0f / 60.0f;

class RaceRules : public testing::Test {
protected:
    void SetUp() override { stdoutOf([] { resetRace(); }); }

    // One frame of the game's update at a fixed frame time; returns what it printed.
    std::string runFrame(const FrameInput& input = {}) {
        now += frame;
        return stdoutOf([&] {
            tickClock(now);
            advanceFrame(input);
        });
    }
    std::string collect(const glm::vec3& ball) {
        return stdoutOf([&] { collectCheckpoints(raceState, frameClock, ball); });
    }
    void roll() { raceState.phase = RacePhase::Rolling; }

    FreshGame game;
    float now = 0.0f;
};

TEST_F(RaceRules, ResetStartsTheNextRaceOnTheStartWithAFullCountdown) {
    roll();
    raceState.timer = 3.0f;
    raceState.boost = 0.0f;
    raceState.reached[4] = true;
    frameClock.totalTime = 12.5f;
    pushBall(glm::vec3(1.0f, 0.0f, 0.0f));
    resetRace();
    EXPECT_EQ(raceState.phase, RacePhase::GetReady);
    EXPECT_EQ(raceState.raceNumber, 2);
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f);
    EXPECT_FLOAT_EQ(raceState.boost, 0.5f);
    EXPECT_FALSE(raceState.reached[4]);
    EXPECT_FLOAT_EQ(raceState.raceStart, 12.5f);
    expectVecNear(ballPosition(), checkpoints[0], 0.01f, "ball");
    EXPECT_NEAR(glm::length(ballVelocity()), 0.0f, 0.5f);
}

// The game and the simulator both start the session with startFirstRace.
TEST_F(RaceRules, TheFirstRaceWaitsOneSecondLongerBeforeRolling) {
    raceState = RaceState{};
    startFirstRace(4.0);
    EXPECT_EQ(raceState.raceNumber, 1);
    EXPECT_FLOAT_EQ(raceState.raceStart, 5.0f);
    frameClock.totalTime = 6.5f;
    EXPECT_FALSE(startRollingIfDue(raceState, frameClock)) << "a later race would be rolling by now";
    frameClock.totalTime = 7.01f;
    EXPECT_TRUE(startRollingIfDue(raceState, frameClock)) << "three seconds after the reset";
}

TEST_F(RaceRules, HoldingResetRestartsInEveryFrameAndKeepsTheRaceWaiting) {
    FrameInput reset;
    reset.resetDown = true;
    for (int i = 0; i < 5; ++i) runFrame(reset);
    EXPECT_EQ(raceState.raceNumber, 6);
    EXPECT_EQ(raceState.phase, RacePhase::GetReady);
    EXPECT_FLOAT_EQ(raceState.raceStart, frameClock.totalTime);
}

TEST_F(RaceRules, TheCountdownRunsOnlyWhileRollingAndItsEndLosesTheRace) {
    runFrame();
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f) << "waiting to start";
    roll();
    int frames = 0;
    while (raceState.phase == RacePhase::Rolling && frames < 2000) {
        runFrame();
        ++frames;
    }
    EXPECT_EQ(raceState.phase, RacePhase::Lost);
    EXPECT_NEAR(frames * frame, 20.0f, 2.0f * frame);
    const float left = raceState.timer;
    runFrame();
    EXPECT_FLOAT_EQ(raceState.timer, left) << "frozen once lost";
}

TEST_F(RaceRules, EachCheckpointAddsFiveSecondsAndBoostOncePerRace) {
    frameClock.totalTime = raceState.raceStart + 4.25f;
    EXPECT_EQ(collect(checkpoints[4] + glm::vec3(0.0f, 5.4f, 0.0f)), "checkpoint checked after 4.25 Seconds!\n");
    EXPECT_FLOAT_EQ(raceState.timer, 25.0f);
    EXPECT_FLOAT_EQ(raceState.boost, 1.0f);
    EXPECT_EQ(collect(checkpoints[4]), "") << "collected once per race";
    EXPECT_FLOAT_EQ(raceState.timer, 25.0f);
    EXPECT_EQ(collect(checkpoints[5] + glm::vec3(5.6f, 0.0f, 0.0f)), "") << "just outside the reach";
    EXPECT_EQ(collect(checkpoints[0]), "") << "the start is never collected";

    stdoutOf([] { resetRace(); });
    EXPECT_EQ(collect(checkpoints[4]), "checkpoint checked after 0.00 Seconds!\n") << "again in the next race";
}

TEST_F(RaceRules, TheGoalWinsWithoutTheOthersAndBurstsIntoSparks) {
    roll();
    frameClock.totalTime = raceState.raceStart + 30.0f;
    EXPECT_EQ(collect(checkpoints[goalIndex]), "You won after 30.00 Seconds!\n");
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f) << "the goal adds no time";
    runFrame();
    EXPECT_EQ(raceState.phase, RacePhase::Won);
    int sparks = 0;
    for (const Particle& p : particlePool) sparks += p.active ? 1 : 0;
    EXPECT_GT(sparks, 0);
}

TEST_F(RaceRules, RunningOutOfTimeInTheWinningFrameLoses) {
    roll();
    raceState.reached[goalIndex] = true;
    raceState.timer = frame / 2.0f;
    runFrame();
    EXPECT_EQ(raceState.phase, RacePhase::Lost);
}

TEST_F(RaceRules, TheBestTimeKeepsTheEarlierRaceOfTwoEqualOnes) {
    const float times[] = {40.0f, 40.0f, 39.5f, 41.0f};
    const int bestAfter[] = {1, 1, 3, 3};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) stdoutOf([] { resetRace(); });
        frameClock.totalTime = raceState.raceStart + times[i];
        collect(checkpoints[goalIndex]);
        EXPECT_EQ(raceState.bestRace, bestAfter[i]) << "race " << i + 1;
    }
    EXPECT_FLOAT_EQ(raceState.bestTime, 39.5f);
}

TEST_F(RaceRules, BoostPushesAlongTheViewOnlyWhileRollingAndRunsOutAfterASecond) {
    FrameInput boost;
    boost.boostDown = true;
    runFrame(boost);
    EXPECT_FLOAT_EQ(raceState.boost, 0.5f) << "no boost before the start";

    roll();
    const glm::vec3 before = ballVelocity();
    runFrame(boost);
    EXPECT_GT(glm::dot(ballVelocity() - before, camera.front), 0.5f) << "pushed along the view";
    int frames = 1;
    while (raceState.boost > 0.0f && frames < 1000) {
        runFrame(boost);
        ++frames;
    }
    EXPECT_NEAR(frames * frame, 1.0f, 2.0f * frame) << "half a unit of boost lasts a second";
    const float spent = raceState.boost;
    const glm::vec3 coasting = ballVelocity();
    runFrame(boost);
    EXPECT_FLOAT_EQ(raceState.boost, spent) << "no push once the reserve is gone";
    EXPECT_LT(glm::dot(ballVelocity() - coasting, camera.front), 0.5f);
}

TEST_F(RaceRules, LeavingTheCourseRestartsFromTheStartInAnyPhase) {
    terrain = new Terrain(HeightGrid{100, 100, std::vector<int16_t>(100 * 100, 0)});
    EXPECT_FALSE(isOutOfBounds(glm::vec3(49.9f, 0.0f, -49.9f), 100, 100));
    for (const glm::vec3& outside : {glm::vec3(50.1f, 0.0f, 0.0f), glm::vec3(0.0f, 0.0f, -50.1f),
                                     glm::vec3(std::nanf(""), 0.0f, 0.0f), glm::vec3(0.0f, std::nanf(""), 0.0f)}) {
        EXPECT_TRUE(isOutOfBounds(outside, 100, 100)) << outside.x << ", " << outside.y << ", " << outside.z;
    }
    EXPECT_TRUE(isOutOfBounds(glm::vec3(0.0f, 0.0f, 101.0f), 600, 200)) << "a wide, shallow course";

    raceState.phase = RacePhase::Won;
    placeBall(glm::vec3(80.0f, 0.0f, 0.0f));
    stepPhysics(*physicsWorld, frame);
    const std::string printed = runFrame();
    EXPECT_EQ(printed.rfind("ich bin rausgeflogen", 0), 0u) << printed;
    EXPECT_EQ(raceState.raceNumber, 2);
    EXPECT_EQ(raceState.phase, RacePhase::GetReady);
}

TEST_F(RaceRules, ABallPositionThatIsNoNumberCollectsNothing) {
    EXPECT_EQ(collect(glm::vec3(std::nanf(""), 0.0f, 0.0f)), "");
    for (bool reached : raceState.reached) EXPECT_FALSE(reached);
}

TEST(SessionReport, NamesTheBestRaceOrEncouragesTheLoser) {
    RaceState race;
    EXPECT_EQ(sessionReport(race), "You did not make it to the goal, try harder next time!\n");
    race.bestRace = 3;
    race.bestTime = 41.25f;
    EXPECT_EQ(sessionReport(race), "Your best time was 41.25 Seconds in Race #3. \n");
}

} // namespace
