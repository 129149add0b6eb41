// The scripted player's route: the same centre line the course generator carves the channel along.
#include "core/player_route.h"

std::vector<RoutePoint> playerRoute(const Course& course) {
    if (!course.route.empty()) {
        return course.route;
    }
    std::vector<RoutePoint> straight;
    for (std::size_t i = 0; i < course.checkpoints.size(); ++i) {
        straight.push_back({int(i), glm::vec2(course.checkpoints[i].x, course.checkpoints[i].z)});
    }
    return straight;
}

std::vector<glm::vec2> courseRoute(const Course& course) {
    std::vector<glm::vec2> route;
    for (const RouteSample& s : sampleRoute(playerRoute(course), routeSpacing).samples) {
        route.push_back(s.position);
    }
    return route;
}

std::vector<RouteCheckpoint> courseRouteCheckpoints(const Course& course) {
    const std::vector<RoutePoint> route = playerRoute(course);
    return routeCheckpoints(route, sampleRoute(route, routeSpacing), routeSpacing);
}
