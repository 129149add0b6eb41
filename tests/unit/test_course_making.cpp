// Courses made from seeds: the same seed gives the same bytes, every course is won by the automatic player at 30 and
// 144 fps with the time left it was offered with and lost by an idle ball, and a saved course reads back as the
// game's catalogue reads it, its ghost included.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "core/auto_player.h"
#include "core/course_job.h"
#include "core/course_maker.h"
#include "core/race.h"
#include "tests/support/files.h"

namespace {

// Making a course takes seconds: each request is made once for the whole file.
const MadeCourse& made(uint32_t seed, Difficulty difficulty) {
    static std::map<std::pair<uint32_t, int>, MadeCourse> courses;
    const auto key = std::make_pair(seed, static_cast<int>(difficulty));
    auto it = courses.find(key);
    if (it == courses.end()) {
        MadeCourse course;
        std::string error;
        EXPECT_TRUE(makeCourse({seed, difficulty}, course, nullptr, error)) << error;
        it = courses.emplace(key, std::move(course)).first;
    }
    return it->second;
}

struct Outcome {
    RacePhase phase = RacePhase::GetReady;
    float timeLeft = 0.0f;
    bool leftCourse = false;
};

// One race of a made course as the game would run it, with its real countdown.
Outcome race(const MadeCourse& course, PlayerKind kind, double fps) {
    std::unique_ptr<Race> race = makeRaceOnGrid(course.course, course.grid, course.identity);
    race->speaks = false;
    Player player = makePlayer(kind, course.course);
    double now = 0.0;
    startFirstRace(*race, now);
    const int number = race->state.raceNumber;
    while (now < 200.0 && race->state.phase != RacePhase::Won && race->state.phase != RacePhase::Lost) {
        now += 1.0 / fps;
        tickClock(*race, float(now));
        advanceFrame(*race, playFrame(player, *race, race->clock.deltaTime));
        if (race->state.raceNumber != number) return {race->state.phase, 0.0f, true};
    }
    return {race->state.phase, race->state.timer, false};
}

} // namespace

TEST(SeedCourses, NamesParseAndTheDailyCourseIsTheDate) {
    CourseRequest r;
    std::string error;
    EXPECT_EQ(parseSeedCourse("valley", r, error), SeedParse::NotSeed);
    ASSERT_EQ(parseSeedCourse("seed:12", r, error), SeedParse::Ok);
    EXPECT_EQ(seedCourseId(r), "seed-12-medium");
    ASSERT_EQ(parseSeedCourse("seed:4294967295:hard", r, error), SeedParse::Ok);
    EXPECT_EQ(seedCourseId(r), "seed-4294967295-hard");
    EXPECT_TRUE(validCourseId(seedCourseId(r)));
    for (const char* bad : {"seed:", "seed:-1", "seed:4294967296", "seed:12:extreme", "seed:1x", "seed:12:"}) {
        error.clear();
        EXPECT_EQ(parseSeedCourse(bad, r, error), SeedParse::Bad) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << "the message names what was given: " << error;
    }
    EXPECT_EQ(seedCourseId(dailyCourseRequest(2026, 12, 7)), "seed-20261207-medium");
    EXPECT_NE(dailyCourseRequest(2026, 12, 7).seed, dailyCourseRequest(2026, 12, 8).seed);
}

TEST(CourseMaking, TheSameSeedGivesTheSameBytes) {
    const MadeCourse& first = made(5, Difficulty::Medium);
    MadeCourse again;
    std::string error;
    ASSERT_TRUE(makeCourse({5, Difficulty::Medium}, again, nullptr, error)) << error;
    EXPECT_EQ(first.courseFile, again.courseFile);
    EXPECT_TRUE(first.heightmapPng == again.heightmapPng);
    EXPECT_TRUE(first.grassPng == again.grassPng);
    EXPECT_TRUE(first.previewPng == again.previewPng);
    EXPECT_TRUE(encodeGhost(first.ghost) == encodeGhost(again.ghost));
    EXPECT_FALSE(made(6, Difficulty::Medium).heightmapPng == first.heightmapPng) << "another seed, another course";
}

TEST(CourseMaking, EveryDifficultyIsWonWithTheTimeLeftItWasOfferedWithAndLostIdle) {
    float hardest = 1e9f;
    for (Difficulty d : {Difficulty::Easy, Difficulty::Medium, Difficulty::Hard}) {
        const MadeCourse& course = made(7, d);
        SCOPED_TRACE(seedCourseId(course.request));
        const double rates[2] = {30.0, 144.0};
        for (int i = 0; i < 2; ++i) {
            const Outcome won = race(course, PlayerKind::Scripted, rates[i]);
            ASSERT_EQ(won.phase, RacePhase::Won) << rates[i] << " fps";
            EXPECT_NEAR(won.timeLeft, course.margins[i], 0.05f) << rates[i] << " fps";
            EXPECT_GE(won.timeLeft, provingRules(d).leastLeft - 0.05f);
            EXPECT_LE(won.timeLeft, provingRules(d).mostLeft + 0.05f);
        }
        const Outcome idle = race(course, PlayerKind::Idle, 30.0);
        EXPECT_EQ(idle.phase, RacePhase::Lost);
        EXPECT_FALSE(idle.leftCourse);
        // Medals by the shipped courses' rule, from the proving runs.
        EXPECT_GT(course.course.goldSeconds, 0.0f);
        EXPECT_EQ(course.course.silverSeconds, std::ceil(course.course.goldSeconds * 1.2f));
        EXPECT_EQ(course.course.bronzeSeconds, std::ceil(course.course.goldSeconds * 1.5f));
        EXPECT_EQ(course.ghost.courseId, course.identity);
        EXPECT_FALSE(course.ghost.empty());
        // A harder course leaves less time to spare.
        EXPECT_LT(std::min(course.margins[0], course.margins[1]), hardest + 1e-3f);
        hardest = std::min(course.margins[0], course.margins[1]);
    }
}

