// The ghost: a run recorded at a fixed rate and replayed by the race clock, its splits, and its file with every way
// a file can be wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/ghost.h"
#include "core/records.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

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

TEST(Ghost, ARunIsSampledAtItsRateAndReplaysBetweenSamples) {
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
}

TEST(Ghost, SlowFramesStillGiveEverySampleAndRecordingNeverAllocates) {
    GhostRecorder recorder;
    const GhostSample* storage = recorder.run.samples.data();
    restartGhost(recorder, courseA, 2);
    // Ten frames a second: three samples fall between each pair of frames.
    for (int frame = 0; frame <= 20; ++frame) {
        const float t = float(frame) / 10.0f;
        recordGhostFrame(recorder, t, {glm::vec3(t, 0.0f, 0.0f), glm::quat(1, 0, 0, 0)});
    }
    ASSERT_EQ(recorder.run.samples.size(), 2u * ghostSampleRate + 1);
    for (std::size_t k = 0; k < recorder.run.samples.size(); ++k) {
        EXPECT_NEAR(recorder.run.samples[k].position.x, float(k) / float(ghostSampleRate), 1e-4f) << k;
    }
    EXPECT_EQ(recorder.run.samples.data(), storage) << "the room made up front was enough";
}

TEST(Ghost, SplitsCompareAtTheHundredthsShown) {
    const Ghost run = straightRun(); // 2.50 at checkpoint 1
    long d = 0;
    ASSERT_TRUE(splitAgainst(run, 1, 2.504f, d));
    EXPECT_EQ(d, 0) << "2.50 against 2.50: level, never a loss";
    ASSERT_TRUE(splitAgainst(run, 1, 2.31f, d));
    EXPECT_EQ(d, -19) << "ahead";
    ASSERT_TRUE(splitAgainst(run, 1, 3.0f, d));
    EXPECT_EQ(d, 50) << "behind";
    EXPECT_FALSE(splitAgainst(run, 2, 3.0f, d)) << "a checkpoint the ghost never reached";
    EXPECT_FALSE(splitAgainst(run, 7, 3.0f, d)) << "a checkpoint the course does not have";
}

TEST(GhostFile, ARunSurvivesTheRoundTripBitForBit) {
    TempDir dir;
    const Ghost run = straightRun();
    const std::string path = ghostPathFrom(dir.root.c_str(), nullptr, "valley");
    EXPECT_EQ(path, (dir.root / "kelvara-golf" / "ghosts" / "valley.ghost").string());
    ASSERT_TRUE(saveGhost(path, run));
    Ghost back;
    ASSERT_TRUE(loadGhost(path, courseA, back));
    ASSERT_EQ(back.samples.size(), run.samples.size());
    EXPECT_EQ(back.splits, run.splits);
    for (std::size_t k = 0; k < run.samples.size(); ++k) {
        ASSERT_EQ(std::memcmp(&back.samples[k].position, &run.samples[k].position, sizeof(glm::vec3)), 0) << k;
    }
    EXPECT_EQ(ghostPathFrom("relative", nullptr, "valley"), "") << "a relative data home counts as none";
}

TEST(GhostFile, EveryBrokenFileGivesOneLineAndNoGhost) {
    const std::vector<uint8_t> good = encodeGhost(straightRun());
    auto with = [&good](std::size_t at, uint8_t value) {
        std::vector<uint8_t> b = good;
        b[at] = value;
        return b;
    };
    auto countAt = [&good](uint32_t count) { // the sample count, with the checksum left as it was
        std::vector<uint8_t> b = good;
        for (int i = 0; i < 4; ++i) b[24 + std::size_t(i)] = uint8_t(count >> (8 * i));
        return b;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        uint64_t course;
        const char* reason;
        bool setAside;
    };
    const Case cases[] = {
        {"empty", {}, courseA, "not a ghost file", true},
        {"short", std::vector<uint8_t>(good.begin(), good.begin() + 20), courseA, "not a ghost file", true},
        {"wrong magic", with(0, 'X'), courseA, "not a ghost file", true},
        {"newer version", with(8, 2), courseA, "made by a newer game", false},
        {"another course", good, courseB, "of another version of this course", false},
        {"bad checksum", with(good.size() / 2, uint8_t(good[good.size() / 2] ^ 0x40)), courseA,
         "its checksum does not match", true},
        {"huge count", countAt(0xfffffff0u), courseA, "its counts are out of range", true},
        {"count beyond the bytes", countAt(200), courseA, "its length does not match its counts", true},
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
        std::string said;
        EXPECT_FALSE(loadGhost(path, c.course, out)) << c.what;
        said = stderrOf([&] { loadGhost(path, c.course, out); });
        if (c.setAside) {
            EXPECT_TRUE(std::filesystem::exists(path + ".broken")) << c.what;
            EXPECT_EQ(said, "") << c.what << ": once set aside, the file is gone";
        } else {
            EXPECT_NE(said.find(c.reason), std::string::npos) << c.what << ": " << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what;
            EXPECT_TRUE(std::filesystem::exists(path)) << c.what << ": another version's ghost is kept";
        }
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

    bool beaten = false;
    ASSERT_TRUE(offerRaceTime(records, 30.0f, fast));
    settleRecord(records);
    ASSERT_TRUE(takeRecordDecision(records, beaten));
    EXPECT_TRUE(beaten);
    Ghost kept;
    ASSERT_TRUE(loadGhost(records.ghostFile, courseA, kept));
    EXPECT_EQ(kept.samples.size(), fast.samples.size());

    // Another game set a better time meanwhile: this one is no record, and its run does not replace the ghost.
    CourseRecord other;
    ASSERT_TRUE(offerRecord(records.file, courseA, 20.0f, "2025-01-02T03:04:05Z", other));
    ASSERT_TRUE(offerRaceTime(records, 25.0f, slow)) << "better than what this game knew";
    settleRecord(records);
    ASSERT_TRUE(takeRecordDecision(records, beaten));
    EXPECT_FALSE(beaten) << "the file held 20";
    EXPECT_FLOAT_EQ(records.best.seconds, 20.0f) << "this game learns the better time";
    ASSERT_TRUE(loadGhost(records.ghostFile, courseA, kept));
    EXPECT_EQ(kept.samples.size(), fast.samples.size());
}

} // namespace
