// The ghost in a race: which ghost a race loads, the clock it runs on, G showing and hiding it, the splits the rules
// take at each checkpoint and at the goal, and their layout on the HUD.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "core/hud_text.h"
#include "core/input.h"
#include "core/physics.h"
#include "core/race.h"
#include "core/records.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

// A ghost of the test course: standing still at the start, then at checkpoint 1 at 5.42 s (two samples a second is
// enough here), checkpoint 2 at 9 s and the goal at 14 s.
Ghost testGhost(uint64_t courseId) {
    Ghost g;
    g.courseId = courseId;
    g.samples.resize(ghostSampleRate * 15, GhostSample{glm::vec3(1.0f, 2.0f, 3.0f)});
    g.splits = {0.0f, 5.42f, 9.0f, 14.0f};
    return g;
}

// Puts the race clock at raceClock in a rolling race and the ball on checkpoint i, then collects it.
void reachAt(Race& race, std::size_t i, float raceClock) {
    race.state.phase = RacePhase::Rolling;
    race.clock.totalTime = 100.0f;
    race.state.raceStart = 100.0f - float(getReadySeconds) - raceClock;
    stdoutOf([&] { collectCheckpoints(race, race.course.checkpoints[i]); });
}

std::string glyphsOf(const SplitLayout& split) {
    std::string text;
    for (std::size_t i = 0; i < split.count; ++i) {
        const int g = split.glyphs[i].glyph;
        text += g == glyphPoint ? '.' : g == glyphDash ? '-' : g == glyphPlus ? '+' : char('0' + g);
    }
    return text;
}

TEST(GhostSplit, AtACheckpointTheRulesKeepTheDifferenceToTheGhostAndWhenItWasTaken) {
    struct Case {
        float mine;
        long hundredths;
    };
    // Ahead by 0.42, level at the hundredths shown (5.424 reads 5.42), behind by 1.05.
    for (const Case c : {Case{5.0f, -42}, Case{5.424f, 0}, Case{6.47f, 105}}) {
        auto race = testRace();
        race->ghost = testGhost(race->courseId);
        reachAt(*race, 1, c.mine);
        ASSERT_TRUE(race->state.reached[1]);
        EXPECT_TRUE(race->state.hasSplit) << c.mine;
        EXPECT_EQ(race->state.splitHundredths, c.hundredths) << c.mine;
        EXPECT_FLOAT_EQ(race->state.splitAt, 100.0f);
        EXPECT_TRUE(splitShown(race->state, race->clock));
        race->clock.totalTime += splitShownSeconds - 0.01f;
        EXPECT_TRUE(splitShown(race->state, race->clock)) << "shown for two seconds";
        race->clock.totalTime += 0.02f;
        EXPECT_FALSE(splitShown(race->state, race->clock)) << "gone after two seconds";
    }
}

TEST(GhostSplit, WithoutAGhostTimeThereIsNoSplitAndAResetClearsTheLastOne) {
    auto race = testRace();
    reachAt(*race, 1, 5.0f);
    EXPECT_FALSE(race->state.hasSplit) << "no ghost";
    race->ghost = testGhost(race->courseId);
    race->ghost.splits[2] = -1.0f; // a run that never reached checkpoint 2
    reachAt(*race, 2, 8.0f);
    EXPECT_FALSE(race->state.hasSplit);
    race->state.reached[1] = false; // reached before the ghost came: once more, now against it
    reachAt(*race, 1, 5.0f);
    EXPECT_TRUE(race->state.hasSplit);
    stdoutOf([&] { resetRace(*race); });
    EXPECT_FALSE(race->state.hasSplit) << "a new race starts without the last one's split";
}

TEST(GhostSplit, AtTheGoalTheDifferenceIsToTheRecordBeforeTheRun) {
    auto race = testRace();
    race->ghost = testGhost(race->courseId);
    race->records.best = CourseRecord{true, 13.0f, ""};
    reachAt(*race, race->course.goalIndex(), 12.5f);
    EXPECT_EQ(race->state.phase, RacePhase::Rolling) << "the rolling step, not the collection, ends the race";
    EXPECT_TRUE(race->state.hasSplit);
    EXPECT_EQ(race->state.splitHundredths, -50) << "against the record of 13.00, not the ghost's 14.00";

    auto noRecord = testRace();
    noRecord->ghost = testGhost(noRecord->courseId);
    reachAt(*noRecord, noRecord->course.goalIndex(), 14.5f);
    EXPECT_EQ(noRecord->state.splitHundredths, 50) << "without a record, against the ghost's finish";
}

