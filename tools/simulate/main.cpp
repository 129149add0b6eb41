// Headless course simulator: races the shipped course with the game's own terrain, physics, camera and race rules.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include <glm/geometric.hpp>

#include "core/camera.h"
#include "core/race.h"
#include "core/records.h"
#include "core/physics.h"
#include "core/terrain.h"
#include "core/particles.h"
#include "core/sound_events.h"
#include "tools/simulate/player.h"

namespace {

constexpr float defaultMaxSeconds = 600.0f;

struct Options {
    std::string dataDir = ".";
    float fps = 60.0f;
    PlayerKind player = PlayerKind::Scripted;
    int races = 1;
    float resetAfter = -1.0f; // seconds of rolling in the first race after which the player presses reset
    float maxSeconds = defaultMaxSeconds;
    std::string recordsFile; // empty: no records are read or written
    bool sounds = false;     // print each frame's sound moments
};

void usage() {
    std::fprintf(stderr,
                 "usage: kelvara-simulate [--data DIR] [--fps N] [--player scripted|idle|leave] [--races N]\n"
                 "                        [--reset-after SECONDS] [--max-seconds SECONDS] [--records FILE]\n"
                 "                        [--sounds]\n");
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

void printBall(const char* what) {
    const glm::vec3 p = ballPosition();
    std::printf("%s (%.2f, %.2f, %.2f)", what, p.x, p.y, p.z);
}

// The frame's sound moments, as the game would play them: one line when there are any.
void printSounds(int race, float elapsed) {
    const SoundFrame& f = soundFrame;
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

float distanceFromStart() {
    return glm::length(ballPosition() - checkpoints[0]);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }
    const std::string heightmap = options.dataDir + "/Textures/heightmap.png";
    resetCamera(camera, checkpoints[0]);
    setupPhysics();
    if (setupTerrainCollision(heightmap.c_str()) != 0) {
        return 1;
    }
    createParticlePool();
    // Only an explicit file: a simulated race must never land among a player's own records.
    if (!options.recordsFile.empty()) {
        setupRecords(options.recordsFile, heightmap);
        const CourseRecord& record = personalRecords.best;
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
        tickClock(static_cast<float>(now));
    };
    // The first update measures from zero, as the game's first frame measures from GLFW's start.
    startFirstRace(now);
    std::printf("race %d: starts %.2f from the start checkpoint, %.0f frames per second, %s player\n",
                raceState.raceNumber, distanceFromStart(), options.fps, playerKindName(options.player));

    Player player = makePlayer(options.player);
    int finished = 0;
    bool resetPressed = false;
    int race = raceState.raceNumber;
    std::array<bool, checkpointCount> announced{};
    float rollingStart = -1.0f;
    auto beginRace = [&]() {
        race = raceState.raceNumber;
        announced.fill(false);
        rollingStart = -1.0f;
        restartPlayer(player);
        std::printf("race %d: starts %.2f from the start checkpoint\n", race, distanceFromStart());
    };

    while (finished < options.races && now < options.maxSeconds) {
        nextFrame();
        FrameInput input = playFrame(player, frameClock.deltaTime);
        if (!resetPressed && options.resetAfter >= 0.0f && rollingStart >= 0.0f &&
            frameClock.totalTime - rollingStart >= options.resetAfter) {
            input.resetDown = true;
            resetPressed = true;
            std::printf("race %d: the player restarts after %.2f Seconds\n", race,
                        frameClock.totalTime - raceState.raceStart);
        }
        advanceFrame(input);
        if (startRollingIfDue(raceState, frameClock)) { // the game's HUD step
            soundFrame.letsRoll = true;
        }
        if (options.sounds) {
            printSounds(race, frameClock.totalTime - raceState.raceStart);
        }
        clearSoundEvents(soundFrame);
        if (raceState.phase == RacePhase::Rolling && rollingStart < 0.0f) {
            rollingStart = frameClock.totalTime;
        }

        if (raceState.raceNumber != race) {
            if (!input.resetDown) {
                // The game's own out-of-bounds text has no line end.
                std::printf("\nrace %d: left the course\n", race);
                ++finished;
            }
            beginRace();
            continue;
        }
        for (std::size_t i = 1; i < goalIndex; ++i) {
            if (raceState.reached[i] && !announced[i]) {
                announced[i] = true;
                std::printf("race %d: checkpoint %zu after %.2f Seconds, %.2f Seconds left, boost %.2f\n", race, i,
                            frameClock.totalTime - raceState.raceStart, raceState.timer, raceState.boost);
            }
        }
        if (raceState.phase == RacePhase::Won || raceState.phase == RacePhase::Lost) {
            const bool won = raceState.phase == RacePhase::Won;
            std::printf("race %d: %s after %.2f Seconds with %.2f Seconds left, ", race, won ? "won" : "lost",
                        frameClock.totalTime - raceState.raceStart, raceState.timer);
            printBall("ball at");
            std::printf("\n");
            if (raceState.newRecord) {
                std::printf("race %d: new record %.2f Seconds\n", race, personalRecords.best.seconds);
            }
            ++finished;
            if (finished < options.races) {
                FrameInput again;
                again.resetDown = true;
                nextFrame();
                advanceFrame(again);
                beginRace();
            }
        }
    }
    if (finished < options.races) {
        std::printf("simulation stopped after %.0f Seconds\n", now);
    }
    finishRecords();
    std::printf("%s", sessionReport(raceState).c_str());
    shutdownPhysics();
    return 0;
}
