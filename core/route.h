// The route a course is raced along: its centre line sampled densely, a centripetal Catmull-Rom spline through
// every control point. The generator carves the channel along it; the simulator's player follows it.
#pragma once

#include <cstddef>
#include <vector>

#include <glm/vec2.hpp>

#include "core/course.h"

// A point of the densely sampled centre line.
struct RouteSample {
    glm::vec2 position;  // world x, z
    float distance;      // along the centre line from the start, world units
    glm::vec2 direction; // unit tangent, pointing onwards
};

struct SampledRoute {
    std::vector<RouteSample> samples;   // evenly spaced by distance
    std::vector<float> controlDistance; // distance of every control point of the route
    float length = 0.0f;
};

// The centre line, which never loops or overshoots between close points, resampled every `spacing` world units.
// Empty for a route of fewer than two points or a spacing that is not positive.
SampledRoute sampleRoute(const std::vector<RoutePoint>& route, float spacing);

// A checkpoint as the route meets it.
struct RouteCheckpoint {
    std::size_t index;      // into the course's checkpoints
    std::size_t routePoint; // the sample of the route nearest to it
};
// Every checkpoint but the start, in the order the route meets them.
std::vector<RouteCheckpoint> routeCheckpoints(const std::vector<RoutePoint>& route, const SampledRoute& sampled,
                                              float spacing);
