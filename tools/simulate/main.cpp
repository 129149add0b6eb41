// Headless course simulator: races a course from its file with the game's own terrain, physics, camera and race rules.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <glm/geometric.hpp>

#include "core/course.h"
#include "core/course_maker.h"
#include "core/race.h"
#include "core/auto_player.h"

namespace {

constexpr float defaultMaxSeconds = 600.0f;

struct Options {
    std::string dataDir = ".";
    std::string course = defaultCourseId;
    float fps = 60.0f;
    PlayerKind player = PlayerKind::Scripted;
    int races = 1;
    float resetAfter = -1.0f; // seconds of rolling in the first race after which the player presses reset
    float maxSeconds = defaultMaxSeconds;
    std::string recordsFile; // empty: no records are read or written
    std::string ghostFile;   // empty: no ghost is written
    bool sounds = false;     // print each frame's sound moments
};

void usage() {
    std::fprintf(stderr,
                 "usage: kelvara-simulate [--data DIR] [--course ID|seed:N[:easy|medium|hard]] [--fps N] [--player scripted|idle|leave]\n"
                 "                        [--races N]\n"
                 "                        [--reset-after SECONDS] [--max-seconds SECONDS] [--records FILE]\n"
                 "                        [--sounds] [--ghost-out FILE]\n");
}

bool parseNumber(const char* text, float& out) {
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        float number = 0.0f;
        if (arg == "--data" && value) {
            o.dataDir = value;
        } else if (arg == "--course" && value && (validCourseId(value) || std::string(value).rfind("seed:", 0) == 0)) {
            o.course = value;
        } else if (arg == "--fps" && value && parseNumber(value, number) && number >= 10.0f && number <= 1000.0f) {
            o.fps = number;
        } else if (arg == "--player" && value && parsePlayerKind(value, o.player)) {
        } else if (arg == "--races" && value && parseNumber(value, number) && number >= 1.0f && number <= 1000.0f) {
            o.races = static_cast<int>(number);
        } else if (arg == "--reset-after" && value && parseNumber(value, number) && number >= 0.0f) {
            o.resetAfter = number;
        } else if (arg == "--max-seconds" && value && parseNumber(value, number) && number > 0.0f) {
            o.maxSeconds = number;
        } else if (arg == "--records" && value && value[0] != '\0') {
            o.recordsFile = value;
        } else if (arg == "--ghost-out" && value && value[0] != '\0') {
            o.ghostFile = value;
        } else if (arg == "--sounds") {
            o.sounds = true;
            continue; // takes no value
        } else {
            std::fprintf(stderr, "kelvara-simulate: bad argument '%s'%s\n", arg.c_str(), value ? "" : " (missing value)");
            return false;
        }
        ++i;
    }
    return true;
}

void printBall(const Race& race, const char* what) {
    const glm::vec3 p = ballPosition(race);
    std::printf("%s (%.2f, %.2f, %.2f)", what, p.x, p.y, p.z);
}

// The frame's sound moments, as the game would play them: one line when there are any.
void printSounds(const SoundFrame& f, int race, float elapsed) {
    const std::pair<bool, const char*> moments[] = {
        {f.getReady, "get-ready"}, {f.letsRoll, "lets-roll"}, {f.checkpoint, "checkpoint"}, {f.tick, "tick"},
        {f.won, "won"},           {f.lost, "lost"},          {f.leftCourse, "left-course"}, {f.boostEmpty, "boost-empty"},
        {f.landingSpeed > 0.0f, "landing"},
    };
    std::string line;
    for (const auto& [happened, name] : moments) {
        if (happened) {
            line += ' ';
            line += name;
        }
    }
    if (!line.empty()) {
        // The game's out-of-bounds text has no line end.
        std::printf("%srace %d: sounds at %.2f:%s\n", f.leftCourse ? "\n" : "", race, elapsed, line.c_str());
    }
}

