// The route the scripted player follows: the course's centre line, sampled densely, and the checkpoints on it.
#pragma once

#include <cstddef>
#include <vector>

#include <glm/vec2.hpp>

#include "core/course.h"
#include "core/route.h"

constexpr float routeSpacing = 2.0f; // world units

// The course's route, or for a course whose file gives none, straight through its checkpoints in order.
std::vector<RoutePoint> playerRoute(const Course& course);
// Points along the centre line from the start to its end, every routeSpacing world units.
std::vector<glm::vec2> courseRoute(const Course& course);
// Every checkpoint but the start, in the order the route meets them.
std::vector<RouteCheckpoint> courseRouteCheckpoints(const Course& course);
