// The course's route: the order in which the checkpoints are raced and the waypoints that bend the channel between
// them. The heightmap generator carves the channel along it; the course simulator's scripted player follows it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>

#include "core/race_state.h"

// One control point of the route's centre line, in world units on the ground plane (x, z).
struct CourseRoutePoint {
    int checkpoint = -1; // index into the checkpoint table, or -1 for a waypoint
    float x = 0.0f;      // waypoints only; a checkpoint's place comes from the table
    float z = 0.0f;
};

constexpr CourseRoutePoint routeCheckpoint(int index) { return {index, 0.0f, 0.0f}; }
constexpr CourseRoutePoint routeWaypoint(float x, float z) { return {-1, x, z}; }

// Start (0), 6, 4, 1, 2, 5, 7, 8, 3, goal (9): the order in which the channel can fall nearly all the way without
// crossing itself. The two climbs (4 to 1, 2.4 units; 2 to 5, 8.2 units) are ridden on momentum. A rolling ball
// keeps its speed, so it comes out of a bend swinging from wall to wall unless the player holds it on the line: no
// checkpoint sits in a sharp bend or right behind one, where a ball riding up the outer wall would pass its marker
// out of reach. The first stretch heads north, into the camera's first view. The centre line passes through every
// point below; the goal is followed by a rising run-out.
inline const std::vector<CourseRoutePoint>& courseRoutePoints() {
    static const std::vector<CourseRoutePoint> points = {
        routeCheckpoint(0),
        routeWaypoint(144.5f, -196.0f), // away north, in the first view
        routeWaypoint(137.0f, -210.0f), // a left-hander: a ball boosted straight on flies off to the north
        routeWaypoint(120.0f, -216.0f),
        routeWaypoint(99.0f, -216.5f),
        routeWaypoint(79.5f, -217.0f),
        routeWaypoint(61.0f, -212.5f),  // an even left-hand loop round to the south, radius about 37...
        routeWaypoint(47.5f, -199.0f),
        routeWaypoint(42.5f, -180.5f),
        routeWaypoint(44.5f, -167.5f),  // ...ending in a straight, so the ball is back on the line at 6
        routeWaypoint(49.0f, -156.5f),
        routeCheckpoint(6),
        routeCheckpoint(4),
        routeCheckpoint(1),
        routeWaypoint(158.0f, -40.0f),  // right-hand sweep down to the south-west
        routeWaypoint(152.0f, 8.0f),
        routeWaypoint(120.0f, 52.0f),
        routeWaypoint(82.0f, 76.0f),
        routeCheckpoint(2),
        routeWaypoint(-10.0f, 76.0f),   // west, then a right-hander to the north
        routeWaypoint(-60.0f, 56.0f),
        routeWaypoint(-95.0f, 20.0f),
        routeCheckpoint(5),
        routeCheckpoint(7),
        routeWaypoint(-58.0f, -95.0f),  // left-hand loop round to the south
        routeWaypoint(-72.0f, -122.0f),
        routeWaypoint(-102.0f, -130.0f),
        routeWaypoint(-130.0f, -118.0f),
        routeWaypoint(-148.0f, -92.0f),
        routeWaypoint(-163.0f, -55.0f),
        routeWaypoint(-174.0f, -20.0f),
        routeCheckpoint(8),
        routeWaypoint(-170.0f, 52.0f),  // gently left onto the straight south-east, well east of the goal
        routeWaypoint(-144.0f, 86.0f),
        routeWaypoint(-90.8f, 126.6f),
        routeWaypoint(-34.6f, 174.4f),   // right-hand hairpin (radius 24) onto the line to the goal
        routeWaypoint(-30.7f, 192.4f),
        routeWaypoint(-40.5f, 207.9f),
        routeWaypoint(-62.5f, 210.8f),
        routeCheckpoint(3),
        routeCheckpoint(9),
        routeWaypoint(-156.0f, 164.0f), // run-out beyond the goal
        routeWaypoint(-172.0f, 154.0f),
    };
    return points;
}

inline glm::vec2 routePointPosition(const CourseRoutePoint& p) {
    if (p.checkpoint >= 0 && static_cast<std::size_t>(p.checkpoint) < checkpoints.size()) {
        const glm::vec3& c = checkpoints[static_cast<std::size_t>(p.checkpoint)];
        return glm::vec2(c.x, c.z);
    }
    return glm::vec2(p.x, p.z);
}

