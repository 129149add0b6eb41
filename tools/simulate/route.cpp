// The scripted player's route: the same centre line the course generator carves the channel along.
#include "tools/simulate/route.h"

#include "tools/generate/course_route.h"

std::vector<glm::vec2> courseRoute() {
    std::vector<glm::vec2> route;
    for (const RouteSample& s : sampleRoute(routeSpacing).samples) {
        route.push_back(s.position);
    }
    return route;
}
