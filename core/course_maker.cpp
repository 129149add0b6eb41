// Courses from seeds: a route wandering over the map without crossing itself, its floor falling from the start to
// the goal, the channel and land carved around it by the shipped courses' shapes, then raced by the automatic player
// to set the countdown and medal times and to prove it can be won.
#include "core/course_maker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <cerrno>
#include <cstring>

#include <glm/geometric.hpp>

#include "core/atomic_file.h"
#include "core/image_io.h"
#include "core/auto_player.h"
#include "core/course_design.h"
#include "core/race.h"
#include "core/records.h"
#include "core/route.h"
#include "core/seeded_random.h"

namespace {

constexpr const char* difficultyNames[difficultyCount] = {"easy", "medium", "hard"};
constexpr const char* seedPrefix = "seed:";

} // namespace

const char* difficultyName(Difficulty difficulty) {
    return difficultyNames[static_cast<int>(difficulty)];
}

bool parseDifficulty(const std::string& text, Difficulty& out) {
    for (int i = 0; i < difficultyCount; ++i) {
        if (text == difficultyNames[i]) {
            out = static_cast<Difficulty>(i);
            return true;
        }
    }
    return false;
}

SeedParse parseSeedCourse(const std::string& text, CourseRequest& out, std::string& error) {
    const std::string prefix = seedPrefix;
    if (text.compare(0, prefix.size(), prefix) != 0) return SeedParse::NotSeed;
    const std::string rest = text.substr(prefix.size());
    const std::size_t colon = rest.find(':');
    const std::string number = rest.substr(0, colon);
    CourseRequest request;
    bool digits = !number.empty() && number.size() <= 10;
    for (char c : number) digits = digits && c >= '0' && c <= '9';
    const unsigned long long value = digits ? std::strtoull(number.c_str(), nullptr, 10) : 0;
    if (!digits || value > 0xffffffffull) {
        error = "'" + text + "': the seed must be a whole number from 0 to 4294967295";
        return SeedParse::Bad;
    }
    request.seed = static_cast<uint32_t>(value);
    if (colon != std::string::npos && !parseDifficulty(rest.substr(colon + 1), request.difficulty)) {
        error = "'" + text + "': the difficulty after the seed must be easy, medium or hard";
        return SeedParse::Bad;
    }
    out = request;
    return SeedParse::Ok;
}

std::string seedCourseId(const CourseRequest& request) {
    return "seed-" + std::to_string(request.seed) + "-" + difficultyName(request.difficulty);
}

CourseRequest dailyCourseRequest(int year, int month, int day) {
    CourseRequest request;
    request.seed = static_cast<uint32_t>(year * 10000 + month * 100 + day);
    request.difficulty = Difficulty::Medium;
    return request;
}

CourseRequest todaysCourseRequest() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dailyCourseRequest(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}


