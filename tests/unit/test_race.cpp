// Race rules: resets, the countdown, boost, checkpoints, the goal, time-out, out of bounds and the best time.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include <glm/geometric.hpp>

#include "app/camera.h"
#include "app/input.h"
#include "app/race.h"
#include "course/physics.h"
#include "course/terrain.h"
#include "effects/particles.h"

namespace {

constexpr float frame = 1.0f / 60.0f;

// Each test starts from the records as they stand at load, with one ball in the global world and no terrain.
class RaceRules : public ::testing::Test {
protected:
    void SetUp() override {
        if (!physicsWorld) {
            physicsWorld = createPhysicsWorld();
        }
        if (!ballBody) {
            setupPhysics();
        }
        raceState = RaceState{};
        frameClock = FrameClock{};
        resetCamera(camera, checkpoints[0]);
        createParticlePool();
        savedTerrain = terrain;
        terrain = nullptr;
        now = 0.0f;
    }
    void TearDown() override { terrain = savedTerrain; }

    // One frame of the game's update at a fixed frame time; returns what it printed.
    std::string runFrame(const FrameInput& input = {}) {
        now += frame;
        ::testing::internal::CaptureStdout();
        tickClock(now);
        advanceFrame(input);
        return ::testing::internal::GetCapturedStdout();
    }
    std::string reset() {
        ::testing::internal::CaptureStdout();
        resetRace();
        return ::testing::internal::GetCapturedStdout();
    }
    std::string collect(const glm::vec3& ball) {
        ::testing::internal::CaptureStdout();
        collectCheckpoints(raceState, frameClock, ball);
        return ::testing::internal::GetCapturedStdout();
    }

    Terrain* savedTerrain = nullptr;
    float now = 0.0f;
};

TEST_F(RaceRules, ResetStartsANumberedRaceOnTheStartCheckpoint) {
    raceState.timer = 3.0f;
    raceState.boost = 0.0f;
    raceState.reached[4] = true;
    raceState.phase = RacePhase::Lost;
    frameClock.totalTime = 12.5f;
    pushBall(glm::vec3(1.0f, 0.0f, 0.0f));
    reset();
    EXPECT_EQ(raceState.phase, RacePhase::GetReady);
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f);
    EXPECT_FLOAT_EQ(raceState.boost, 0.5f);
    EXPECT_FALSE(raceState.reached[4]);
    EXPECT_EQ(raceState.raceNumber, 1);
    EXPECT_FLOAT_EQ(raceState.raceStart, 12.5f);
    const glm::vec3 p = ballPosition();
    EXPECT_NEAR(p.x, checkpoints[0].x, 1e-4f);
    EXPECT_NEAR(p.z, checkpoints[0].z, 1e-4f);
    EXPECT_LT(p.y, checkpoints[0].y) << "two substeps of gravity";
    EXPECT_GT(p.y, checkpoints[0].y - 0.1f);
}

TEST_F(RaceRules, HoldingResetRestartsInEveryFrameAndKeepsTheRaceWaiting) {
    reset();
    for (int i = 0; i < 5; ++i) {
        FrameInput input;
        input.resetDown = true;
        runFrame(input);
    }
    EXPECT_EQ(raceState.raceNumber, 6);
    EXPECT_EQ(raceState.phase, RacePhase::GetReady);
    EXPECT_FLOAT_EQ(raceState.raceStart, frameClock.totalTime);
}

TEST_F(RaceRules, CountdownRunsOnlyWhileRolling) {
    reset();
    runFrame();
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f);
    raceState.phase = RacePhase::Rolling;
    runFrame();
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f - frame);
    raceState.phase = RacePhase::Won;
    runFrame();
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f - frame);
}

TEST_F(RaceRules, AnUntouchedRaceIsLostWhenTheCountdownFallsBelowZero) {
    reset();
    raceState.phase = RacePhase::Rolling;
    int frames = 0;
    while (raceState.phase == RacePhase::Rolling && frames < 2000) {
        runFrame();
        ++frames;
    }
    EXPECT_EQ(raceState.phase, RacePhase::Lost);
    EXPECT_NEAR(frames * frame, 20.0f, 2.0f * frame);
    EXPECT_LT(raceState.timer, 0.0f);
}