TEST(GhostSplit, TheLayoutShowsTheSignAndTheColour) {
    const SplitLayout ahead = layoutSplit(-42, 1.0f);
    EXPECT_EQ(glyphsOf(ahead), "-0.42");
    EXPECT_EQ(ahead.sign, SplitSign::Ahead);
    const SplitLayout behind = layoutSplit(105, 1.0f);
    EXPECT_EQ(glyphsOf(behind), "+1.05");
    EXPECT_EQ(behind.sign, SplitSign::Behind);
    const SplitLayout level = layoutSplit(0, 1.0f);
    EXPECT_EQ(glyphsOf(level), "0.00");
    EXPECT_EQ(level.sign, SplitSign::Level);
    EXPECT_EQ(glyphsOf(layoutSplit(-123456, 1.0f)), "-99.99");
    EXPECT_EQ(glyphsOf(layoutSplit(1234, 1.0f)), "+12.34");

    const glm::vec4 green = splitTint(SplitSign::Ahead), red = splitTint(SplitSign::Behind);
    EXPECT_GT(green.g, 2.0f * green.r);
    EXPECT_GT(red.r, 2.0f * red.g);
    EXPECT_EQ(splitTint(SplitSign::Level), green) << "an equal time is never shown as a loss";

    // Left to right, one line, starting right of the longest running time.
    const GlyphRun longest = layoutClock(maxShownSeconds, 1.0f, false, 1.0f).raceTime;
    const GlyphDraw& lastDigit = longest.glyphs[longest.count - 1];
    for (std::size_t i = 0; i < behind.count; ++i) {
        const GlyphDraw& g = behind.glyphs[i];
        EXPECT_FLOAT_EQ(g.centre.y, lastDigit.centre.y);
        EXPECT_GT(g.centre.x, lastDigit.centre.x + lastDigit.size.x * 0.5f);
        if (i > 0) {
            EXPECT_GT(g.centre.x, behind.glyphs[i - 1].centre.x);
        }
    }
    EXPECT_FLOAT_EQ(glyphTextureRect(glyphPlus).x, float(glyphPlus) / float(glyphCellCount));
}

TEST(GhostInRace, TheGhostWaitsOnTheStartRunsByTheRaceClockAndFinishesAfterTheRace) {
    auto race = testRace();
    FrameDriver driver{*race};
    driver.frames(5);
    startFirstRace(*race, double(driver.now));
    EXPECT_EQ(ghostClock(*race), 0.0f) << "get-ready";
    FrameInput push;
    push.boostDown = true;
    while (race->state.phase == RacePhase::GetReady) driver.frame();
    driver.frames(30, push);
    ASSERT_EQ(race->state.phase, RacePhase::Rolling);
    EXPECT_GT(race->state.raceClock, 0.3f);
    EXPECT_EQ(ghostClock(*race), race->state.raceClock);
    // Won: the race clock stands, the ghost's goes on so a slower ghost still reaches the goal.
    race->state.phase = RacePhase::Won;
    const float frozen = race->state.raceClock;
    driver.frames(30);
    EXPECT_EQ(race->state.raceClock, frozen);
    EXPECT_NEAR(ghostClock(*race), frozen + 0.5f, 0.02f);
}

// Found by fuzz-ghost: a ghost of one sample at a clock that is no number had an opacity that was no number.
TEST(GhostInRace, AClockThatIsNoNumberWaitsOnTheStartFullyShown) {
    for (std::size_t samples : {std::size_t(1), std::size_t(5)}) {
        Ghost g;
        g.samples.assign(samples, GhostSample{glm::vec3(1.0f, 2.0f, 3.0f)});
        g.samples[0].position = glm::vec3(7.0f, 8.0f, 9.0f);
        const GhostPose pose = ghostPoseAt(g, std::nanf(""));
        EXPECT_EQ(pose.opacity, 1.0f) << samples;
        expectVecNear(pose.position, glm::vec3(7.0f, 8.0f, 9.0f), 1e-6f, "on the start");
        EXPECT_EQ(ghostPoseAt(g, std::numeric_limits<float>::infinity()).opacity, 0.0f) << "long gone";
    }
}

