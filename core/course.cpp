// Reading a course file: every field checked, a course refused whole rather than half-loaded.
#include "core/course.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/checked_reader.h"

namespace {

constexpr const char* courseSection = "course";
constexpr const char* checkpointsSection = "checkpoints";
constexpr const char* routeSection = "route";
constexpr const char* medalsSection = "medals";
constexpr float maxMedalSeconds = 3600.0f;
constexpr std::size_t maxRoutePoints = 1024;
constexpr std::size_t maxCourseFileBytes = 1 << 20; // far beyond any real course file
constexpr float maxCoordinate = 1.0e5f;             // world units; beyond the largest map
constexpr std::size_t maxIdLength = 64;

// "a, b, c": exactly count numbers separated by commas, spaces allowed around them.
bool parseNumbers(const std::string& text, float* out, int count) {
    std::size_t begin = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t comma = text.find(',', begin);
        if ((comma == std::string::npos) != (i == count - 1)) return false;
        std::string part = text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
        const std::size_t first = part.find_first_not_of(" \t");
        const std::size_t last = part.find_last_not_of(" \t");
        if (first == std::string::npos) return false;
        part = part.substr(first, last - first + 1);
        if (!parseWholeFloat(part, out[i]) || !(out[i] >= -maxCoordinate && out[i] <= maxCoordinate)) return false;
        begin = comma + 1;
    }
    return true;
}

// Keys "0", "1", ... of a section, in order, up to the first missing one; a key after a gap is refused.
std::size_t countNumberedKeys(CheckedReader& checked, const char* section, std::size_t limit) {
    std::size_t count = 0;
    while (count <= limit && checked.has(section, std::to_string(count).c_str())) ++count;
    for (std::size_t later = count + 1; count <= limit && later <= limit + 1; ++later) {
        if (checked.has(section, std::to_string(later).c_str())) {
            checked.refuse(section, std::to_string(count).c_str(), "keys numbered from 0 without a gap");
            break;
        }
    }
    return count;
}

void readCheckpoints(CheckedReader& checked, Course& c) {
    // Counted well past the limit, so the message can say how many there are.
    const std::size_t count = countNumberedKeys(checked, checkpointsSection, maxRoutePoints);
    if (checked.failures() > 0) return;
    if (count < minCheckpoints || count > maxCheckpoints) {
        char expected[96];
        std::snprintf(expected, sizeof expected, "%zu to %zu checkpoints numbered from 0 (the start) to the goal",
                      minCheckpoints, maxCheckpoints);
        checked.refuseSection(checkpointsSection, std::to_string(count) + (count == 1 ? " checkpoint" : " checkpoints"),
                              expected);
        return;
    }
    c.checkpoints.assign(count, glm::vec3(0.0f));
    for (std::size_t i = 0; i < count; ++i) {
        const std::string key = std::to_string(i);
        float xyz[3];
        if (!parseNumbers(checked.text(checkpointsSection, key.c_str()), xyz, 3)) {
            checked.refuse(checkpointsSection, key.c_str(), "three numbers x, y, z");
            continue;
        }
        c.checkpoints[i] = glm::vec3(xyz[0], xyz[1], xyz[2]);
    }
}

// Each point is "checkpoint N" or "x, z"; the route is optional, but when given it must name every checkpoint.
void readRoute(CheckedReader& checked, Course& c) {
    const std::size_t count = countNumberedKeys(checked, routeSection, maxRoutePoints);
    if (count == 0) return;
    if (count > maxRoutePoints) {
        checked.refuse(routeSection, std::to_string(count).c_str(), "at most 1024 route points");
        return;
    }
    std::vector<bool> named(c.checkpoints.size(), false);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string key = std::to_string(i);
        const std::string text = checked.text(routeSection, key.c_str());
        RoutePoint point;
        unsigned index = 0;
        char extra = 0;
        if (std::sscanf(text.c_str(), "checkpoint %u %c", &index, &extra) == 1) {
            if (index >= c.checkpoints.size()) {
                checked.refuse(routeSection, key.c_str(), "a checkpoint of this course");
                continue;
            }
            point.checkpoint = int(index);
            point.position = glm::vec2(c.checkpoints[index].x, c.checkpoints[index].z);
            named[index] = true;
        } else {
            float xz[2];
            if (!parseNumbers(text, xz, 2)) {
                checked.refuse(routeSection, key.c_str(), "\"checkpoint N\" or two numbers x, z");
                continue;
            }
            point.position = glm::vec2(xz[0], xz[1]);
        }
        c.route.push_back(point);
    }
    for (std::size_t i = 0; i < named.size(); ++i) {
        if (!named[i] && !c.checkpoints.empty()) {
            const std::string what = "every checkpoint on the route; checkpoint " + std::to_string(i) + " is not";
            checked.refuse(routeSection, "0", what.c_str());
            break;
        }
    }
}

// An optional file below the data folder: a relative path that does not climb out of it.
void readDataPath(CheckedReader& checked, const char* section, const char* key, std::string& out) {
    if (!checked.has(section, key)) return;
    const std::string path = checked.text(section, key);
    const bool climbs = path == ".." || path.rfind("../", 0) == 0 || path.find("/../") != std::string::npos ||
                        (path.size() >= 3 && path.compare(path.size() - 3, 3, "/..") == 0);
    if (path.empty() || path[0] == '/' || path[0] == '\\' || climbs) {
        checked.refuse(section, key, "a file path relative to the data folder");
        return;
    }
    out = path;
}

