// The course catalogue: scanning the shipped and the player's course folders, leaving out what cannot be played, and
// the remembered last course.
#include "core/course_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <stb_image.h>

#include "core/atomic_file.h"

namespace {

constexpr int maxHeightmapSide = 4096; // pixels, as the terrain takes
constexpr std::size_t maxLastCourseBytes = 256;

namespace fs = std::filesystem;

// The course folders directly inside folder, by name; a folder that cannot be listed gives none, with one line.
std::vector<std::string> courseFolderNames(const std::string& folder) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    std::error_code code;
    if (!fs::exists(folder, code)) return names; // no courses of one's own is the usual case
    fs::directory_iterator it(folder, code);
    if (code) {
        std::fprintf(stderr, "%s: cannot be listed (%s); its courses are left out\n", folder.c_str(),
                     code.message().c_str());
        return names;
    }
    for (; it != fs::directory_iterator(); it.increment(code)) {
        if (code) break;
        std::error_code typeCode;
        if (!it->is_directory(typeCode)) continue; // a note or picture beside the course folders
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        names.push_back(name);
    }
    if (code) {
        std::fprintf(stderr, "%s: cannot be listed to the end (%s)\n", folder.c_str(), code.message().c_str());
    }
    std::sort(names.begin(), names.end()); // directory order differs from disk to disk
    return names;
}

// A heightmap the terrain can take, judged from its header; the problem in reason otherwise.
bool heightmapUsable(const std::string& path, std::string& reason) {
    int width = 0, height = 0, channels = 0;
    if (stbi_info(path.c_str(), &width, &height, &channels) == 0) {
        reason = "heightmap " + path + " cannot be read as an image";
        return false;
    }
    if (width < 2 || height < 2 || width > maxHeightmapSide || height > maxHeightmapSide) {
        reason = "heightmap " + path + " is " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels (2 to 4096 on a side)";
        return false;
    }
    return true;
}

} // namespace

bool readCourseEntry(const std::string& folder, const std::string& id, const std::string& dataFolder, CourseOrigin origin,
               CourseEntry& entry) {
    if (!validCourseId(id)) {
        std::fprintf(stderr, "%s: a course folder's name is its id (letters, digits, - and _, up to 64); left out\n",
                     folder.c_str());
        return false;
    }
    CourseEntry e;
    if (!loadCourseFolder(folder, id, dataFolder, e.course)) return false; // it said why
    std::string reason;
    if (!heightmapUsable(e.course.heightmapFile, reason)) {
        std::fprintf(stderr, "%s/%s: %s; the course is left out\n", folder.c_str(), courseFileName, reason.c_str());
        return false;
    }
    e.origin = origin;
    e.folder = folder;
    const std::string preview = folder + "/" + previewFileName;
    std::error_code code;
    e.previewFile = fs::is_regular_file(preview, code) ? preview : std::string();
    e.identity = courseIdentity(e.course.heightmapFile, e.course.checkpoints);
    entry = std::move(e);
    return true;
}

namespace {

void appendFolder(std::vector<CourseEntry>& out, const std::string& parent, const std::string& dataFolder,
                  CourseOrigin origin) {
    for (const std::string& name : courseFolderNames(parent)) {
        CourseEntry entry;
        if (!readCourseEntry(parent + "/" + name, name, dataFolder, origin, entry)) continue;
        const int same = findCourse(out, entry.course.id);
        if (same >= 0) {
            std::fprintf(stderr, "Course '%s': the player's course in %s is used instead of the one in %s\n",
                         name.c_str(), entry.folder.c_str(), out[std::size_t(same)].folder.c_str());
            out.erase(out.begin() + same);
        }
        if (out.size() >= maxCatalogueCourses) {
            std::fprintf(stderr, "%s: more than %zu courses; '%s' and the ones after it are left out\n",
                         parent.c_str(), maxCatalogueCourses, name.c_str());
            return;
        }
        out.push_back(std::move(entry));
    }
}

} // namespace