namespace {

constexpr double mapLimit = 185.0;          // world units from the middle every part of the route stays within
constexpr double clearance = 50.0;          // between two stretches of the route far apart along it
constexpr double clearanceGap = 110.0;      // "far apart": this many units along the route
constexpr int headingTries = 14;            // directions tried for each next control point
constexpr int maxWalks = 1000;              // routes drawn for one design before it is given up
constexpr double runoutLength = 24.0;       // two waypoints past the goal, each this far
constexpr int pictureSize = 128;            // pixels, square, as the shipped previews
constexpr float provingFps[2] = {30.0f, 144.0f};
constexpr float generousCountdown = 600.0f; // seconds: while timing the route no clock runs out
constexpr float countdownStep = 0.5f;       // the countdown is a whole number of half seconds
constexpr float minCountdown = 8.0f;
constexpr float longestProvingRace = 100.0f; // seconds: about three times the slowest gold time

// What a difficulty changes: the channel, the route's turns and length, and how much time is left at the goal.
struct Tuning {
    double floorHalfWidth;
    double padFloorHalfWidth;
    double wallMaxSlope;
    double rimHeight;
    double hillHeight;
    double maxTurn;        // degrees from one control point's heading to the next
    double stepMin;        // world units between control points
    double stepMax;
    double length;         // of the route, roughly
    double fallPerUnit;    // the floor's average fall along the route
    double riseShare;      // share of checkpoints that stand higher than the one before
    float checkpointSeconds;
    float marginMin;       // seconds left at the goal in the proving runs
    float marginTarget;
    float marginMax;
};

const Tuning& tuningOf(Difficulty difficulty) {
    static const Tuning tunings[difficultyCount] = {
        {4.0, 4.5, 2.0, 7.0, 16.0, 40.0, 60.0, 75.0, 650.0, 0.07, 0.0, 5.0f, 10.0f, 14.0f, 30.0f},
        {2.5, 3.0, 2.5, 7.0, 24.0, 60.0, 50.0, 65.0, 850.0, 0.06, 0.1, 4.0f, 6.0f, 8.0f, 16.0f},
        {1.8, 3.0, 3.0, 10.0, 34.0, 80.0, 40.0, 55.0, 950.0, 0.05, 0.25, 3.0f, 3.0f, 4.5f, 9.0f},
    };
    return tunings[static_cast<int>(difficulty)];
}

double round1(double v) {
    return std::round(v * 10.0) / 10.0;
}

// Distance from p to the segment a-b.
double segmentDistance(glm::dvec2 p, glm::dvec2 a, glm::dvec2 b) {
    const glm::dvec2 ab = b - a;
    const double t = std::clamp(glm::dot(p - a, ab) / std::max(glm::dot(ab, ab), 1e-9), 0.0, 1.0);
    return glm::length(p - (a + ab * t));
}

// A new stretch from a to b keeps its distance from every stretch before the last two.
bool stretchClear(const std::vector<glm::dvec2>& points, glm::dvec2 a, glm::dvec2 b) {
    for (std::size_t i = 0; i + 3 < points.size(); ++i) {
        for (int k = 0; k <= 8; ++k) {
            const glm::dvec2 p = a + (b - a) * (k / 8.0);
            if (segmentDistance(p, points[i], points[i + 1]) < clearance) return false;
        }
    }
    return true;
}

bool inside(glm::dvec2 p) {
    return std::fabs(p.x) <= mapLimit && std::fabs(p.y) <= mapLimit;
}

// The route's control points: the start, then waypoints and checkpoints by turns, the goal, and the run-out.
// False when the walk got stuck against its own earlier stretches or the map's edge.
bool wanderRoute(SeededRandom& random, const Tuning& t, std::vector<glm::dvec2>& points) {
    const double startAngle = random.range(0.0f, 6.2831853f);
    const double startRadius = random.range(110.0f, 160.0f);
    points = {glm::dvec2(std::cos(startAngle), std::sin(startAngle)) * startRadius};
    // Off towards the middle, give or take: there is room to wander that way.
    double heading = startAngle + 3.14159265 + random.range(-0.6f, 0.6f);
    double length = 0.0;
    while (length < t.length || points.size() % 2 == 0) {
        const double step = random.range(float(t.stepMin), float(t.stepMax));
        bool placed = false;
        for (int attempt = 0; attempt < headingTries && !placed; ++attempt) {
            // The first stretch runs straight off the pad; later ones turn, more often gently than sharply.
            const double turn = points.size() == 1 ? 0.0
                                : (random.unit() + random.unit() - 1.0f) * t.maxTurn / 57.29578;
            const double h = heading + turn + (attempt > 0 ? random.range(-1.2f, 1.2f) : 0.0f);
            const glm::dvec2 next = points.back() + glm::dvec2(std::cos(h), std::sin(h)) * step;
            if (!inside(next) || !stretchClear(points, points.back(), next)) continue;
            points.push_back(next);
            heading = h;
            length += step;
            placed = true;
        }
        if (!placed || points.size() > 2 * maxCheckpoints - 4) return false;
    }
    for (int k = 0; k < 2; ++k) {
        const glm::dvec2 next = points.back() + glm::dvec2(std::cos(heading), std::sin(heading)) * runoutLength;
        if (!inside(next) || !stretchClear(points, points.back(), next)) return false;
        points.push_back(next);
    }
    return true;
}

// Every stretch of the centre line as sampled keeps its distance from those far from it along the route.
bool routeClear(const Course& course) {
    const SampledRoute route = sampleRoute(course.route, 2.0f);
    const std::size_t gap = static_cast<std::size_t>(clearanceGap / 2.0);
    for (std::size_t a = 0; a < route.samples.size(); ++a) {
        if (!inside(glm::dvec2(route.samples[a].position))) return false;
        for (std::size_t b = a + gap; b < route.samples.size(); ++b) {
            if (glm::length(route.samples[a].position - route.samples[b].position) < clearance - 8.0) return false;
        }
    }
    return true;
}

CourseDesign designOf(const CourseRequest& request, int attempt, bool& ok, int& walks) {
    ok = true;
    const Tuning& t = tuningOf(request.difficulty);
    SeededRandom random(mixBits(request.seed) ^ mixBits(static_cast<uint32_t>(attempt * difficultyCount) +
                                                        static_cast<uint32_t>(request.difficulty) + 1u));
    CourseDesign d;
    d.id = seedCourseId(request);
    d.name = "Seed " + std::to_string(request.seed) + " (" + difficultyName(request.difficulty) + ")";
    d.channel.floorHalfWidth = t.floorHalfWidth;
    d.channel.padFloorHalfWidth = t.padFloorHalfWidth;
    d.channel.wallMaxSlope = t.wallMaxSlope;
    d.channel.rimHeight = t.rimHeight;
    d.channel.firstBendRim = t.rimHeight;
    d.channel.runoff = false;
    d.land.hillHeight = t.hillHeight * random.range(0.8f, 1.2f);
    d.land.hillScale = random.range(70.0f, 110.0f);
    d.land.noiseSeed = static_cast<int>(random.nextBits() % 1000u) + 100;
    d.checkpointSeconds = t.checkpointSeconds;
    // Spring, summer or autumn grass: the hue wanders, the brightest blade stays below the glow threshold.
    const float dryness = random.unit();
    const glm::vec3 lush(0.30f, 0.50f, 0.12f);
    const glm::vec3 dry(0.46f, 0.40f, 0.12f);
    const glm::vec3 base = lush + (dry - lush) * dryness;
    d.grass = {base * 0.55f, base, glm::min(base * 1.45f, glm::vec3(0.70f)), glm::vec3(0.66f, 0.58f, 0.24f)};
    d.grassSeed = random.nextBits();

    // Walks are drawn until one keeps clear of itself: each costs well under a millisecond, far less than refusing
    // a carved course.
    for (int walk = 0; walk < maxWalks; ++walk) {
        std::vector<glm::dvec2> points;
        if (!wanderRoute(random, t, points)) continue;
        d.route.clear();
        double ground = random.range(40.0f, 55.0f);
        const std::size_t goal = points.size() - 3;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const bool checkpoint = i % 2 == 0 && i <= goal;
            if (checkpoint && i > 0) {
                const double along =
                    glm::length(points[i] - points[i - 1]) + glm::length(points[i - 1] - points[i - 2]);
                const bool rise = random.unit() < t.riseShare && i != goal;
                ground += rise ? random.range(3.0f, 7.0f) : -t.fallPerUnit * along * random.range(0.6f, 1.4f);
                ground = std::clamp(ground, -40.0, 65.0);
            }
            d.route.push_back({round1(points[i].x), round1(points[i].y), checkpoint, std::round(ground)});
        }
        if (routeClear(courseOfDesign(d, ""))) {
            walks = walk + 1;
            return d;
        }
    }
    walks = maxWalks;
    ok = false;
    return d;
}

