// The course route shared by the heightmap generator and the simulator's scripted player.
#include <algorithm>
#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "tools/generate/course_route.h"

namespace {

constexpr float mapHalf = 256.0f;         // the course's heightmap is 512 units across
constexpr float borderClearance = 30.0f;  // the channel keeps this far from the map's edge...
constexpr float channelHalfWidth = 8.0f;  // ...measured from its rim, this far from the centre line

} // namespace

TEST(CourseRoute, VisitsEveryCheckpointOnceFromTheStartToTheGoal) {
    std::vector<int> order = courseCheckpointOrder();
    ASSERT_EQ(order.size(), checkpoints.size());
    EXPECT_EQ(order.front(), 0);
    EXPECT_EQ(order.back(), static_cast<int>(goalIndex));
    EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(), checkpoints.size());
    EXPECT_EQ(courseRoutePoints().front().checkpoint, 0) << "the centre line starts on the start pad";
}

TEST(CourseRoute, CheckpointPositionsComeFromTheTable) {
    for (const CourseRoutePoint& p : courseRoutePoints()) {
        if (p.checkpoint >= 0) {
            glm::vec2 at = routePointPosition(p);
            EXPECT_EQ(at.x, checkpoints[static_cast<std::size_t>(p.checkpoint)].x);
            EXPECT_EQ(at.y, checkpoints[static_cast<std::size_t>(p.checkpoint)].z);
        }
    }
    EXPECT_EQ(routePointPosition(routeWaypoint(3.0f, -4.0f)), glm::vec2(3.0f, -4.0f));
}

TEST(CourseRoute, SampledLinePassesThroughEveryControlPointEvenlySpaced) {
    const float spacing = 1.0f;
    SampledRoute route = sampleRoute(spacing);
    const std::vector<CourseRoutePoint>& points = courseRoutePoints();
    ASSERT_EQ(route.controlDistance.size(), points.size());
    ASSERT_GT(route.samples.size(), 500u);
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto nearest = static_cast<std::size_t>(std::lround(route.controlDistance[i] / spacing));
        nearest = std::min(nearest, route.samples.size() - 1);
        // Samples stop at the last whole spacing, up to one spacing short of the end.
        float tolerance = i + 1 == points.size() ? spacing : 0.6f * spacing;
        EXPECT_LT(glm::length(route.samples[nearest].position - routePointPosition(points[i])), tolerance)
            << "control point " << i;
        if (i > 0) {
            EXPECT_GT(route.controlDistance[i], route.controlDistance[i - 1]);
        }
    }
    for (std::size_t j = 1; j < route.samples.size(); ++j) {
        const RouteSample& a = route.samples[j - 1];
        const RouteSample& b = route.samples[j];
        ASSERT_NEAR(b.distance - a.distance, spacing, 1e-3f);
        ASSERT_NEAR(glm::length(b.position - a.position), spacing, 0.02f) << "at " << a.distance;
        ASSERT_NEAR(glm::length(a.direction), 1.0f, 1e-3f);
        ASSERT_GT(glm::dot(a.direction, glm::normalize(b.position - a.position)), 0.99f) << "at " << a.distance;
    }
    EXPECT_NEAR(route.samples.back().distance, route.length, spacing);
}

TEST(CourseRoute, StaysClearOfTheMapsEdge) {
    float limit = mapHalf - borderClearance - channelHalfWidth;
    for (const RouteSample& s : sampleRoute(2.0f).samples) {
        ASSERT_LE(std::fabs(s.position.x), limit) << "at " << s.distance;
        ASSERT_LE(std::fabs(s.position.y), limit) << "at " << s.distance;
    }
}

TEST(CourseRoute, NeverRunsBackIntoItself) {
    // Two stretches far apart along the line must keep a wall of land between their channels.
    SampledRoute route = sampleRoute(2.0f);
    const float minimumGap = 30.0f;  // world units between centre lines
    const float farAlong = 120.0f;   // world units along the route
    for (std::size_t a = 0; a < route.samples.size(); ++a) {
        for (std::size_t b = a + 1; b < route.samples.size(); ++b) {
            if (route.samples[b].distance - route.samples[a].distance < farAlong) {
                continue;
            }
            ASSERT_GE(glm::length(route.samples[a].position - route.samples[b].position), minimumGap)
                << "at " << route.samples[a].distance << " and " << route.samples[b].distance;
        }
    }
}

TEST(CourseRoute, NoSpacingGivesNoSamples) {
    EXPECT_TRUE(sampleRoute(0.0f).samples.empty());
    EXPECT_TRUE(sampleRoute(-1.0f).samples.empty());
}
