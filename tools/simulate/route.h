// The route the scripted player follows: the course's checkpoint order with the waypoints between them.
#pragma once

#include <vector>

#include "tools/simulate/player.h"

std::vector<RouteTarget> courseRoute();