TEST_F(RaceRules, EachCheckpointAddsTimeAndBoostOncePerRace) {
    reset();
    frameClock.totalTime = raceState.raceStart + 4.25f;
    std::string printed = collect(checkpoints[4] + glm::vec3(0.0f, 5.4f, 0.0f));
    EXPECT_EQ(printed, "checkpoint checked after 4.25 Seconds!\n");
    EXPECT_TRUE(raceState.reached[4]);
    EXPECT_FLOAT_EQ(raceState.timer, 25.0f);
    EXPECT_FLOAT_EQ(raceState.boost, 1.0f);

    printed = collect(checkpoints[4]);
    EXPECT_EQ(printed, "");
    EXPECT_FLOAT_EQ(raceState.timer, 25.0f);

    printed = collect(checkpoints[5] + glm::vec3(5.6f, 0.0f, 0.0f));
    EXPECT_EQ(printed, "") << "just outside the 5.5 reach";
    EXPECT_FALSE(raceState.reached[5]);
}

TEST_F(RaceRules, TheStartIsNeverCollected) {
    reset();
    EXPECT_EQ(collect(checkpoints[0]), "");
    EXPECT_FALSE(raceState.reached[0]);
}

TEST_F(RaceRules, TheGoalWinsWithoutTheOthersInTheNextRollingStep) {
    reset();
    raceState.phase = RacePhase::Rolling;
    frameClock.totalTime = raceState.raceStart + 30.0f;
    EXPECT_EQ(collect(checkpoints[goalIndex]), "You won after 30.00 Seconds!\n");
    EXPECT_EQ(raceState.phase, RacePhase::Rolling);
    EXPECT_FLOAT_EQ(raceState.bestTime, 30.0f);
    EXPECT_EQ(raceState.bestRace, 1);
    EXPECT_FLOAT_EQ(raceState.timer, 20.0f) << "the goal adds no time";

    runFrame();
    EXPECT_EQ(raceState.phase, RacePhase::Won);
    int sparks = 0;
    for (const Particle& p : particlePool) {
        sparks += p.active ? 1 : 0;
    }
    EXPECT_EQ(sparks, 200);
}

TEST_F(RaceRules, TimeOutOverridesAWinOfTheSameFrame) {
    reset();
    raceState.phase = RacePhase::Rolling;
    raceState.reached[goalIndex] = true;
    raceState.timer = frame / 2.0f;
    runFrame();
    EXPECT_EQ(raceState.phase, RacePhase::Lost);
}

TEST_F(RaceRules, AnEqualWinningTimeKeepsTheEarlierRaceAndASmallerOneReplacesIt) {
    reset();
    frameClock.totalTime = raceState.raceStart + 40.0f;
    collect(checkpoints[goalIndex]);
    EXPECT_EQ(raceState.bestRace, 1);

    reset();
    frameClock.totalTime = raceState.raceStart + 40.0f;
    collect(checkpoints[goalIndex]);
    EXPECT_EQ(raceState.bestRace, 1);

    reset();
    frameClock.totalTime = raceState.raceStart + 39.5f;
    collect(checkpoints[goalIndex]);
    EXPECT_EQ(raceState.bestRace, 3);
    EXPECT_FLOAT_EQ(raceState.bestTime, 39.5f);
}

TEST_F(RaceRules, BoostPushesAlongTheViewAndRunsOutSlightlyBelowZero) {
    reset();
    raceState.phase = RacePhase::Rolling;
    FrameInput input;
    input.boostDown = true;
    const glm::vec3 before = ballVelocity();
    runFrame(input);
    const glm::vec3 gained = ballVelocity() - before;
    // 2 x frame time of impulse on a 0.05 mass, along the camera's horizontal view.
    const float expected = frame * 2.0f / 0.05f;
    EXPECT_NEAR(glm::dot(gained, camera.front), expected, expected * 0.1f);

    int frames = 1;
    while (raceState.boost > 0.0f && frames < 1000) {
        runFrame(input);
        ++frames;
    }
    EXPECT_NEAR(frames * frame, 1.0f, 2.0f * frame) << "0.5 boost lasts about a second";
    EXPECT_LE(raceState.boost, 0.0f);
    EXPECT_GT(raceState.boost, -frame * 0.5f - 1e-6f);
    const float spent = raceState.boost;
    runFrame(input);
    EXPECT_FLOAT_EQ(raceState.boost, spent) << "no push once the reserve is gone";
}

TEST_F(RaceRules, BoostDoesNothingOutsideRolling) {
    reset();
    FrameInput input;
    input.boostDown = true;
    runFrame(input);
    EXPECT_FLOAT_EQ(raceState.boost, 0.5f);
}

