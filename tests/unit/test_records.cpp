// Personal records and ghosts. Only a faster win replaces the records file, a bad file is set aside, a failed write
// costs the record nothing for the session, and each course keeps its own record; two games share one records file:
// winning at once, both records end up in it and "New record!" is only said for a time that beat the file, and a
// writer killed at any moment leaves the file whole and never worse. The ghost: a run recorded at a fixed rate and
// replayed by the race clock, its splits, its file with every way a file can be wrong, and only a record run kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "core/course_list.h"
#include "core/ghost.h"
#include "core/records.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

constexpr const char* when = "2025-01-02T03:04:05Z";

// What a fresh game knows of a course before it wins: what the file holds.
bool offerAsNewGame(const std::string& path, uint64_t course, float seconds) {
    CourseRecord known = loadRecord(path, course);
    return offerRecord(path, course, seconds, when, known);
}

// Every case keeps its records file in a fresh temporary folder, where the game would put it for that data home.
class RecordsTest : public ::testing::Test {
protected:
    bool win(float seconds, uint64_t id = 0) { return offerAsNewGame(path, id == 0 ? course : id, seconds); }
    float stored(uint64_t id = 0) {
        const CourseRecord r = loadRecord(path, id == 0 ? course : id);
        return r.has ? r.seconds : -1.0f;
    }

    TempDir dir;
    std::string path = recordsPathFrom(dir.root.c_str(), nullptr);
    std::vector<glm::vec3> checkpoints = testCourse().checkpoints;
    uint64_t course = courseIdentity(dir.write("heightmap.png", "course one"), checkpoints);
};

