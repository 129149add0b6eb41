// Races for tests: a small course on level ground made in memory, and the shipped course read from the data folder.
// Each test makes its own race, runs it and drops it; nothing outlives the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/course.h"
#include "core/race.h"
#include "tests/support/checks.h"

constexpr int32_t testGroundSide = 128; // grid points: the test course spans -64..64 in x and z
constexpr float testRestY = 1.0f;       // the ball's centre at rest on level ground of height 0

inline HeightGrid levelGrid(int32_t side, int16_t level = 0) {
    return HeightGrid{side, side, std::vector<int16_t>(std::size_t(side) * std::size_t(side), level)};
}

// A start, two checkpoints and a goal on level ground. Its numbers differ from the shipped course's, so a rule that
// reads a constant instead of its course shows.
inline Course testCourse() {
    Course c;
    c.id = "meadow";
    c.name = "Test Meadow";
    c.startHeading = 30.0f;
    c.countdown = 12.0f;
    c.checkpointSeconds = 4.0f;
    c.checkpointBoost = 0.25f;
    c.startBoost = 0.5f;
    c.reachRadius = 5.5f;
    c.checkpoints = {{-40.0f, testRestY, -40.0f}, {-20.0f, testRestY, 0.0f}, {0.0f, testRestY, 25.0f},
                     {30.0f, testRestY, 30.0f}};
    return c;
}

// A race on c over level ground with the goal hollow pressed, as makeRace makes one from a heightmap.
inline std::unique_ptr<Race> testRace(const Course& c = testCourse()) {
    HeightGrid grid = levelGrid(testGroundSide);
    pressGoalHollow(grid, c.goal().x, c.goal().z);
    return std::make_unique<Race>(c, Terrain(std::move(grid), c.heightScale));
}

// The shipped course as the game reads it.
inline Course shippedCourse() {
    Course c;
    EXPECT_TRUE(loadCourse(KELVARA_DATA_DIR, defaultCourseId, c)) << "the shipped course must load";
    return c;
}

// Runs a race frame by frame at a fixed frame time, as the game's loop does after polling events.
struct FrameDriver {
    Race& race;
    float frameSeconds = 1.0f / 60.0f;
    float now = 0.0f;

    // One frame; what it printed.
    std::string frame(const FrameInput& input = {}) {
        now += frameSeconds;
        return stdoutOf([&] {
            tickClock(race, now);
            advanceFrame(race, input);
        });
    }
    std::string frames(int count, const FrameInput& input = {}) {
        std::string printed;
        for (int i = 0; i < count; ++i) printed += frame(input);
        return printed;
    }
};
