// Personal records: only a faster win replaces the file, a bad file is set aside, a failed write costs the record
// nothing for the session, and each course keeps its own record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/race.h"
#include "core/records.h"
#include "tests/support/files.h"

namespace {

namespace fs = std::filesystem;

// Every case runs with XDG_DATA_HOME pointing into a fresh temporary folder.
class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* previous = std::getenv("XDG_DATA_HOME");
        hadPrevious = previous != nullptr;
        previousValue = hadPrevious ? previous : "";
        setenv("XDG_DATA_HOME", dir.root.c_str(), 1);
        path = recordsPath();
        course = courseIdentity(dir.write("heightmap.png", "course one"), checkpoints);
    }
    void TearDown() override {
        if (hadPrevious) {
            setenv("XDG_DATA_HOME", previousValue.c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
    }

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
    bool hadPrevious = false;
    std::string previousValue;
    std::string path;
    uint64_t course = 0;
};

TEST_F(RecordsTest, OnlyAFasterWinReplacesTheStoredTime) {
    ASSERT_EQ(path, (dir.root / "kelvara-golf" / "records.ini").string());
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
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(stored(), -1.0f) << content;
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << content << ": " << said;
        EXPECT_FALSE(fs::exists(path)) << content;
        EXPECT_TRUE(fs::exists(path + ".broken")) << content;
        EXPECT_TRUE(win(50.0f)) << content;
        EXPECT_FLOAT_EQ(stored(), 50.0f) << content;
    }
}

TEST_F(RecordsTest, AFileThatCannotBeWrittenIsReportedAndTheRecordLastsTheSession) {
    // Files and folders in the way stop even a root user, unlike permissions.
    for (const bool folderBlocked : {true, false}) {
        SCOPED_TRACE(folderBlocked ? "the folder is a file" : "the temporary file is a folder");
        fs::remove_all(dir.path("kelvara-golf"));
        if (folderBlocked) {
            dir.write("kelvara-golf", "not a folder");
        } else {
            ASSERT_TRUE(win(50.0f));
            fs::create_directories(path + ".tmp");
        }
        CourseRecord current = loadRecord(path, course);
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(offerRecord(path, course, 47.0f, "now", current));
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find(path), std::string::npos) << said;
        EXPECT_TRUE(current.has);
        EXPECT_FLOAT_EQ(current.seconds, 47.0f);
        EXPECT_FALSE(offerRecord(path, course, 48.0f, "later", current)) << "the session still knows its record";
        EXPECT_FLOAT_EQ(stored(), folderBlocked ? -1.0f : 50.0f) << "the previous file stays as it was";
    }
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
    dir.write("kelvara-golf/records.ini.tmp", "[" + courseIdText(course) + "]\nseconds = 1");
    EXPECT_FLOAT_EQ(stored(), 47.0f);
    EXPECT_TRUE(win(46.0f));
    EXPECT_FLOAT_EQ(stored(), 46.0f);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
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
    const PersonalRecords saved = personalRecords;
    setupRecords(path, dir.write("course.png", "course two"));
    auto winAt = [](float secondsAfterReset) {
        RaceState race;
        race.phase = RacePhase::Rolling;
        FrameClock clock;
        clock.totalTime = secondsAfterReset;
        testing::internal::CaptureStdout();
        collectCheckpoints(race, clock, checkpoints[goalIndex]);
        testing::internal::GetCapturedStdout();
        return race;
    };
    const RaceState first = winAt(40.5f);
    EXPECT_FLOAT_EQ(first.raceClock, 38.5f) << "the two get-ready seconds are not raced";
    EXPECT_TRUE(first.newRecord);
    EXPECT_FALSE(winAt(41.0f).newRecord);
    EXPECT_TRUE(winAt(40.0f).newRecord);
    finishRecords();
    EXPECT_FLOAT_EQ(loadRecord(path, personalRecords.courseId).seconds, 38.0f);
    personalRecords = saved;
}

} // namespace
