// The generated courses: per course its heightmap, its course file with the checkpoints set on the carved ground,
// its grass and its picture for the course menu; and the picture of the valley.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/course.h"
#include "core/route.h"
#include "core/terrain.h"
#include "tools/generate/course_designs.h"
#include "tools/generate/generators.h"
#include "tools/generate/image_io.h"

namespace {

constexpr int pictureSize = 128; // pixels, square
constexpr double headingLookAhead = 12.0; // world units along the route the start heading is aimed

std::string coursePath(const std::string& id, const char* file) {
    return std::string(coursesFolder) + "/" + id + "/" + file;
}

// The design as a course, its checkpoints on the floor the profile is carved from; their heights are set on the
// carved ground once it exists.
Course courseOfDesign(const CourseDesign& d) {
    Course c;
    c.id = d.id;
    c.name = d.name;
    c.heightmapPath = coursePath(d.id, "heightmap.png");
    c.countdown = d.countdown;
    c.checkpointSeconds = d.checkpointSeconds;
    c.checkpointBoost = d.checkpointBoost;
    c.startBoost = d.startBoost;
    c.reachRadius = d.reachRadius;
    std::size_t count = 0;
    for (const DesignPoint& p : d.route) {
        count += p.checkpoint ? 1 : 0;
    }
    for (const DesignPoint& p : d.route) {
        RoutePoint point;
        point.position = glm::vec2(static_cast<float>(p.x), static_cast<float>(p.z));
        if (p.checkpoint) {
            point.checkpoint = static_cast<int>(c.checkpoints.size());
            // The carving reads the floor under a checkpoint back from its height, as for the valley's file.
            const bool goal = c.checkpoints.size() + 1 == count;
            const double below = goal ? groundBelowGoal : groundBelowCheckpoint;
            c.checkpoints.emplace_back(point.position.x, static_cast<float>(p.ground + below),
                                       point.position.y);
        }
        c.route.push_back(point);
    }
    SampledRoute route = sampleRoute(c.route, 1.0f);
    if (!route.samples.empty()) {
        std::size_t ahead = std::min(route.samples.size() - 1, static_cast<std::size_t>(headingLookAhead));
        glm::vec2 way = route.samples[ahead].position - route.samples[0].position;
        // Plus zero, so a heading of -0 is written as 0.
        c.startHeading = static_cast<float>(std::round(std::atan2(way.y, way.x) * degreesPerRadian) + 0.0);
    }
    return c;
}

// The [medals] section of the course file already there, kept word for word: the medal times are measured by
// racing the written course (scripts/medal_times.sh), not made here.
std::string keptMedals(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::string kept;
    bool inMedals = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            inMedals = line.rfind("[medals]", 0) == 0;
        }
        if (inMedals) {
            kept += line + "\n";
        }
    }
    while (kept.size() >= 2 && kept.compare(kept.size() - 2, 2, "\n\n") == 0) {
        kept.pop_back();
    }
    return kept;
}