TEST_F(RaceRules, OutOfBoundsIsLeavingTheTerrainsRectangle) {
    EXPECT_FALSE(isOutOfBounds(glm::vec3(255.9f, 0.0f, -255.9f), 512, 512));
    EXPECT_TRUE(isOutOfBounds(glm::vec3(256.1f, 0.0f, 0.0f), 512, 512));
    EXPECT_TRUE(isOutOfBounds(glm::vec3(0.0f, 0.0f, -256.1f), 512, 512));
    // A wide, shallow course: x reaches to 300, z only to 100.
    EXPECT_FALSE(isOutOfBounds(glm::vec3(-290.0f, 0.0f, 0.0f), 600, 200));
    EXPECT_TRUE(isOutOfBounds(glm::vec3(0.0f, 0.0f, 101.0f), 600, 200));
    EXPECT_TRUE(isOutOfBounds(glm::vec3(0.0f, 0.0f, -101.0f), 600, 200));
}

TEST_F(RaceRules, LeavingTheCourseRestartsFromTheStartInAnyPhase) {
    Terrain small;
    small.width = 100;
    small.height = 100;
    terrain = &small;
    reset();
    raceState.phase = RacePhase::Won;
    placeBall(glm::vec3(80.0f, 0.0f, 0.0f));
    stepPhysics(*physicsWorld, frame);
    const int race = raceState.raceNumber;
    const std::string printed = runFrame();
    EXPECT_EQ(printed.rfind("ich bin rausgeflogen", 0), 0u) << printed;
    EXPECT_EQ(raceState.raceNumber, race + 1);
    EXPECT_EQ(raceState.phase, RacePhase::GetReady);
    terrain = nullptr;
}

TEST(SessionReport, NamesTheBestTimeOrEncouragesTheLoser) {
    RaceState race;
    EXPECT_EQ(sessionReport(race), "You did not make it to the goal, try harder next time!\n");
    race.bestRace = 3;
    race.bestTime = 41.25f;
    EXPECT_EQ(sessionReport(race), "Your best time was 41.25 Seconds in Race #3. \n");
    race.bestTime = 38.123456f;
    EXPECT_EQ(sessionReport(race), "Your best time was 38.1235 Seconds in Race #3. \n");
}

} // namespace

namespace {

TEST(RaceRecordsAtLoad, StartWaitingWithAFullCountdownAndNoBestTime) {
    const RaceState race;
    EXPECT_EQ(race.phase, RacePhase::GetReady);
    EXPECT_EQ(static_cast<int>(RacePhase::Won), 3);
    EXPECT_EQ(static_cast<int>(RacePhase::Lost), 4);
    EXPECT_FLOAT_EQ(race.timer, 20.0f);
    EXPECT_FLOAT_EQ(race.boost, 0.5f);
    EXPECT_EQ(race.raceNumber, 0);
    EXPECT_EQ(race.bestRace, 0);
    EXPECT_TRUE(std::isinf(race.bestTime) && race.bestTime > 0.0f);
    for (bool r : race.reached) {
        EXPECT_FALSE(r);
    }
    const FrameClock clock;
    EXPECT_EQ(clock.totalTime, 0.0f);
    EXPECT_EQ(clock.lastFrameTime, 0.0f);
}

TEST(RaceRecordsAtLoad, CheckpointTableRunsFromTheStartHighUpToTheGoalInItsHollow) {
    ASSERT_EQ(checkpoints.size(), 10u);
    EXPECT_EQ(checkpoints[0], glm::vec3(146.49858f, 53.190834f, -170.73547f));
    EXPECT_EQ(checkpoints[goalIndex], glm::vec3(-133.0f, -74.5f, 177.0f));
    for (std::size_t i = 1; i < goalIndex; ++i) {
        EXPECT_LT(checkpoints[i].y, checkpoints[0].y) << i;
        EXPECT_GT(checkpoints[i].y, checkpoints[goalIndex].y) << i;
    }
}

} // namespace

namespace {

TEST(BrokenPhysics, ABallPositionThatIsNoNumberReachesNothingAndIsOffTheCourse) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    RaceState race;
    FrameClock clock;
    ::testing::internal::CaptureStdout();
    collectCheckpoints(race, clock, glm::vec3(nan, 0.0f, 0.0f));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    for (bool r : race.reached) {
        EXPECT_FALSE(r);
    }
    EXPECT_TRUE(isOutOfBounds(glm::vec3(nan, 0.0f, 0.0f), 512, 512));
    EXPECT_TRUE(isOutOfBounds(glm::vec3(0.0f, nan, 0.0f), 512, 512));
    EXPECT_FALSE(isOutOfBounds(glm::vec3(0.0f, 0.0f, 0.0f), 512, 512));
}

} // namespace
