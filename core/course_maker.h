// Courses made on demand: a seed and a difficulty give a route, a heightmap carved around it, grass colours and a
// course file, and the automatic player must win it at two frame rates (and an idle ball lose it) before it is
// offered. Its medal times and ghost come from those winning runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/course.h"
#include "core/ghost.h"
#include "core/terrain.h"

enum class Difficulty { Easy, Medium, Hard };
constexpr int difficultyCount = 3;
const char* difficultyName(Difficulty difficulty); // "easy", "medium", "hard"
bool parseDifficulty(const std::string& text, Difficulty& out);

struct CourseRequest {
    uint32_t seed = 0;
    Difficulty difficulty = Difficulty::Medium;
};

// "seed:N" or "seed:N:easy" / ":medium" / ":hard" (medium when left out), N a whole number 0..4294967295.
enum class SeedParse { NotSeed, Ok, Bad };
// NotSeed for any text not starting with "seed:"; Bad with the reason in error for a malformed one.
SeedParse parseSeedCourse(const std::string& text, CourseRequest& out, std::string& error);
// The course's id, which is also its folder's name: "seed-N-medium".
std::string seedCourseId(const CourseRequest& request);
// The daily course: the date as the number yyyymmdd, medium, so everyone racing on one day races the same course.
CourseRequest dailyCourseRequest(int year, int month, int day);
// Today's, by the local calendar.
CourseRequest todaysCourseRequest();

// How far a course's making has got; written by the thread making it, read by the one showing it.
struct MakingProgress {
    std::atomic<float> fraction{0.0f}; // 0..1 of the whole making, proving included
    std::atomic<int> attempt{1};       // designs tried so far, this one included
    std::atomic<bool> cancel{false};   // set by the reader to give up early (the game is closing)
};

// A made and proven course, in memory: what saveMadeCourse writes, and what the simulator races.
struct MadeCourse {
    CourseRequest request;
    Course course;                      // id, name, numbers, checkpoints, route and medal times
    std::string courseFile;             // the text of course.ini
    std::vector<uint8_t> heightmapPng;  // 512 x 512, 16-bit grey
    std::vector<uint8_t> grassPng;      // 512 x 512 RGB
    std::vector<uint8_t> previewPng;    // the menu's small map
    HeightGrid grid;                    // the heightmap as the game decodes it, goal hollow not yet pressed
    uint64_t identity = 0;              // what its records and ghosts are filed under
    Ghost ghost;                        // the proving player's winning run
    int attempts = 1;                   // designs tried: the first that passed is the last
    int routesRedrawn = 0;              // routes drawn and thrown away at once for running into themselves
    float margins[2] = {0.0f, 0.0f};    // seconds left on the clock at the goal at 30 and at 144 frames a second
};

// Makes the request's course: designs from the seed are tried in turn until one is won by the automatic player
// at 30 and 144 frames a second with the margin its difficulty asks for and lost by an idle ball. False with the
// reason in error when every attempt was refused or the making was cancelled. The same request gives the same
// bytes on every run of the same build.
// What a made course must pass: the seconds left at the goal in both proving runs, and how many designs are tried.
struct ProvingRules {
    float leastLeft = 0.0f;
    float mostLeft = 0.0f;
    int designs = 12;
};
ProvingRules provingRules(Difficulty difficulty);
// rules, when given, replace the difficulty's own.
bool makeCourse(const CourseRequest& request, MadeCourse& out, MakingProgress* progress, std::string& error,
                const ProvingRules* rules = nullptr);

// Writes the course into coursesFolder/<id>/ (course.ini, heightmap.png, grass.png, preview.png, ghost.ghost): made
// in a temporary folder beside it and renamed into place, so a crash never leaves half a course. An existing
// folder of that id is replaced. False with the reason in error.
bool saveMadeCourse(const MadeCourse& made, const std::string& coursesFolder, std::string& error);
