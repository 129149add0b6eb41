// The check of the written course heightmaps, and writing and reading them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <glm/geometric.hpp>

#include "core/course.h"
#include "core/route.h"
#include "core/shader_file.h"
#include "core/terrain.h"
#include "core/image_io.h"
#include "tools/generate/course_designs.h"
#include "tools/generate/generators.h"

namespace {

constexpr int mapSize = courseMapSize;
constexpr double routeSpacing = 1.0; // world units between centre-line samples
// For the ride report of the check: a rolling solid ball turns 2/7 of its fall into spin, 5/7 into speed.
constexpr double rollingSpeedFactor = 5.0 / 7.0;
constexpr double closeStretchGap = 120.0; // world units along the route: stretches at least this far apart count

} // namespace

void printCarveReport(const std::string& id, const Course& course, const CarveReport& report) {
    std::printf("%s: %zu control points, %.0f units of centre line\n", id.c_str(), course.route.size(),
                report.centreLength);
    std::printf("%s: steepest step %.2f units per unit at (%d, %d)\n", id.c_str(), report.steepest, report.steepX,
                report.steepZ);
}

bool writeHeightmap(const std::string& path, const std::vector<uint16_t>& samples) {
    std::string error;
    if (!ensureDirectory(std::filesystem::path(path).parent_path().string(), error) ||
        !writePng16Grey(path, mapSize, mapSize, samples, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s (%dx%d, 16-bit grey)\n", path.c_str(), mapSize, mapSize);
    return true;
}

bool generateHeightmap(const std::string& dataDir) {
    Course course;
    if (!loadCourse(dataDir, defaultCourseId, course)) {
        return false;
    }
    std::vector<uint16_t> samples;
    CarveReport report;
    if (!carveHeightmap(course, valleyDesign(), samples, &report)) {
        return false;
    }
    printCarveReport(valleyDesign().id, course, report);
    return writeHeightmap((std::filesystem::path(dataDir) / course.heightmapPath).string(), samples);
}

bool readCourseGrid(const Course& course, HeightGrid& grid) {
    const std::string& path = course.heightmapFile;
    try {
        grid = decodeHeightmap(path.c_str());
    } catch (FileNotFoundException* e) {
        std::fprintf(stderr, "%s (%s)\n", e->what(), path.c_str());
        delete e;
        return false;
    }
    return true;
}

bool readWrittenHeightmap(const std::string& dataDir, HeightGrid& grid) {
    Course course;
    return loadCourse(dataDir, defaultCourseId, course) && readCourseGrid(course, grid);
}

bool checkCourse(const std::string& dataDir, const std::string& id) {
    Course course;
    if (!loadCourse(dataDir, id, course)) {
        return false;
    }
    std::printf("course %s\n", id.c_str());
    const std::vector<glm::vec3>& checkpoints = course.checkpoints;
    const std::size_t goalIndex = course.goalIndex();
    HeightGrid grid;
    if (!readCourseGrid(course, grid)) {
        return false;
    }
    if (grid.width < 2 || grid.height < 2) {
        std::fprintf(stderr, "%s is too small to hold a course\n", course.heightmapFile.c_str());
        return false;
    }
    // The ride along the centre line, as a rolling ball that left the pad's lip at rest would have it without
    // losses or boost: where it is fast, how tight the bends are, and how far up the wall a bend pushes it.
    SampledRoute route = sampleRoute(course.route, static_cast<float>(routeSpacing));
    std::vector<double> ground(route.samples.size());
    for (std::size_t j = 0; j < route.samples.size(); ++j) {
        ground[j] = drawnGround(grid, route.samples[j].position.x, route.samples[j].position.y);
    }
    double lip = -1e9;
    for (std::size_t j = 0; j < route.samples.size() && route.samples[j].distance <= padLength + 1.0; ++j) {
        lip = std::max(lip, ground[j]);
    }
    std::printf("  along   ground   slope  radius   speed  sideways (g)\n");
    const std::size_t reportEvery = 25;
    for (std::size_t j = reportEvery; j + reportEvery < route.samples.size(); j += reportEvery) {
        glm::dvec2 t0(route.samples[j - 10].direction);
        glm::dvec2 t1(route.samples[j + 10].direction);
        double turn = std::acos(std::clamp(glm::dot(t0, t1), -1.0, 1.0));
        double radius = turn > 1e-6 ? 20.0 * routeSpacing / turn : 1e9;
        double slope = (ground[j + 1] - ground[j - 1]) / (2.0 * routeSpacing);
        double drop = std::max(0.0, lip - ground[j]);
        double speedSquared = 2.0 * rollingSpeedFactor * gravity * drop;
        std::printf("%7.0f %8.2f %7.3f %7.0f %7.1f %9.2f\n", route.samples[j].distance, ground[j], slope,
                    std::min(radius, 9999.0), std::sqrt(speedSquared), speedSquared / radius / gravity);
    }

    // Where two stretches far apart along the route come close side by side, the ground between must hold both.
    double closest = 1e9;
    std::size_t closeA = 0;
    std::size_t closeB = 0;
    for (std::size_t a = 0; a < route.samples.size(); a += 2) {
        for (std::size_t b = a + static_cast<std::size_t>(closeStretchGap / routeSpacing); b < route.samples.size();
             b += 2) {
            double d = glm::length(glm::dvec2(route.samples[a].position - route.samples[b].position));
            if (d < closest) {
                closest = d;
                closeA = a;
                closeB = b;
            }
        }
    }
    std::printf("closest stretches: %.1f apart (at %.0f and %.0f along, ground %.1f and %.1f)\n", closest,
                route.samples[closeA].distance, route.samples[closeB].distance, ground[closeA], ground[closeB]);

    HeightGrid pressed = grid;
    pressGoalHollow(pressed, checkpoints[goalIndex].x, checkpoints[goalIndex].z);
    std::printf("checkpoint        x        y        z   ground    below\n");
    bool ok = true;
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
        const glm::vec3& c = checkpoints[i];
        double ground = drawnGround(i == goalIndex ? pressed : grid, c.x, c.z);
        double below = c.y - ground;
        bool fits = below >= 1.0 && below <= (i == goalIndex ? 4.0 : 3.0);
        ok = ok && fits;
        std::printf("%10zu %8.2f %8.2f %8.2f %8.2f %8.2f%s%s\n", i, c.x, c.y, c.z, ground, below,
                    i == goalIndex ? " (with the goal hollow)" : "", fits ? "" : "  <- out of range");
    }
    return ok;
}

bool checkHeightmap(const std::string& dataDir) {
    bool ok = checkCourse(dataDir, defaultCourseId);
    for (const CourseDesign& design : generatedCourseDesigns()) {
        ok = checkCourse(dataDir, design.id) && ok;
    }
    return ok;
}
