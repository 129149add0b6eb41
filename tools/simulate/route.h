// The route the scripted player follows: the course's centre line, sampled densely.
#pragma once

#include <vector>

#include <glm/vec2.hpp>

// Points along the course's centre line from the start to beyond the goal, every routeSpacing world units.
std::vector<glm::vec2> courseRoute();
constexpr float routeSpacing = 2.0f; // world units
