// Personal records: only a faster win replaces the file, a bad file is set aside, a failed write costs the record
// nothing for the session, and each course keeps its own record.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/race.h"
#include "core/records.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

namespace fs = std::filesystem;

// Every case keeps its records file in a fresh temporary folder, where the game would put it for that data home.
class RecordsTest : public ::testing::Test {
protected:
    // Offers a win as a fresh session would, knowing only what the file holds.
    bool win(float seconds, uint64_t id = 0) {
        const uint64_t which = id == 0 ? course : id;
        CourseRecord current = loadRecord(path, which);
        return offerRecord(path, which, seconds, "2025-01-02T03:04:05Z", current);
    }
    float stored(uint64_t id = 0) {
        const CourseRecord r = loadRecord(path, id == 0 ? course : id);
        return r.has ? r.seconds : -1.0f;
    }

    TempDir dir;
    std::string path = recordsPathFrom(dir.root.c_str(), nullptr);
    std::vector<glm::vec3> checkpoints = testCourse().checkpoints;
    uint64_t course = courseIdentity(dir.write("heightmap.png", "course one"), checkpoints);
};

TEST_F(RecordsTest, OnlyAFasterWinReplacesTheStoredTime) {
    EXPECT_EQ(stored(), -1.0f);
    EXPECT_TRUE(win(47.083f));
    EXPECT_FLOAT_EQ(stored(), 47.083f);
    EXPECT_EQ(loadRecord(path, course).setAt, "2025-01-02T03:04:05Z");
    EXPECT_FALSE(win(50.0f));
    EXPECT_FALSE(win(47.083f)) << "an equal time keeps the earlier record";
    EXPECT_FLOAT_EQ(stored(), 47.083f);
    EXPECT_TRUE(win(45.5f));
    EXPECT_FLOAT_EQ(stored(), 45.5f);
}

TEST_F(RecordsTest, AnUnusableFileIsSetAsideAndTheNextWinStartsAFreshOne) {
    const std::string id = courseIdText(course);
    const std::string contents[] = {"no sections or keys at all", "[0123]\nseconds = 40\n",
                                    "[" + id + "]\nseconds = -3\n", "[" + id + "]\nseconds = nan\n",
                                    "[" + id + "]\nseconds = 1e9\n", "[" + id + "]\nset = 2025-01-02T03:04:05Z\n"};
    for (const std::string& content : contents) {
        dir.write("kelvara-golf/records.ini", content);
        const std::string said = stderrOf([&] { EXPECT_EQ(stored(), -1.0f) << content; });
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << content << ": " << said;
        EXPECT_FALSE(fs::exists(path)) << content;
        EXPECT_TRUE(fs::exists(path + ".broken")) << content;
        EXPECT_TRUE(win(50.0f)) << content;
        EXPECT_FLOAT_EQ(stored(), 50.0f) << content;
    }
}

TEST_F(RecordsTest, AFileThatCannotBeWrittenIsReportedAndTheRecordLastsTheSession) {
    // A file where the folder should be stops even a root user, unlike permissions.
    dir.write("kelvara-golf", "not a folder");
    CourseRecord current = loadRecord(path, course);
    std::string said;
    EXPECT_EQ(stdoutOf([&] { said = stderrOf([&] { EXPECT_TRUE(offerRecord(path, course, 47.0f, "now", current)); }); }),
              "");
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(path), std::string::npos) << said;
    EXPECT_TRUE(current.has);
    EXPECT_FLOAT_EQ(current.seconds, 47.0f);
    EXPECT_FALSE(offerRecord(path, course, 48.0f, "later", current)) << "the session still knows its record";
    EXPECT_EQ(stored(), -1.0f);
}

TEST_F(RecordsTest, EachCourseKeepsItsOwnRecordInTheSameFile) {
    const uint64_t other = courseIdentity(dir.write("other.png", "course twO"), checkpoints);
    auto moved = checkpoints;
    moved[3].y += 0.5f;
    EXPECT_NE(courseIdentity(dir.path("heightmap.png"), moved), course);
    ASSERT_NE(other, course);
    EXPECT_TRUE(win(40.0f));
    EXPECT_EQ(stored(other), -1.0f) << "another heightmap inherits no record";
    EXPECT_TRUE(win(60.0f, other));
    EXPECT_FLOAT_EQ(stored(), 40.0f);
    EXPECT_FLOAT_EQ(stored(other), 60.0f);
}

TEST_F(RecordsTest, ATemporaryFileLeftByACrashLosesNothing) {
    ASSERT_TRUE(win(47.0f));
    // Cut off in the middle of a line, as a crash during the write leaves it.
    const std::string left =
        dir.write("kelvara-golf/records.ini.tmp.Xq3vLp", "[" + courseIdText(course) + "]\nseconds = 1");
    EXPECT_FLOAT_EQ(stored(), 47.0f);
    EXPECT_TRUE(win(46.0f));
    EXPECT_FLOAT_EQ(stored(), 46.0f);
    EXPECT_FALSE(fs::exists(left)) << "cleared by the next write";
}

TEST(RecordsPath, DataHomeFirstThenTheHomeFolderAndOnlyAbsolutePaths) {
    const struct {
        const char* xdg;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/data", "/home/p", "/data/kelvara-golf/records.ini"},
        {nullptr, "/home/p", "/home/p/.local/share/kelvara-golf/records.ini"},
        {"", "/home/p", "/home/p/.local/share/kelvara-golf/records.ini"},
        {"relative", "/home/p", "/home/p/.local/share/kelvara-golf/records.ini"},
        {nullptr, "", ""},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(recordsPathFrom(c.xdg, c.home), c.expected) << (c.xdg ? c.xdg : "unset");
    }
}

// The race rules offer each win: the race clock starts at "Let's roll!" and stops at the goal.
TEST_F(RecordsTest, AWinOffersTheRaceClockAndMarksANewRecord) {
    const std::unique_ptr<Race> race = testRace();
    setupRecords(race->records, path, dir.write("course.png", "course two"), race->course.checkpoints);
    auto winAt = [&](float secondsAfterReset) {
        stdoutOf([&] {
            resetRace(*race);
            race->state.phase = RacePhase::Rolling;
            race->clock.totalTime = race->state.raceStart + secondsAfterReset;
            collectCheckpoints(*race, race->course.goal());
        });
        EXPECT_FALSE(race->state.newRecord) << "the file has not been asked yet";
        race->state.phase = RacePhase::Won; // as the next frame's rules have it
        settleRecord(race->records);
        collectRecordDecision(*race);
        return race->state;
    };
    const RaceState first = winAt(40.5f);
    EXPECT_FLOAT_EQ(first.raceClock, 38.5f) << "the two get-ready seconds are not raced";
    EXPECT_TRUE(first.newRecord);
    EXPECT_FALSE(winAt(41.0f).newRecord);
    EXPECT_TRUE(winAt(40.0f).newRecord);
    finishRecords(race->records);
    EXPECT_FLOAT_EQ(loadRecord(path, race->records.courseId).seconds, 38.0f);
    EXPECT_EQ(race->records.courseId, courseIdentity(dir.path("course.png"), race->course.checkpoints));

    const std::unique_ptr<Race> withoutRecords = testRace();
    withoutRecords->clock.totalTime = 30.0f;
    stdoutOf([&] { collectCheckpoints(*withoutRecords, withoutRecords->course.goal()); });
    withoutRecords->state.phase = RacePhase::Won;
    collectRecordDecision(*withoutRecords);
    EXPECT_FALSE(withoutRecords->state.newRecord) << "a race without records set up keeps none";
}

} // namespace