void report(MakingProgress* progress, float fraction) {
    if (progress != nullptr) progress->fraction.store(std::clamp(fraction, 0.0f, 1.0f));
}

bool cancelled(const MakingProgress* progress) {
    return progress != nullptr && progress->cancel.load();
}

struct Run {
    bool won = false;
    bool lost = false;
    float raceClock = 0.0f;
    float timeLeft = 0.0f;
    Ghost ghost;
};

// One race of the course by the player at a fixed frame rate, as the simulator runs it; ends at the first win, loss
// or exit from the course.
Run raceCourse(const Course& course, const HeightGrid& grid, uint64_t identity, PlayerKind kind, float fps,
               const MakingProgress* progress) {
    Run run;
    std::unique_ptr<Race> made = makeRaceOnGrid(course, grid, identity);
    if (!made) return run;
    Race& race = *made;
    race.speaks = false; // proving runs alongside the player's own race
    Player player = makePlayer(kind, course);
    const double frame = 1.0 / fps;
    // A ball stuck somewhere never ends a race on the generous clock: such a course is refused in time.
    const double limit = std::min(double(course.countdown) + course.checkpointSeconds * float(course.checkpoints.size()),
                                  double(longestProvingRace)) + 10.0;
    double now = 0.0;
    startFirstRace(race, now);
    const int raceNumber = race.state.raceNumber;
    for (long frames = 0; now < limit; ++frames) {
        if (frames % 256 == 0 && cancelled(progress)) break;
        now += frame;
        tickClock(race, static_cast<float>(now));
        advanceFrame(race, playFrame(player, race, race.clock.deltaTime));
        clearSoundEvents(race.sounds);
        if (race.state.raceNumber != raceNumber) break; // left the course
        if (race.state.phase == RacePhase::Won || race.state.phase == RacePhase::Lost) {
            run.won = race.state.phase == RacePhase::Won;
            run.lost = !run.won;
            run.raceClock = race.state.raceClock;
            run.timeLeft = race.state.timer;
            run.ghost = race.recorder.run;
            break;
        }
    }
    return run;
}