TEST_F(RecordsTest, OnlyAFasterWinReplacesTheStoredTimeOfItsOwnCourseAndACrashedWriteLosesNothing) {
    EXPECT_EQ(stored(), -1.0f);
    EXPECT_TRUE(win(47.083f));
    EXPECT_FLOAT_EQ(stored(), 47.083f);
    EXPECT_EQ(loadRecord(path, course).setAt, when);
    EXPECT_FALSE(win(50.0f));
    EXPECT_FALSE(win(47.083f)) << "an equal time keeps the earlier record";
    EXPECT_FLOAT_EQ(stored(), 47.083f);
    EXPECT_TRUE(win(45.5f));
    EXPECT_FLOAT_EQ(stored(), 45.5f);

    // Each course keeps its own record in the same file.
    const uint64_t other = courseIdentity(dir.write("other.png", "course twO"), checkpoints);
    auto moved = checkpoints;
    moved[3].y += 0.5f;
    EXPECT_NE(courseIdentity(dir.path("heightmap.png"), moved), course);
    ASSERT_NE(other, course);
    EXPECT_EQ(stored(other), -1.0f) << "another heightmap inherits no record";
    EXPECT_TRUE(win(60.0f, other));
    EXPECT_FLOAT_EQ(stored(), 45.5f);
    EXPECT_FLOAT_EQ(stored(other), 60.0f);

    // A temporary file left by a crash, cut off in the middle of a line, loses nothing.
    const std::string left =
        dir.write("kelvara-golf/records.ini.tmp.Xq3vLp", "[" + courseIdText(course) + "]\nseconds = 1");
    EXPECT_FLOAT_EQ(stored(), 45.5f);
    EXPECT_TRUE(win(45.0f));
    EXPECT_FLOAT_EQ(stored(), 45.0f);
    EXPECT_FALSE(fs::exists(left)) << "cleared by the next write";
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

TEST(PlayerFiles, LiveInTheDataHomeElseUnderTheHomeFolderAndOnlyAtAbsolutePaths) {
    const char* const homeData = "/home/p/.local/share/kelvara-golf";
    const struct {
        const char *xdg, *home, *folder;
    } cases[] = {{"/data", "/home/p", "/data/kelvara-golf"}, {nullptr, "/home/p", homeData}, {"", "/home/p", homeData},
                 {"relative", "/home/p", homeData},          {nullptr, "", ""},                {nullptr, nullptr, ""}};
    for (const auto& c : cases) {
        const std::string folder = c.folder, what = c.xdg ? c.xdg : "unset";
        auto in = [&](const char* file) { return folder.empty() ? folder : folder + file; };
        EXPECT_EQ(recordsPathFrom(c.xdg, c.home), in("/records.ini")) << what;
        EXPECT_EQ(ghostPathFrom(c.xdg, c.home, "valley"), in("/ghosts/valley.ghost")) << what;
        EXPECT_EQ(playerCoursesFolderFrom(c.xdg, c.home), in("/courses")) << what;
        EXPECT_EQ(lastCoursePathFrom(c.xdg, c.home), in("/last-course")) << what;
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

TEST(SharedRecords, TwoGamesWinningAtOnceKeepBothRecordsAndTheBetterTime) {
    TempDir dir;
    const std::string path = recordsPathFrom(dir.root.c_str(), nullptr);
    constexpr int rounds = 40;
    for (int round = 0; round < rounds; ++round) {
        // Each round: both games on one course, one slower and one faster, plus a course of each game's own.
        const uint64_t shared = 1000 + uint64_t(round), ownA = 5000 + uint64_t(round), ownB = 9000 + uint64_t(round);
        const float slow = 50.0f - 0.1f * float(round), fast = slow - 5.0f;
        CourseRecord knownA = loadRecord(path, shared), knownB = knownA;
        std::atomic<int> ready{0};
        bool saidA = false, saidB = false;
        auto game = [&ready](const std::string& file, uint64_t own, uint64_t course, float time, CourseRecord& known,
                             bool& said) {
            ready.fetch_add(1);
            while (ready.load() < 2) continue;
            CourseRecord none;
            offerRecord(file, own, 30.0f, when, none);
            said = offerRecord(file, course, time, when, known);
        };
        std::thread a(game, path, ownA, shared, slow, std::ref(knownA), std::ref(saidA));
        std::thread b(game, path, ownB, shared, fast, std::ref(knownB), std::ref(saidB));
        a.join();
        b.join();
        const CourseRecord stored = loadRecord(path, shared);
        ASSERT_TRUE(stored.has) << "round " << round;
        EXPECT_FLOAT_EQ(stored.seconds, fast) << "round " << round << ": the better time is kept";
        EXPECT_TRUE(saidB) << "round " << round << ": the faster win beat whatever the file held";
        // The slower game says "New record!" only if it wrote first; then the faster one found its time and beat it.
        if (!saidA) {
            EXPECT_FLOAT_EQ(knownA.seconds, fast) << "round " << round << ": the slower game learns the file's time";
        }
        EXPECT_TRUE(loadRecord(path, ownA).has && loadRecord(path, ownB).has)
            << "round " << round << ": neither game's write lost the other's course";
    }
    EXPECT_FALSE(fs::exists(path + ".broken"));
}

// A writer killed mid-write: the file is always whole (never set aside) and holds at least the last time the writer
// had finished writing; no temporary file outlives the next write.
TEST(SharedRecords, AWriterKilledAtAnyMomentLeavesTheFileWholeAndNeverWorse) {
    TempDir dir;
    const std::string path = recordsPathFrom(dir.root.c_str(), nullptr);
    constexpr uint64_t course = 42;
    float best = 600.0f;
    ASSERT_TRUE(offerAsNewGame(path, course, best));
    for (int round = 0; round < 20; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            // Ever faster wins, each reported once it is in the file.
            for (float t = best - 0.5f; t > 1.0f; t -= 0.5f) {
                offerAsNewGame(path, course, t);
                if (write(pipeEnds[1], &t, sizeof t) != sizeof t) break;
            }
            _exit(0);
        }
        close(pipeEnds[1]);
        // Killed right after its (3 + round % 5)th report: it is then somewhere in the next write.
        float finished = best;
        for (int reports = 0; reports < 3 + round % 5; ++reports) {
            float t = 0.0f;
            if (read(pipeEnds[0], &t, sizeof t) != sizeof t) break;
            finished = t;
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        close(pipeEnds[0]);

        const CourseRecord stored = loadRecord(path, course);
        ASSERT_FALSE(fs::exists(path + ".broken")) << "round " << round << ": the file was broken";
        ASSERT_TRUE(stored.has) << "round " << round;
        EXPECT_LE(stored.seconds, finished) << "round " << round << ": a finished record was lost";
        best = stored.seconds;
    }
    // The next write clears whatever the killed writers left half done.
    offerAsNewGame(path, course, 0.5f);
    for (const auto& entry : fs::directory_iterator(dir.root / "kelvara-golf")) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "records.ini" || name == "records.ini.lock") << name << " was left behind";
    }
}

constexpr uint64_t courseA = 0x1234abcd5678ef01ull, courseB = 0x1111222233334444ull;

// Four seconds along x at 3 units a second, turning about y, with a split at checkpoint 1.
Ghost straightRun() {
    GhostRecorder recorder;
    restartGhost(recorder, courseA, 3);
    for (int frame = 0; frame <= 4 * 60; ++frame) {
        const float t = float(frame) / 60.0f;
        recordGhostFrame(recorder, t, {glm::vec3(3.0f * t, 1.0f, 0.0f), glm::angleAxis(t, glm::vec3(0, 1, 0))});
    }
    recordGhostSplit(recorder, 1, 2.5f);
    return recorder.run;
}

TEST(Ghost, ARunIsSampledAtItsRateReplaysBetweenSamplesSplitsAtHundredthsAndSurvivesItsFile) {
    const Ghost run = straightRun();
    ASSERT_EQ(run.samples.size(), 4u * ghostSampleRate + 1);
    EXPECT_FLOAT_EQ(run.duration(), 4.0f);
    // Between samples and between frames alike, the replay is where the ball was.
    for (float t : {0.0f, 0.01f, 1.0f / 3.0f, 1.234f, 2.5f, 3.999f}) {
        const GhostPose pose = ghostPoseAt(run, t);
        expectVecNear(pose.position, glm::vec3(3.0f * t, 1.0f, 0.0f), 1e-3f, "at " + std::to_string(t));
        EXPECT_NEAR(glm::angle(pose.orientation), t, 1e-3f) << t;
        EXPECT_FLOAT_EQ(pose.opacity, 1.0f) << t;
    }
    // Before the run it waits on the start; after it, it stays at the end and fades.
    expectVecNear(ghostPoseAt(run, -1.0f).position, glm::vec3(0.0f, 1.0f, 0.0f), 1e-5f);
    expectVecNear(ghostPoseAt(run, 9.0f).position, glm::vec3(12.0f, 1.0f, 0.0f), 1e-4f);
    EXPECT_NEAR(ghostPoseAt(run, 4.0f + 0.5f * ghostFadeSeconds).opacity, 0.5f, 1e-4f);
    EXPECT_EQ(ghostPoseAt(run, 4.0f + ghostFadeSeconds).opacity, 0.0f);
    EXPECT_EQ(ghostPoseAt(Ghost{}, 1.0f).opacity, 0.0f) << "no ghost shows nothing";

    // Splits compare at the hundredths shown: 2.50 at checkpoint 1.
    long d = 0;
    for (const auto& [clock, hundredths] : {std::pair{2.504f, 0L}, {2.31f, -19L}, {3.0f, 50L}}) { // level, never a loss
        ASSERT_TRUE(splitAgainst(run, 1, clock, d));
        EXPECT_EQ(d, hundredths) << clock;
    }
    EXPECT_FALSE(splitAgainst(run, 2, 3.0f, d)) << "a checkpoint the ghost never reached";
    EXPECT_FALSE(splitAgainst(run, 7, 3.0f, d)) << "a checkpoint the course does not have";

    // Saved and loaded back, it is the same to the bit.
    TempDir dir;
    const std::string path = ghostPathFrom(dir.root.c_str(), nullptr, "valley");
    ASSERT_TRUE(saveGhost(path, run));
    Ghost back;
    ASSERT_TRUE(loadGhost(path, courseA, back));
    ASSERT_EQ(back.samples.size(), run.samples.size());
    EXPECT_EQ(back.splits, run.splits);
    for (std::size_t k = 0; k < run.samples.size(); ++k) ASSERT_EQ(back.samples[k].position, run.samples[k].position) << k;

    // Slow frames still give every sample, and recording never allocates.
    GhostRecorder recorder;
    const GhostSample* storage = recorder.run.samples.data();
    restartGhost(recorder, courseA, 2);
    // Ten frames a second: three samples fall between each pair of frames.
    for (int frame = 0; frame <= 20; ++frame) {
        const float t = float(frame) / 10.0f;
        recordGhostFrame(recorder, t, {glm::vec3(t, 0.0f, 0.0f), glm::quat(1, 0, 0, 0)});
    }
    ASSERT_EQ(recorder.run.samples.size(), 2u * ghostSampleRate + 1);
    for (std::size_t k = 0; k < recorder.run.samples.size(); ++k)
        EXPECT_NEAR(recorder.run.samples[k].position.x, float(k) / float(ghostSampleRate), 1e-4f) << k;
    EXPECT_EQ(recorder.run.samples.data(), storage) << "the room made up front was enough";
}

TEST(GhostFile, EveryBrokenFileGivesOneLineAndNoGhost) {
    const std::vector<uint8_t> good = encodeGhost(straightRun());
    // The good file with bytes written over it from at, the checksum left as it was (the sample count is at 24).
    auto with = [&good](std::size_t at, std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    struct Case { const char* what; std::vector<uint8_t> bytes; uint64_t course; const char* reason; bool setAside; };
    const Case cases[] = {
        {"empty", {}, courseA, "not a ghost file", true},
        {"short", std::vector<uint8_t>(good.begin(), good.begin() + 20), courseA, "not a ghost file", true},
        {"wrong magic", with(0, {'X'}), courseA, "not a ghost file", true},
        {"newer version", with(8, {2}), courseA, "made by a newer game", false},
        {"another course", good, courseB, "of another version of this course", false},
        {"bad checksum", with(good.size() / 2, {uint8_t(good[good.size() / 2] ^ 0x40)}), courseA,
         "its checksum does not match", true},
        {"huge count", with(24, {0xf0, 0xff, 0xff, 0xff}), courseA, "its counts are out of range", true},
        {"count beyond the bytes", with(24, {200, 0, 0, 0}), courseA, "its length does not match its counts", true},
        {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 9), courseA, "its length does not match its counts",
         true},
    };
    for (const Case& c : cases) {
        Ghost out;
        std::string reason;
        EXPECT_FALSE(decodeGhost(c.bytes, c.course, out, reason)) << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;

        TempDir dir;
        const std::string path = dir.write("g.ghost", std::string(c.bytes.begin(), c.bytes.end()));
        const std::string said = stderrOf([&] { EXPECT_FALSE(loadGhost(path, c.course, out)) << c.what; });
        EXPECT_NE(said.find(c.reason), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what;
        // Another version's ghost is kept for that version; a broken one is moved out of the way.
        EXPECT_EQ(fs::exists(path), !c.setAside) << c.what;
        EXPECT_EQ(fs::exists(path + ".broken"), c.setAside) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
    }
    Ghost none;
    EXPECT_EQ(stderrOf([&] { EXPECT_FALSE(loadGhost("/nonexistent/valley.ghost", courseA, none)); }), "")
        << "no ghost yet is no message";
}

// A race recorded as it is driven replays on the ball's own path, frame by frame.
TEST(Ghost, ARecordedRaceReplaysOnTheBallsPath) {
    auto race = testRace();
    FrameDriver driver{*race, 1.0f / 45.0f};
    driver.frames(10);
    startFirstRace(*race, double(driver.now));
    FrameInput push;
    push.boostDown = true;
    push.mouseDeltaX = 2.0f; // a gentle curve
    std::vector<std::pair<float, glm::vec3>> path;
    const int32_t number = race->state.raceNumber;
    for (int frame = 0; frame < 45 * 6; ++frame) {
        driver.frame(frame % 3 == 0 ? push : FrameInput{});
        ASSERT_EQ(race->state.raceNumber, number) << "the ball stays on the course";
        if (race->state.phase == RacePhase::Rolling) path.emplace_back(race->state.raceClock, ballPosition(*race));
    }
    ASSERT_GT(path.size(), 100u);
    const Ghost& run = race->recorder.run;
    // The run holds every sample due so far: its last stands less than one sample's time before the last frame.
    EXPECT_GT(run.duration(), path.back().first - 1.0f / float(ghostSampleRate));
    for (const auto& [clock, where] : path) {
        if (clock > run.duration()) break;
        expectVecNear(ghostPoseAt(run, clock).position, where, 0.05f, "at " + std::to_string(clock));
    }
}

// Only a run that sets the record becomes the course's ghost, and the race shows it from then on.
TEST(GhostFile, ARecordRunIsKeptAsTheGhostAndASlowerOneIsNot) {
    TempDir dir;
    PersonalRecords records;
    records.active = true;
    records.file = recordsPathFrom(dir.root.c_str(), nullptr);
    records.courseId = courseA;
    records.ghostFile = ghostPathFrom(dir.root.c_str(), nullptr, "valley");
    const Ghost fast = straightRun();
    Ghost slow = fast;
    slow.samples.push_back(slow.samples.back());

    // Offers a won race's time and run, and waits for the decision: whether it beat the file.
    auto beats = [&records](float seconds, const Ghost& run) {
        bool beaten = false;
        EXPECT_TRUE(offerRaceTime(records, seconds, run)) << "better than what this game knew";
        settleRecord(records);
        EXPECT_TRUE(takeRecordDecision(records, beaten));
        return beaten;
    };
    EXPECT_TRUE(beats(30.0f, fast));
    Ghost kept;
    ASSERT_TRUE(loadGhost(records.ghostFile, courseA, kept));
    EXPECT_EQ(kept.samples.size(), fast.samples.size());

    // Another game set a better time meanwhile: this one is no record, and its run does not replace the ghost.
    CourseRecord other;
    ASSERT_TRUE(offerRecord(records.file, courseA, 20.0f, when, other));
    EXPECT_FALSE(beats(25.0f, slow)) << "the file held 20";
    EXPECT_FLOAT_EQ(records.best.seconds, 20.0f) << "this game learns the better time";
    ASSERT_TRUE(loadGhost(records.ghostFile, courseA, kept));
    EXPECT_EQ(kept.samples.size(), fast.samples.size());
}

} // namespace