TEST(GhostInRace, GTogglesTheGhostOncePerPressEvenWhilePaused) {
    InputState keys;
    handleKey(keys, keyG, 1);
    const FrameInput pressed = takeFrameInput(keys, false, false);
    EXPECT_TRUE(pressed.toggleGhost);
    EXPECT_FALSE(takeFrameInput(keys, false, false).toggleGhost) << "held is not pressed again";

    auto race = testRace();
    FrameDriver driver{*race};
    EXPECT_TRUE(race->showGhost);
    driver.frame(pressed);
    EXPECT_FALSE(race->showGhost);
    driver.frame();
    EXPECT_FALSE(race->showGhost) << "stays hidden";
    FrameInput pause;
    pause.togglePause = true;
    driver.frame(pause);
    driver.frame(pressed);
    EXPECT_TRUE(race->showGhost) << "shown again while paused";
}

TEST(GhostInRace, ThePlayersOwnGhostComesFirstThenTheShippedOne) {
    auto race = testRace();
    TempDir dir;
    const std::string shipped = shippedGhostPath(dir.root.string(), race->course.id);
    EXPECT_EQ(shipped, (dir.root / "Courses" / race->course.id / "ghost.ghost").string());
    Ghost theirs = testGhost(race->courseId);
    Ghost mine = theirs;
    mine.splits[1] = 4.0f;
    std::filesystem::create_directories(std::filesystem::path(shipped).parent_path());
    ASSERT_TRUE(saveGhost(shipped, theirs));
    const std::string own = dir.path("player/meadow.ghost");
    const std::string folder = std::filesystem::path(shipped).parent_path().string();

    EXPECT_EQ(stderrOf([&] { loadRaceGhost(*race, folder, own); }), "") << "no own ghost: no message";
    EXPECT_EQ(race->ghost.splits, theirs.splits) << "the shipped ghost";
    EXPECT_EQ(race->records.ghostFile, own) << "a record's run goes to the player's file";

    std::filesystem::create_directories(dir.path("player"));
    ASSERT_TRUE(saveGhost(own, mine));
    loadRaceGhost(*race, folder, own);
    EXPECT_EQ(race->ghost.splits, mine.splits) << "the player's own";

    dir.write("player/meadow.ghost", "not a ghost at all");
    const std::string said = stderrOf([&] { loadRaceGhost(*race, folder, own); });
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(race->ghost.splits, theirs.splits) << "a broken own ghost falls back to the shipped one";

    Ghost foreign = theirs;
    foreign.courseId ^= 1;
    ASSERT_TRUE(saveGhost(shipped, foreign));
    std::filesystem::remove(own);
    stderrOf([&] { loadRaceGhost(*race, folder, own); });
    EXPECT_TRUE(race->ghost.empty()) << "another course's ghost is none";
}

TEST(GhostInRace, EveryShippedCourseShipsAGhostThatFinishesAtItsGoal) {
    int courses = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dataFile("Courses"))) {
        if (!entry.is_directory()) continue;
        const std::string id = entry.path().filename().string();
        Course course;
        ASSERT_TRUE(loadCourse(KELVARA_DATA_DIR, id, course)) << id;
        const uint64_t identity = courseIdentity(course.heightmapFile, course.checkpoints);
        Ghost ghost;
        std::string said;
        said = stderrOf([&] { EXPECT_TRUE(loadGhost(shippedGhostPath(KELVARA_DATA_DIR, id), identity, ghost)) << id; });
        EXPECT_EQ(said, "") << id;
        ASSERT_FALSE(ghost.empty()) << id;
        ASSERT_EQ(ghost.splits.size(), course.checkpoints.size()) << id;
        for (std::size_t i = 0; i < ghost.splits.size(); ++i) {
            EXPECT_GE(ghost.splits[i], i == 0 ? 0.0f : 0.01f) << id << " reaches checkpoint " << i;
            EXPECT_LE(ghost.splits[i], ghost.splits[course.goalIndex()]) << id << ": the goal comes last";
        }
        const glm::vec3 end = ghostPoseAt(ghost, ghost.duration()).position;
        EXPECT_LT(glm::length(end - course.goal()), course.reachRadius + 1.0f) << id << " ends at its goal";
        EXPECT_LT(glm::length(ghostPoseAt(ghost, 0.0f).position - course.start()), 1.5f) << id << " starts on the start";
        ++courses;
    }
    EXPECT_GE(courses, 6);
}

} // namespace