// Seconds every checkpoint collected before race clock t has added to the countdown (checkpoints taken in the
// same frame count in index order, as they are collected).
float bonusBefore(const Run& run, const Course& course, float t, std::size_t index) {
    int collected = 0;
    for (std::size_t j = 1; j < course.goalIndex() && j < run.ghost.splits.size(); ++j) {
        const float s = run.ghost.splits[j];
        collected += s >= 0.0f && (s < t || (s == t && j < index)) ? 1 : 0;
    }
    return course.checkpointSeconds * float(collected);
}

// The countdown the run needed: at each checkpoint, its race clock less what the ones before it added.
float timeNeeded(const Run& run, const Course& course) {
    float needed = 0.0f;
    for (std::size_t k = 1; k < run.ghost.splits.size(); ++k) {
        const float t = run.ghost.splits[k];
        if (t >= 0.0f) needed = std::max(needed, t - bonusBefore(run, course, t, k));
    }
    return needed;
}

// Seconds left on the clock at the goal had the run been raced with the course's countdown.
float marginAtGoal(const Run& run, const Course& course) {
    return course.countdown + bonusBefore(run, course, run.raceClock, course.goalIndex()) - run.raceClock;
}

bool readBack(const std::string& text, const std::string& id, Course& out) {
    if (!parseCourse(text, id + "/" + courseFileName, out)) return false;
    out.id = id;
    return true;
}

float roundUp(float value, float step) {
    return std::ceil(value / step - 1e-4f) * step;
}

std::string medalsText(const Course& c) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "[medals]\n; Race-clock seconds: gold is the slower of the two proving wins rounded up, silver gold x "
                  "1.2 and\n; bronze gold x 1.5, each rounded up.\ngold = %g\nsilver = %g\nbronze = %g\n",
                  double(c.goldSeconds), double(c.silverSeconds), double(c.bronzeSeconds));
    return text;
}

