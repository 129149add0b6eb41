// The scripted player's route: the checkpoint order the course was built around.
#include "tools/simulate/route.h"

#include "app/race_state.h"

std::vector<RouteTarget> courseRoute() {
    // Placeholder order until the course generator exports its route.
    const int order[] = {6, 4, 1, 2, 5, 7, 8, 3, 9};
    std::vector<RouteTarget> route;
    for (int i : order) {
        route.push_back({checkpoints[static_cast<std::size_t>(i)], i});
    }
    return route;
}
