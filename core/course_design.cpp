// How a design becomes a course: its checkpoints and route, and the course file's text.
#include "core/course_design.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "core/route.h"

namespace {

constexpr double headingLookAhead = 12.0; // world units along the route the start heading is aimed

} // namespace

// The design as a course, its checkpoints on the floor the profile is carved from; their heights are set on the
// carved ground once it exists.
Course courseOfDesign(const CourseDesign& d, const std::string& fileFolder) {
    Course c;
    c.id = d.id;
    c.name = d.name;
    c.heightmapPath = fileFolder + "heightmap.png";
    c.grassPath = fileFolder + "grass.png";
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

std::string courseFileText(const std::vector<std::string>& head, const Course& c, const std::string& grassPath,
                           const std::string& medals) {
    std::ostringstream out;
    char line[512];
    for (const std::string& line : head) {
        out << "; " << line << "\n";
    }
    out << "[course]\n"
        << "name = " << c.name << "\n"
        << "heightmap = " << c.heightmapPath << "\n"
        << "grass = " << grassPath << "\n";
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

