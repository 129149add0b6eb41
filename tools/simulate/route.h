// The route the scripted player follows: the course's centre line, sampled densely, and the checkpoints on it.
#pragma once

#include <cstddef>
#include <vector>

#include <glm/vec2.hpp>

constexpr float routeSpacing = 2.0f; // world units

// Points along the course's centre line from the start to beyond the goal, every routeSpacing world units.
std::vector<glm::vec2> courseRoute();

// A checkpoint as the route meets it.
struct RouteCheckpoint {
    std::size_t index;      // into the checkpoint table
    std::size_t routePoint; // the point of courseRoute() nearest to it
};
// Every checkpoint but the start, in the order the route meets them.
std::vector<RouteCheckpoint> routeCheckpoints();
