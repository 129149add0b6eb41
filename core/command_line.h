// The program's few arguments (--version, --help, --list-courses, --course ID or seed:N) and where it finds its data folder when started elsewhere.
#pragma once

#include <filesystem>
#include <string>

#include "core/course.h"
#include "core/course_maker.h"

enum class LaunchAction { Play, PrintVersion, PrintHelp, ListCourses, Refuse };

struct Launch {
    LaunchAction action = LaunchAction::Play;
    std::string refused; // the argument that was not understood
    std::string problem; // for Refuse: the line that says why, without the program's name
    std::string course; // the course asked for with --course; empty when none was, so the remembered one is played
    bool madeCourse = false; // --course seed:N[:difficulty]: course is seedCourseId(request), made when missing
    CourseRequest request;
};

// No arguments plays the remembered course (or the default one); --course ID plays that course (a valid course name:
// whether it can be played is found in the catalogue), --course seed:N[:easy|medium|hard] the course made from that
// seed (a malformed one is refused with parseSeedCourse's reason); --version, --help (or -h) and --list-courses,
// alone, print and end; anything else, a missing course name or one that cannot be a folder's, is refused.
Launch parseCommandLine(int argc, const char* const* argv);
// The usage and the controls, as --help prints them.
std::string usageText();

// True when folder holds any part of a data folder (Config/, Shaders/, Textures/, ...).
bool looksLikeDataFolder(const std::filesystem::path& folder);
// Where the game runs: the working folder when it is a data folder, as always; otherwise the installed data folder
// found relative to the executable (so a moved prefix still works), when that is one; otherwise the working folder,
// and start-up reports what it cannot find.
std::filesystem::path chooseDataFolder(const std::filesystem::path& workingFolder,
                                       const std::filesystem::path& executable, const std::string& installedRelative);
