// Two games share one records file: winning at once, both records end up in it and "New record!" is only said for a
// time that beat the file; a writer killed at any moment leaves the file whole and never worse.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "core/records.h"
#include "tests/support/files.h"

namespace {

constexpr const char* when = "2025-01-02T03:04:05Z";

// What a fresh game knows of a course before it wins: what the file holds.
bool offerAsNewGame(const std::string& path, uint64_t course, float seconds) {
    CourseRecord known = loadRecord(path, course);
    return offerRecord(path, course, seconds, when, known);
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
            while (ready.load() < 2) {
            }
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
    EXPECT_FALSE(std::filesystem::exists(path + ".broken"));
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
                CourseRecord known = loadRecord(path, course);
                offerRecord(path, course, t, when, known);
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
        ASSERT_FALSE(std::filesystem::exists(path + ".broken")) << "round " << round << ": the file was broken";
        ASSERT_TRUE(stored.has) << "round " << round;
        EXPECT_LE(stored.seconds, finished) << "round " << round << ": a finished record was lost";
        best = stored.seconds;
    }
    // The next write clears whatever the killed writers left half done.
    offerAsNewGame(path, course, 0.5f);
    for (const auto& entry : std::filesystem::directory_iterator(dir.root / "kelvara-golf")) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "records.ini" || name == "records.ini.lock") << name << " was left behind";
    }
}

} // namespace