std::string playerCoursesFolderFrom(const char* xdgDataHome, const char* home) {
    const std::string folder = playerDataFolderFrom(xdgDataHome, home);
    return folder.empty() ? folder : folder + "/" + playerCoursesFolderName;
}

std::string playerCoursesFolder() {
    return playerCoursesFolderFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::string lastCoursePathFrom(const char* xdgDataHome, const char* home) {
    const std::string folder = playerDataFolderFrom(xdgDataHome, home);
    return folder.empty() ? folder : folder + "/" + lastCourseFileName;
}

std::string lastCoursePath() {
    return lastCoursePathFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::vector<CourseEntry> listCourses(const std::string& dataFolder, const std::string& playerFolder) {
    std::vector<CourseEntry> courses;
    const std::string shipped =
        dataFolder.empty() || dataFolder == "." ? coursesFolder : dataFolder + "/" + coursesFolder;
    appendFolder(courses, shipped, dataFolder, CourseOrigin::Shipped);
    appendFolder(courses, playerFolder, dataFolder, CourseOrigin::Player);
    // Stable across runs and machines: the course the game has always had leads, so a newcomer meets it first.
    std::stable_sort(courses.begin(), courses.end(), [](const CourseEntry& a, const CourseEntry& b) {
        if (a.origin != b.origin) return a.origin == CourseOrigin::Shipped;
        const bool aDefault = a.course.id == defaultCourseId, bDefault = b.course.id == defaultCourseId;
        if (aDefault != bDefault) return aDefault;
        return a.course.id < b.course.id;
    });
    return courses;
}

int findCourse(const std::vector<CourseEntry>& courses, const std::string& id) {
    for (std::size_t i = 0; i < courses.size(); ++i) {
        if (courses[i].course.id == id) return int(i);
    }
    return -1;
}

void loadCatalogueRecords(std::vector<CourseEntry>& courses, const std::string& recordsFile) {
    for (CourseEntry& entry : courses) {
        entry.record = recordsFile.empty() || entry.identity == 0 ? CourseRecord{}
                                                                  : loadRecord(recordsFile, entry.identity);
    }
}

std::string readLastCourse(const std::string& path) {
    if (path.empty()) return {};
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::error_code code;
        if (fs::exists(path, code)) {
            std::fprintf(stderr, "%s: cannot be read; starting on the course '%s'\n", path.c_str(), defaultCourseId);
        }
        return {};
    }
    std::string text(maxLastCourseBytes + 1, '\0');
    file.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(file.gcount()));
    // One line; a hand-edited file may end without its newline or with spaces.
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    const std::string id = end == std::string::npos ? std::string() : text.substr(0, end + 1);
    if (!validCourseId(id)) {
        std::fprintf(stderr, "%s: holds no course name; starting on the course '%s'\n", path.c_str(),
                     defaultCourseId);
        return {};
    }
    return id;
}

bool rememberLastCourse(const std::string& path, const std::string& id) {
    if (path.empty()) return true;
    std::string reason;
    if (!writeFileAtomically(path, id + "\n", reason)) {
        std::fprintf(stderr, "Cannot remember the last course in %s (%s); the next game starts on the default one\n",
                     path.c_str(), reason.c_str());
        return false;
    }
    return true;
}

int chooseStartCourse(const std::vector<CourseEntry>& courses, const std::string& requested,
                      const std::string& remembered) {
    if (courses.empty()) return -1;
    const std::string& named = requested.empty() ? remembered : requested;
    if (!named.empty()) {
        const int found = findCourse(courses, named);
        if (found >= 0) return found;
    }
    const int fallback = findCourse(courses, defaultCourseId);
    if (!named.empty() && fallback >= 0) {
        std::fprintf(stderr, "The %s course '%s' is gone or cannot be played; starting on '%s'\n",
                     requested.empty() ? "last" : "requested", named.c_str(), defaultCourseId);
    }
    if (fallback >= 0) return fallback;
    std::fprintf(stderr, "The course '%s' is gone or cannot be played; starting on '%s'\n",
                 named.empty() ? defaultCourseId : named.c_str(), courses.front().course.id.c_str());
    return 0;
}
