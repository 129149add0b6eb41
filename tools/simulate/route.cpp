// The scripted player's route: the same centre line the course generator carves the channel along.
#include "tools/simulate/route.h"

#include <cmath>

#include "tools/generate/course_route.h"

std::vector<glm::vec2> courseRoute() {
    std::vector<glm::vec2> route;
    for (const RouteSample& s : sampleRoute(routeSpacing).samples) {
        route.push_back(s.position);
    }
    return route;
}

std::vector<RouteCheckpoint> routeCheckpoints() {
    const SampledRoute route = sampleRoute(routeSpacing);
    const std::vector<CourseRoutePoint>& points = courseRoutePoints();
    std::vector<RouteCheckpoint> out;
    for (std::size_t i = 0; i < points.size() && i < route.controlDistance.size(); ++i) {
        if (points[i].checkpoint <= 0 || route.samples.empty()) {
            continue;
        }
        auto nearest = static_cast<std::size_t>(std::lround(route.controlDistance[i] / routeSpacing));
        out.push_back({static_cast<std::size_t>(points[i].checkpoint), std::min(nearest, route.samples.size() - 1)});
    }
    return out;
}