float distanceFromStart(const Race& race) {
    return glm::length(ballPosition(race) - race.course.start());
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }
    Course course;
    std::unique_ptr<Race> made;
    CourseRequest request;
    std::string error;
    switch (parseSeedCourse(options.course, request, error)) {
    case SeedParse::Bad:
        std::fprintf(stderr, "kelvara-simulate: %s\n", error.c_str());
        return 2;
    case SeedParse::Ok: {
        // Made in memory exactly as the game makes it, then raced like any course.
        MadeCourse madeCourse;
        if (!makeCourse(request, madeCourse, nullptr, error)) {
            std::fprintf(stderr, "kelvara-simulate: %s\n", error.c_str());
            return 1;
        }
        std::printf("course %s: design %d, proven with %.2f and %.2f Seconds left at 30 and 144 fps\n",
                    madeCourse.course.id.c_str(), madeCourse.attempts, double(madeCourse.margins[0]),
                    double(madeCourse.margins[1]));
        course = madeCourse.course;
        made = makeRaceOnGrid(course, std::move(madeCourse.grid), madeCourse.identity);
        break;
    }
    case SeedParse::NotSeed:
        if (!loadCourse(options.dataDir, options.course, course)) {
            return 1;
        }
        made = makeRace(course);
        break;
    }
    if (!made) {
        return 1;
    }
    Race& game = *made;
    const RaceState& state = game.state;
    const FrameClock& clock = game.clock;
    // Only an explicit file: a simulated race must never land among a player's own records.
    if (!options.recordsFile.empty()) {
        setupRecords(game.records, options.recordsFile, course.heightmapFile, course.checkpoints);
        const CourseRecord& record = game.records.best;
        if (record.has) {
            std::printf("records: best %.2f Seconds, set %s\n", record.seconds, record.setAt.c_str());
        } else {
            std::printf("records: no record for this course yet\n");
        }
    }

    const double frameTime = 1.0 / options.fps;
    double now = 0.0;
    auto nextFrame = [&]() {
        now += frameTime;
        tickClock(game, static_cast<float>(now));
    };
    // The first update measures from zero, as the game's first frame measures from the window's start.
    startFirstRace(game, now);
    std::printf("race %d: starts %.2f from the start checkpoint, %.0f frames per second, %s player\n",
                state.raceNumber, distanceFromStart(game), options.fps, playerKindName(options.player));

    Player player = makePlayer(options.player, course);
    int finished = 0;
    bool resetPressed = false;
    Ghost fastest; // the fastest won run, for --ghost-out
    int race = state.raceNumber;
    std::vector<bool> announced(course.checkpoints.size(), false);
    float rollingStart = -1.0f;
    auto beginRace = [&]() {
        race = state.raceNumber;
        announced.assign(course.checkpoints.size(), false);
        rollingStart = -1.0f;
        restartPlayer(player);
        std::printf("race %d: starts %.2f from the start checkpoint\n", race, distanceFromStart(game));
    };

    while (finished < options.races && now < options.maxSeconds) {
        nextFrame();
        FrameInput input = playFrame(player, game, clock.deltaTime);
        if (!resetPressed && options.resetAfter >= 0.0f && rollingStart >= 0.0f &&
            clock.totalTime - rollingStart >= options.resetAfter) {
            input.resetDown = true;
            resetPressed = true;
            std::printf("race %d: the player restarts after %.2f Seconds\n", race, clock.totalTime - state.raceStart);
        }
        advanceFrame(game, input);
        if (options.sounds) {
            printSounds(game.sounds, race, clock.totalTime - state.raceStart);
        }
        clearSoundEvents(game.sounds);
        if (state.phase == RacePhase::Rolling && rollingStart < 0.0f) {
            rollingStart = clock.totalTime;
        }

        if (state.raceNumber != race) {
            if (!input.resetDown) {
                // The game's own out-of-bounds text has no line end.
                std::printf("\nrace %d: left the course\n", race);
                ++finished;
            }
            beginRace();
            continue;
        }
        for (std::size_t i = 1; i < course.goalIndex(); ++i) {
            if (state.reached[i] && !announced[i]) {
                announced[i] = true;
                std::printf("race %d: checkpoint %zu after %.2f Seconds, %.2f Seconds left, boost %.2f\n", race, i,
                            clock.totalTime - state.raceStart, state.timer, state.boost);
            }
        }
        if (state.phase == RacePhase::Won || state.phase == RacePhase::Lost) {
            const bool won = state.phase == RacePhase::Won;
            std::printf("race %d: %s after %.2f Seconds with %.2f Seconds left, ", race, won ? "won" : "lost",
                        clock.totalTime - state.raceStart, state.timer);
            printBall(game, "ball at");
            std::printf("\n");
            // The game shows its banner once the file has answered; the simulator waits for the answer.
            settleRecord(game.records);
            collectRecordDecision(game);
            if (state.newRecord) {
                std::printf("race %d: new record %.2f Seconds\n", race, game.records.best.seconds);
            }
            if (won && (fastest.empty() || game.recorder.run.duration() < fastest.duration())) {
                fastest = game.recorder.run;
            }
            ++finished;
            if (finished < options.races) {
                FrameInput again;
                again.resetDown = true;
                nextFrame();
                advanceFrame(game, again);
                beginRace();
            }
        }
    }
    if (finished < options.races) {
        std::printf("simulation stopped after %.0f Seconds\n", now);
    }
    finishRecords(game.records);
    if (!options.ghostFile.empty()) {
        if (fastest.empty()) {
            std::fprintf(stderr, "kelvara-simulate: no race was won, so no ghost was written\n");
        } else if (saveGhost(options.ghostFile, fastest)) {
            std::printf("ghost: %zu samples, %.2f Seconds, written to %s\n", fastest.samples.size(),
                        fastest.duration(), options.ghostFile.c_str());
        }
    }
    std::printf("%s", sessionReport(state).c_str());
    return 0;
}
