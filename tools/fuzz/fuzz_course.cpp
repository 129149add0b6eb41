// Course files are what players share: the bytes go to parseCourse, the function loadCourse hands a file's text to.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/course.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

bool finiteWithin(float value, float bound) {
    return std::isfinite(value) && std::fabs(value) <= bound;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // loadCourse refuses files over 1 MiB before parsing; past 64 KiB an input reaches nothing new and only makes
    // each run slower.
    if (size > (64u << 10)) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Course course;
    course.id = "fuzzed";
    course.name = "untouched";
    course.heightmapFile = "Textures/heightmap.png";
    if (!parseCourse(text, "Courses/fuzzed/course.ini", course)) {
        fuzz::expect(course.name == "untouched" && course.checkpoints.empty() && course.route.empty(),
                     "a refused course leaves the one handed in as it was");
        return 0;
    }
    fuzz::expect(course.id == "fuzzed" && course.heightmapFile == "Textures/heightmap.png",
                 "the folder and the opened heightmap stay the caller's");
    fuzz::expect(course.checkpoints.size() >= minCheckpoints && course.checkpoints.size() <= maxCheckpoints,
                 "a start, a goal and at most the checkpoints a race can show");
    for (const glm::vec3& p : course.checkpoints) {
        fuzz::expect(finiteWithin(p.x, 1.0e5f) && finiteWithin(p.y, 1.0e5f) && finiteWithin(p.z, 1.0e5f),
                     "checkpoints on the map");
    }
    fuzz::expect(std::isfinite(course.heightScale) && course.heightScale > 0.0f && course.countdown > 0.0f &&
                     course.reachRadius > 0.0f,
                 "a course that can be raced");
    std::vector<bool> named(course.checkpoints.size(), false);
    for (const RoutePoint& point : course.route) {
        fuzz::expect(finiteWithin(point.position.x, 1.0e5f) && finiteWithin(point.position.y, 1.0e5f),
                     "route points on the map");
        if (point.checkpoint >= 0) {
            fuzz::expect(std::size_t(point.checkpoint) < course.checkpoints.size(),
                         "a route through this course's checkpoints");
            named[std::size_t(point.checkpoint)] = true;
        } else {
            fuzz::expect(point.checkpoint == -1, "a waypoint or a checkpoint");
        }
    }
    if (!course.route.empty()) {
        for (bool n : named) fuzz::expect(n, "a route names every checkpoint");
    }
    return 0;
}