TEST(CourseMaking, ARefusedDesignMovesOnToTheNextAndCancellingStops) {
    // Asked for a time left that no design gives, each design is raced, refused and the next one tried.
    const ProvingRules impossible{0.0f, 0.01f, 2};
    MadeCourse none;
    std::string refusals;
    EXPECT_FALSE(makeCourse({7, Difficulty::Easy}, none, nullptr, refusals, &impossible));
    EXPECT_NE(refusals.find("design 1: won at 30 fps"), std::string::npos) << refusals;
    EXPECT_NE(refusals.find("design 2: won at 30 fps"), std::string::npos) << refusals;

    MakingProgress progress;
    progress.cancel = true;
    MadeCourse course;
    std::string error;
    EXPECT_FALSE(makeCourse({9, Difficulty::Easy}, course, &progress, error));
    EXPECT_NE(error.find("cancelled"), std::string::npos) << error;
}

TEST(CourseMaking, ASavedCourseReadsBackWithItsIdentityAndGhost) {
    const MadeCourse& course = made(7, Difficulty::Medium);
    TempDir dir;
    std::string error;
    ASSERT_TRUE(saveMadeCourse(course, dir.path("courses"), error)) << error;
    // Two games saving the same course at once: each swaps in a whole course, so it always reads back.
    for (int round = 0; round < 3; ++round) {
        bool saved[2] = {false, false};
        std::string errors[2];
        std::thread other([&] { saved[1] = saveMadeCourse(course, dir.path("courses"), errors[1]); });
        saved[0] = saveMadeCourse(course, dir.path("courses"), errors[0]);
        other.join();
        EXPECT_TRUE(saved[0] && saved[1]) << errors[0] << errors[1];
    }
    CourseEntry entry;
    const std::string folder = dir.path("courses/" + course.course.id);
    ASSERT_TRUE(readCourseEntry(folder, course.course.id, dir.path("data"), CourseOrigin::Player, entry));
    EXPECT_EQ(entry.identity, course.identity) << "its records and ghost are filed under what was proven";
    EXPECT_EQ(entry.course.checkpoints, course.course.checkpoints);
    EXPECT_EQ(entry.course.countdown, course.course.countdown);
    EXPECT_EQ(entry.course.goldSeconds, course.course.goldSeconds);
    EXPECT_FALSE(entry.previewFile.empty());
    Ghost ghost;
    EXPECT_TRUE(loadGhost(folder + "/ghost.ghost", entry.identity, ghost));
    EXPECT_EQ(ghost.samples.size(), course.ghost.samples.size());
    std::size_t entries = 0;
    for (const auto& item : fs::directory_iterator(dir.path("courses"))) {
        (void)item;
        ++entries;
    }
    EXPECT_EQ(entries, 1u) << "no temporary folder is left behind";
}

TEST(CourseJob, MakesInTheBackgroundThenReadsTheSameCourseBack) {
    TempDir dir;
    const CourseRequest request{7, Difficulty::Easy};
    CourseJob job;
    ASSERT_TRUE(startCourseJob(job, request, dir.path("courses"), dir.path("data")));
    EXPECT_FALSE(startCourseJob(job, request, dir.path("courses"), dir.path("data"))) << "one making at a time";
    CourseJobState state = CourseJobState::Running;
    while ((state = pollCourseJob(job)) == CourseJobState::Running) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10)); // waits for the job's answer, not for a time
    }
    ASSERT_EQ(state, CourseJobState::Done) << job.message;
    EXPECT_EQ(job.entry.course.id, "seed-7-easy");
    EXPECT_EQ(pollCourseJob(job), CourseJobState::Idle) << "the answer comes once";

    // Asked again, the course already made is read back, not made again.
    const auto written = fs::last_write_time(dir.path("courses/seed-7-easy/heightmap.png"));
    ASSERT_TRUE(startCourseJob(job, request, dir.path("courses"), dir.path("data")));
    while ((state = pollCourseJob(job)) == CourseJobState::Running) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(state, CourseJobState::Done);
    EXPECT_EQ(fs::last_write_time(dir.path("courses/seed-7-easy/heightmap.png")), written);
    EXPECT_EQ(job.entry.identity, made(7, Difficulty::Easy).identity);
}