// One attempt: the design, carved, painted, timed and proven. False when it is refused, with why in reason.
bool tryDesign(const CourseRequest& request, int attempt, const ProvingRules& rules, MadeCourse& out,
               MakingProgress* progress, std::string& reason) {
    const Tuning& tuning = tuningOf(request.difficulty);
    bool routeOk = false;
    int walks = 0;
    const CourseDesign design = designOf(request, attempt, routeOk, walks);
    out.routesRedrawn += walks - 1;
    if (!routeOk) {
        reason = "no route that keeps clear of itself was found";
        return false;
    }
    Course course = courseOfDesign(design, "");
    std::vector<uint16_t> samples;
    const auto carving = [progress](float share) { report(progress, 0.45f * share); };
    if (!carveHeightmap(course, design, samples, nullptr, carving, progress ? &progress->cancel : nullptr)) {
        reason = "cancelled";
        return false;
    }
    const HeightGrid grid = gridOfSamples(samples, courseMapSize);
    placeCheckpoints(course, grid);
    std::string error;
    if (!encodePng16Grey("heightmap.png", courseMapSize, courseMapSize, samples, out.heightmapPng, error) ||
        !encodePng8("grass.png", paintGrassDiffuse(design.grass, design.grassSeed), out.grassPng, error) ||
        !encodePng8("preview.png", coursePicture(grid, course, pictureSize), out.previewPng, error)) {
        reason = error;
        return false;
    }
    report(progress, 0.55f);

    // The file as written, read back, is what the proving runs race: exactly what the game will load.
    const std::vector<std::string> head = {
        course.name + ": made from seed " + std::to_string(request.seed) + ", design " + std::to_string(attempt + 1) +
            ", and won by the automatic player before it was offered.",
        "Paths are relative to this folder; coordinates are world units (x, y up, z)."};
    // Raced with a clock that cannot run out: the countdown changes nothing the player does, so the runs also tell
    // how much time the course needs at each checkpoint.
    course.countdown = generousCountdown;
    Course written;
    if (!readBack(courseFileText(head, course, course.grassPath, ""), design.id, written)) {
        reason = "its course file does not read back";
        return false;
    }
    const uint64_t identity = courseIdentityOfBytes(out.heightmapPng, written.checkpoints);
    Run runs[2];
    float needed = 0.0f;
    float slowest = 0.0f;
    for (int i = 0; i < 2; ++i) {
        runs[i] = raceCourse(written, grid, identity, PlayerKind::Scripted, provingFps[i], progress);
        report(progress, 0.55f + 0.2f * float(i + 1));
        if (!runs[i].won) {
            reason = "the automatic player could not finish it at " + std::to_string(int(provingFps[i])) + " fps";
            return false;
        }
        needed = std::max(needed, timeNeeded(runs[i], written));
        slowest = std::max(slowest, runs[i].raceClock);
    }
    written.countdown = std::max(minCountdown, roundUp(needed + tuning.marginTarget, countdownStep));
    written.goldSeconds = std::ceil(slowest - 1e-4f);
    written.silverSeconds = std::ceil(written.goldSeconds * 1.2f - 1e-4f);
    written.bronzeSeconds = std::ceil(written.goldSeconds * 1.5f - 1e-4f);
    for (int i = 0; i < 2; ++i) {
        out.margins[i] = marginAtGoal(runs[i], written);
        if (out.margins[i] < rules.leastLeft || out.margins[i] > rules.mostLeft) {
            char text[160];
            std::snprintf(text, sizeof text, "won at %d fps with %.2f s left (%.1f to %.1f wanted)",
                          int(provingFps[i]), double(out.margins[i]), double(rules.leastLeft), double(rules.mostLeft));
            reason = text;
            return false;
        }
    }
    out.courseFile = courseFileText(head, written, written.grassPath, medalsText(written));
    Course final;
    if (!readBack(out.courseFile, design.id, final)) {
        reason = "its course file does not read back";
        return false;
    }
    const Run idle = raceCourse(final, grid, identity, PlayerKind::Idle, provingFps[0], progress);
    report(progress, 1.0f);
    if (!idle.lost) {
        reason = "an idle ball did not lose it";
        return false;
    }
    out.ghost = runs[1].ghost;
    written = final;
    const uint64_t writtenIdentity = identity;
    out.request = request;
    out.course = written;
    out.grid = grid;
    out.identity = writtenIdentity;
    out.attempts = attempt + 1;
    return true;
}

} // namespace