std::string courseFileText(const CourseDesign& d, const Course& c, const std::string& medals) {
    std::ostringstream out;
    char line[512];
    out << "; " << d.about << "\n"
        << "; Made by kelvara-generate (the courses target) from its design; paths are relative to the data folder,\n"
        << "; coordinates are world units (x, y up, z). [medals]: race-clock seconds from \"Let's roll!\" to the\n"
        << "; goal, measured by scripts/medal_times.sh and kept when the course is made again.\n"
        << "[course]\n"
        << "name = " << c.name << "\n"
        << "heightmap = " << c.heightmapPath << "\n"
        << "grass = " << coursePath(d.id, "grass.png") << "\n";
    std::snprintf(line, sizeof line,
                  "height_scale = 100\nstart_heading = %.0f\ncountdown = %g\ncheckpoint_seconds = %g\n"
                  "checkpoint_boost = %g\nstart_boost = %g\nreach_radius = %g\n",
                  double(c.startHeading), double(c.countdown), double(c.checkpointSeconds),
                  double(c.checkpointBoost), double(c.startBoost), double(c.reachRadius));
    out << line << "\n; The start first, the goal last, in the order they are raced.\n[checkpoints]\n";
    for (std::size_t i = 0; i < c.checkpoints.size(); ++i) {
        std::snprintf(line, sizeof line, "%zu = %.1f, %.2f, %.1f\n", i, double(c.checkpoints[i].x),
                      double(c.checkpoints[i].y), double(c.checkpoints[i].z));
        out << line;
    }
    out << "\n; The centre line the channel is carved along: \"checkpoint N\" or a waypoint \"x, z\".\n[route]\n";
    for (std::size_t i = 0; i < c.route.size(); ++i) {
        if (c.route[i].checkpoint >= 0) {
            std::snprintf(line, sizeof line, "%zu = checkpoint %d\n", i, c.route[i].checkpoint);
        } else {
            std::snprintf(line, sizeof line, "%zu = %.1f, %.1f\n", i, double(c.route[i].position.x),
                          double(c.route[i].position.y));
        }
        out << line;
    }
    if (!medals.empty()) {
        out << "\n" << medals;
    }
    return out.str();
}

bool writeText(const std::string& path, const std::string& text) {
    std::string error;
    if (!ensureDirectory(std::filesystem::path(path).parent_path().string(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

HeightGrid gridOfSamples(const std::vector<uint16_t>& samples, int size) {
    HeightGrid grid;
    grid.width = size;
    grid.height = size;
    grid.samples.reserve(samples.size());
    for (uint16_t u : samples) {
        grid.samples.push_back(convertSample(u));
    }
    return grid;
}

bool generateCourse(const std::string& dataDir, const CourseDesign& design) {
    const std::filesystem::path data(dataDir);
    Course course = courseOfDesign(design);
    std::vector<uint16_t> samples;
    if (!carveHeightmap(course, design, samples) ||
        !writeHeightmap((data / course.heightmapPath).string(), samples)) {
        return false;
    }
    const int size = static_cast<int>(std::lround(std::sqrt(static_cast<double>(samples.size()))));
    HeightGrid grid = gridOfSamples(samples, size);
    HeightGrid pressed = grid;
    pressGoalHollow(pressed, course.goal().x, course.goal().z);
    for (std::size_t i = 0; i < course.checkpoints.size(); ++i) {
        glm::vec3& c = course.checkpoints[i];
        const bool goal = i == course.goalIndex();
        const double ground = drawnGround(goal ? pressed : grid, c.x, c.z);
        // Rounded as the file writes it.
        c.y = static_cast<float>(std::round((ground + (goal ? goalAboveHollow : groundBelowCheckpoint)) * 100.0) /
                                 100.0);
    }
    const std::string file = courseFilePath(dataDir, design.id);
    bool ok = writeText(file, courseFileText(design, course, keptMedals(file)));
    ok = saveDataPng(dataDir, coursePath(design.id, "grass.png"), paintGrassDiffuse(design.grass, design.grassSeed)) &&
         ok;
    ok = saveDataPng(dataDir, coursePath(design.id, "preview.png"), coursePicture(grid, course, pictureSize)) && ok;
    return ok;
}

} // namespace

bool generateCourses(const std::string& dataDir) {
    bool ok = true;
    for (const CourseDesign& design : generatedCourseDesigns()) {
        ok = generateCourse(dataDir, design) && ok;
    }
    // The valley's picture, from the heightmap and course file it ships with.
    Course valley;
    HeightGrid grid;
    if (loadCourse(dataDir, defaultCourseId, valley) && readCourseGrid(valley, grid)) {
        const Image8 picture = coursePicture(grid, valley, pictureSize);
        ok = saveDataPng(dataDir, coursePath(defaultCourseId, "preview.png"), picture) && ok;
    } else {
        ok = false;
    }
    return ok;
}
