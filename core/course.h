// A course as data: read from Courses/<id>/course.ini through the checked reader, refused whole when any field is bad.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

constexpr std::size_t minCheckpoints = 2;  // a start and a goal
constexpr std::size_t maxCheckpoints = 32;
constexpr const char* coursesFolder = "Courses";
constexpr const char* courseFileName = "course.ini";
// The course a game plays when none is asked for: the first one ever shipped.
constexpr const char* defaultCourseId = "valley";
// The grass every course without its own is drawn with, relative to the data folder.
constexpr const char* defaultGrassPath = "Textures/gras.png";

// One control point of the centre line a player can follow: a checkpoint, or a waypoint between them.
struct RoutePoint {
    int checkpoint = -1;      // index into the checkpoints, or -1 for a waypoint
    glm::vec2 position{0.0f}; // world x, z; a checkpoint's own place
};

struct Course {
    std::string id;            // the course folder's name
    std::string name;
    std::string heightmapPath; // as the file names it: relative to the course's folder or the data folder
    std::string heightmapFile; // the path opened (courseFileIn)
    float heightScale = 100.0f;      // world units from mesh height 0 to 1
    float startHeading = -60.0f;     // camera yaw at the start, degrees
    float countdown = 20.0f;         // seconds on the clock at each reset
    float checkpointSeconds = 5.0f;  // time bonus per checkpoint
    float checkpointBoost = 0.5f;    // boost bonus per checkpoint
    float startBoost = 0.5f;         // boost reserve at each reset; one unit lasts two seconds of boosting
    float reachRadius = 5.5f;        // world units
    std::vector<glm::vec3> checkpoints; // the start first, the goal last
    std::vector<RoutePoint> route;      // empty when the file gives none
    std::string grassPath = defaultGrassPath; // the grass diffuse map, relative to the data folder
    std::string grassFile;           // the path opened: grassPath inside the data folder
    // Medal times on the race clock (seconds from "Let's roll!" to the goal); 0 where the file gives none.
    float goldSeconds = 0.0f;
    float silverSeconds = 0.0f;
    float bronzeSeconds = 0.0f;

    std::size_t goalIndex() const { return checkpoints.size() - 1; }
    const glm::vec3& start() const { return checkpoints.front(); }
    const glm::vec3& goal() const { return checkpoints.back(); }
};

// The course's file inside a data folder.
std::string courseFilePath(const std::string& dataFolder, const std::string& id);

// Reads dataFolder/Courses/id/course.ini. False, with one line on stderr per bad field (naming the file, the key and
// what was expected) when the course cannot be played; out is then left as it was. The heightmap is not opened here.
bool loadCourse(const std::string& dataFolder, const std::string& id, Course& out);
// Reads folder/course.ini as the course id: how a player's own course folder is read. Its heightmap and grass are
// looked for inside the course's folder first, then inside dataFolder (so the shipped courses, which name files of the
// data folder, read what they always have). Messages and outcome as loadCourse; loadCourse is this for
// dataFolder/Courses/id.
bool loadCourseFolder(const std::string& folder, const std::string& id, const std::string& dataFolder, Course& out);
// Where a path a course file names is opened: inside folder when the file is there, else inside dataFolder; an
// absolute path as it is.
std::string courseFileIn(const std::string& folder, const std::string& dataFolder, const std::string& path);
// The same from a file's text: what the fuzzer and the tests feed. path names the file in the messages.
bool parseCourse(const std::string& text, const std::string& path, Course& out);

// True for a name that can be a course folder: letters, digits, '-' and '_', 1 to 64 characters.
bool validCourseId(const std::string& id);