ProvingRules provingRules(Difficulty difficulty) {
    const Tuning& t = tuningOf(difficulty);
    return {t.marginMin, t.marginMax, 12};
}

bool makeCourse(const CourseRequest& request, MadeCourse& out, MakingProgress* progress, std::string& error,
                const ProvingRules* rules) {
    const ProvingRules proving = rules != nullptr ? *rules : provingRules(request.difficulty);
    std::string reasons;
    int redrawn = 0;
    for (int attempt = 0; attempt < proving.designs; ++attempt) {
        if (progress != nullptr) progress->attempt.store(attempt + 1);
        report(progress, 0.0f);
        if (cancelled(progress)) break;
        MadeCourse made;
        std::string reason;
        const bool proven = tryDesign(request, attempt, proving, made, progress, reason);
        redrawn += made.routesRedrawn;
        if (proven) {
            out = std::move(made);
            out.routesRedrawn = redrawn;
            return true;
        }
        if (cancelled(progress)) break;
        reasons += "\n  design " + std::to_string(attempt + 1) + ": " + reason;
    }
    error = cancelled(progress) ? "the making of " + seedCourseId(request) + " was cancelled"
                                : "no design of " + seedCourseId(request) + " could be proven:" + reasons;
    return false;
}

bool saveMadeCourse(const MadeCourse& made, const std::string& coursesFolder, std::string& error) {
    namespace fs = std::filesystem;
    const std::string id = made.course.id;
    const std::string target = (fs::path(coursesFolder) / id).string();
    if (!ensureDirectory(coursesFolder, error)) return false;
    // A folder of this writer's own, so a second game making the same course never writes into it.
    std::string temporary = (fs::path(coursesFolder) / ("." + id + ".XXXXXX")).string();
    if (mkdtemp(temporary.data()) == nullptr) {
        error = "cannot make a folder in " + coursesFolder + ": " + std::strerror(errno);
        return false;
    }
    std::error_code code;
    const std::pair<const char*, const std::vector<uint8_t>*> files[] = {
        {"heightmap.png", &made.heightmapPng}, {"grass.png", &made.grassPng}, {"preview.png", &made.previewPng}};
    bool ok = writeFileAtomically((fs::path(temporary) / courseFileName).string(), made.courseFile, error);
    for (const auto& [name, bytes] : files) {
        ok = ok && writeFileAtomically((fs::path(temporary) / name).string(),
                                       std::string(bytes->begin(), bytes->end()), error);
    }
    if (ok && !made.ghost.empty() && !saveGhost((fs::path(temporary) / "ghost.ghost").string(), made.ghost)) {
        error = "the ghost of " + id + " cannot be written";
        ok = false;
    }
    // Into place in one step: a new course is renamed there, an old one swapped with it, so a reader always finds
    // a whole course of that id.
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        const bool occupied = errno == EEXIST || errno == ENOTEMPTY;
        if (!occupied || renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) {
            error = "cannot move " + temporary + " to " + target + ": " + std::strerror(errno);
            ok = false;
        }
    }
    fs::remove_all(temporary, code); // the old course after a swap, or what a failure left
    return ok;
}