// Checkpoint indices in the order the route meets them: the start first, the goal last.
inline std::vector<int> courseCheckpointOrder() {
    std::vector<int> order;
    for (const CourseRoutePoint& p : courseRoutePoints()) {
        if (p.checkpoint >= 0) {
            order.push_back(p.checkpoint);
        }
    }
    return order;
}

// A point of the densely sampled centre line.
struct RouteSample {
    glm::vec2 position;  // world x, z
    float distance;      // along the centre line from the start, world units
    glm::vec2 direction; // unit tangent, pointing onwards
};

struct SampledRoute {
    std::vector<RouteSample> samples;   // evenly spaced by distance
    std::vector<float> controlDistance; // distance of every control point of courseRoutePoints()
    float length = 0.0f;
};

// The centre line: a centripetal Catmull-Rom spline through every control point (it never loops or overshoots
// between close points), resampled every `spacing` world units.
inline SampledRoute sampleRoute(float spacing) {
    const std::vector<CourseRoutePoint>& route = courseRoutePoints();
    std::vector<glm::vec2> p;
    for (const CourseRoutePoint& point : route) {
        p.push_back(routePointPosition(point));
    }
    SampledRoute out;
    if (p.size() < 2 || !(spacing > 0.0f)) {
        return out;
    }
    // Mirrored end points give the first and last segments a natural tangent.
    std::vector<glm::vec2> q;
    q.push_back(2.0f * p[0] - p[1]);
    q.insert(q.end(), p.begin(), p.end());
    q.push_back(2.0f * p.back() - p[p.size() - 2]);

    const int stepsPerSegment = 256;
    std::vector<glm::vec2> fine;
    std::vector<double> fineDistance; // double: summing thousands of short steps in float drifts
    fine.push_back(p[0]);
    fineDistance.push_back(0.0f);
    out.controlDistance.push_back(0.0f);
    for (std::size_t i = 1; i + 2 < q.size(); ++i) {
        glm::vec2 p0 = q[i - 1];
        glm::vec2 p1 = q[i];
        glm::vec2 p2 = q[i + 1];
        glm::vec2 p3 = q[i + 2];
        auto knot = [](glm::vec2 a, glm::vec2 b) { return std::max(1e-4f, std::sqrt(glm::length(b - a))); };
        float t0 = 0.0f;
        float t1 = t0 + knot(p0, p1);
        float t2 = t1 + knot(p1, p2);
        float t3 = t2 + knot(p2, p3);
        for (int k = 1; k <= stepsPerSegment; ++k) {
            float t = t1 + (t2 - t1) * static_cast<float>(k) / static_cast<float>(stepsPerSegment);
            glm::vec2 a1 = (t1 - t) / (t1 - t0) * p0 + (t - t0) / (t1 - t0) * p1;
            glm::vec2 a2 = (t2 - t) / (t2 - t1) * p1 + (t - t1) / (t2 - t1) * p2;
            glm::vec2 a3 = (t3 - t) / (t3 - t2) * p2 + (t - t2) / (t3 - t2) * p3;
            glm::vec2 b1 = (t2 - t) / (t2 - t0) * a1 + (t - t0) / (t2 - t0) * a2;
            glm::vec2 b2 = (t3 - t) / (t3 - t1) * a2 + (t - t1) / (t3 - t1) * a3;
            glm::vec2 c = (t2 - t) / (t2 - t1) * b1 + (t - t1) / (t2 - t1) * b2;
            fineDistance.push_back(fineDistance.back() + static_cast<double>(glm::length(c - fine.back())));
            fine.push_back(c);
        }
        out.controlDistance.push_back(static_cast<float>(fineDistance.back()));
    }
    out.length = static_cast<float>(fineDistance.back());

    std::size_t j = 0;
    auto count = static_cast<std::size_t>(std::floor(out.length / spacing));
    for (std::size_t i = 0; i <= count; ++i) {
        double s = static_cast<double>(i) * static_cast<double>(spacing);
        while (j + 2 < fine.size() && fineDistance[j + 1] < s) {
            ++j;
        }
        double span = fineDistance[j + 1] - fineDistance[j];
        auto f = static_cast<float>(span > 0.0 ? (s - fineDistance[j]) / span : 0.0);
        glm::vec2 step = fine[j + 1] - fine[j];
        glm::vec2 position = fine[j] + step * f;
        glm::vec2 direction = span > 0.0 ? glm::normalize(step) : glm::vec2(1.0f, 0.0f);
        out.samples.push_back({position, static_cast<float>(s), direction});
    }
    return out;
}