// Gold, silver and bronze are each optional; those given must be faster to slower in that order.
void readMedals(CheckedReader& checked, Course& c) {
    const char* keys[] = {"gold", "silver", "bronze"};
    float* times[] = {&c.goldSeconds, &c.silverSeconds, &c.bronzeSeconds};
    float previous = 0.0f;
    const char* previousKey = nullptr;
    for (int i = 0; i < 3; ++i) {
        if (!checked.has(medalsSection, keys[i])) continue;
        if (!checked.requireNumber(medalsSection, keys[i], 0.01f, maxMedalSeconds, *times[i])) continue;
        if (previousKey && !(*times[i] > previous)) {
            const std::string expected = std::string("more seconds than ") + previousKey;
            checked.refuse(medalsSection, keys[i], expected.c_str());
        }
        previous = *times[i];
        previousKey = keys[i];
    }
}

} // namespace

std::string courseFilePath(const std::string& dataFolder, const std::string& id) {
    const std::string relative = std::string(coursesFolder) + "/" + id + "/" + courseFileName;
    return dataFolder.empty() || dataFolder == "." ? relative : dataFolder + "/" + relative;
}

bool validCourseId(const std::string& id) {
    if (id.empty() || id.size() > maxIdLength) return false;
    for (char ch : id) {
        const bool ok = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' ||
                        ch == '_';
        if (!ok) return false;
    }
    return true;
}

bool parseCourse(const std::string& text, const std::string& path, Course& out) {
    const INIReader reader(text.data(), text.size());
    if (reader.ParseError() != 0) {
        std::fprintf(stderr, "%s: not a course file (line %d cannot be read); the course is refused\n", path.c_str(),
                     reader.ParseError() < 0 ? 0 : reader.ParseError());
        return false;
    }
    CheckedReader checked(reader, path);
    checked.outcome = "the course is refused";
    Course c;
    checked.requireText(courseSection, "name", c.name);
    checked.requireText(courseSection, "heightmap", c.heightmapPath);
    checked.requireNumber(courseSection, "height_scale", 1.0f, 1000.0f, c.heightScale);
    checked.requireNumber(courseSection, "start_heading", -360.0f, 360.0f, c.startHeading);
    checked.requireNumber(courseSection, "countdown", 1.0f, 3600.0f, c.countdown);
    checked.requireNumber(courseSection, "checkpoint_seconds", 0.0f, 600.0f, c.checkpointSeconds);
    checked.requireNumber(courseSection, "checkpoint_boost", 0.0f, 10.0f, c.checkpointBoost);
    checked.requireNumber(courseSection, "start_boost", 0.0f, 10.0f, c.startBoost);
    checked.requireNumber(courseSection, "reach_radius", 0.5f, 100.0f, c.reachRadius);
    readDataPath(checked, courseSection, "grass", c.grassPath);
    readMedals(checked, c);
    readCheckpoints(checked, c);
    if (checked.failures() == 0) readRoute(checked, c);
    if (checked.failures() > 0) return false;
    c.id = out.id;
    c.heightmapFile = out.heightmapFile;
    c.grassFile = out.grassFile;
    out = std::move(c);
    return true;
}

bool loadCourse(const std::string& dataFolder, const std::string& id, Course& out) {
    if (!validCourseId(id)) {
        std::fprintf(stderr, "No course '%s': a course is named by its folder (letters, digits, - and _)\n",
                     id.c_str());
        return false;
    }
    const std::string folder = std::string(coursesFolder) + "/" + id;
    return loadCourseFolder(dataFolder.empty() || dataFolder == "." ? folder : dataFolder + "/" + folder, id,
                            dataFolder, out);
}

bool loadCourseFolder(const std::string& folder, const std::string& id, const std::string& dataFolder, Course& out) {
    if (!validCourseId(id)) {
        std::fprintf(stderr, "%s: '%s' cannot name a course (letters, digits, - and _); the course is refused\n",
                     folder.c_str(), id.c_str());
        return false;
    }
    const std::string path = folder + "/" + courseFileName;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "%s: cannot be read; the course is refused\n", path.c_str());
        return false;
    }
    std::string text;
    text.resize(maxCourseFileBytes + 1);
    file.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(file.gcount()));
    if (text.size() > maxCourseFileBytes) {
        std::fprintf(stderr, "%s: larger than a course file can be; the course is refused\n", path.c_str());
        return false;
    }
    Course c;
    if (!parseCourse(text, path, c)) return false;
    c.id = id;
    c.heightmapFile = courseFileIn(folder, dataFolder, c.heightmapPath);
    c.grassFile = courseFileIn(folder, dataFolder, c.grassPath);
    out = std::move(c);
    return true;
}

std::string courseFileIn(const std::string& folder, const std::string& dataFolder, const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    // A player's course keeps its files beside its course.ini; the shipped ones name files of the data folder.
    const std::string own = folder + "/" + path;
    std::error_code code;
    if (!folder.empty() && std::filesystem::is_regular_file(own, code)) return own;
    return dataFolder.empty() || dataFolder == "." ? path : dataFolder + "/" + path;
}
