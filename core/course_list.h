// The courses a player can choose (the shipped ones and the player's own, read once at start-up) and the last course
// played, remembered beside the records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/course.h"
#include "core/medals.h"
#include "core/records.h"

// The player's own courses: one folder per course, its name the course's id, holding course.ini.
constexpr const char* playerCoursesFolderName = "courses";
constexpr const char* lastCourseFileName = "last-course";
constexpr const char* previewFileName = "preview.png";
// More than any menu can show; further folders are left out with one line.
constexpr std::size_t maxCatalogueCourses = 256;

enum class CourseOrigin { Shipped, Player };

struct CourseEntry {
    Course course;           // as loaded: id, name, heightmap, checkpoints and medal times
    CourseOrigin origin = CourseOrigin::Shipped;
    std::string folder;      // the course's own folder
    std::string previewFile; // folder/preview.png, or empty when the course has none
    uint64_t identity = 0;   // courseIdentity of its heightmap and checkpoints: its section in the records file
    CourseRecord record;     // the player's best time, from loadCatalogueRecords or a race won since
};

// The best medal a course's record earns. Worked out from the record and the course's current medal times rather
// than stored, so the records file stays as it is and a medal always agrees with the times the menu shows.
inline Medal bestMedal(const CourseEntry& entry) {
    return entry.record.has ? medalFor(entry.record.seconds, entry.course) : Medal::None;
}

// <player data folder>/courses (see playerDataFolderFrom); empty without one.
std::string playerCoursesFolderFrom(const char* xdgDataHome, const char* home);
std::string playerCoursesFolder();
// <player data folder>/last-course; empty without one.
std::string lastCoursePathFrom(const char* xdgDataHome, const char* home);
std::string lastCoursePath();

// Every course folder under dataFolder/Courses and under playerFolder (either may be missing or empty), each read
// with loadCourseFolder and its heightmap's header checked. A folder that is no playable course is left out with one
// line on stderr naming the file and the problem; a player's course with a shipped course's id takes its place, with
// one line. Order: the shipped courses, the default course first and the rest by id, then the player's by id.
std::vector<CourseEntry> listCourses(const std::string& dataFolder, const std::string& playerFolder);
// Reads one course folder (named id) into entry, as listCourses does; false with one line on stderr for a folder
// that is no playable course.
bool readCourseEntry(const std::string& folder, const std::string& id, const std::string& dataFolder,
                     CourseOrigin origin, CourseEntry& entry);
// The entry of a course id, or -1.
int findCourse(const std::vector<CourseEntry>& courses, const std::string& id);
// Reads every course's record from the records file (empty: no records).
void loadCatalogueRecords(std::vector<CourseEntry>& courses, const std::string& recordsFile);

// The course remembered in path: its id, or empty when there is none (no file, which is the first start, and no
// line) or the file holds no course name (one line).
std::string readLastCourse(const std::string& path);
// Remembers id as the last course played, replacing the file atomically. False with one line on stderr when it
// cannot be written; the game goes on. Nothing is written for an empty path.
bool rememberLastCourse(const std::string& path, const std::string& id);
// The course a game starts on: requested (--course) when given, else remembered (readLastCourse), else the default
// course. A named course that is not in the list (gone or broken) falls back to the default course with one line on
// stderr; when the default course itself is missing, the first course, with one line. -1 for an empty list.
int chooseStartCourse(const std::vector<CourseEntry>& courses, const std::string& requested,
                      const std::string& remembered);
