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

// The camera's first view: from 15 units behind the start, looking along yaw -60 (direction (0.5, -0.866) on the
// ground), 58.3 degrees wide on the shipped square window.
const glm::vec2 firstViewDirection(0.5f, -0.8660254f);
constexpr float firstViewDistance = 15.0f;
constexpr float firstViewHalfAngle = 29.15f; // degrees
constexpr float degreesPerRadianF = 57.29578f;

// Degrees the centre line turns between two distances along it.
float turnBetween(const SampledRoute& route, float from, float to) {
    auto index = [&](float d) {
        long i = std::lround(d / (route.samples[1].distance - route.samples[0].distance));
        return static_cast<std::size_t>(std::clamp(i, 0L, static_cast<long>(route.samples.size()) - 1));
    };
    float c = glm::dot(route.samples[index(from)].direction, route.samples[index(to)].direction);
    return std::acos(std::clamp(c, -1.0f, 1.0f)) * degreesPerRadianF;
}

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

TEST(CourseRoute, LeavesThePadInsideTheFirstView) {
    SampledRoute route = sampleRoute(1.0f);
    glm::vec2 start(checkpoints[0].x, checkpoints[0].z);
    glm::vec2 eye = start - firstViewDirection * firstViewDistance;
    for (const RouteSample& s : route.samples) {
        if (s.distance > 25.0f) {
            break;
        }
        float angle = std::acos(std::clamp(glm::dot(glm::normalize(s.position - eye), firstViewDirection), -1.0f,
                                           1.0f)) * degreesPerRadianF;
        EXPECT_LT(angle, firstViewHalfAngle) << "the channel at " << s.distance << " is out of the first view";
    }
}

TEST(CourseRoute, NoCheckpointSitsInASharpBend) {
    // A ball riding up the outside of a sharp bend would pass a marker there out of reach.
    SampledRoute route = sampleRoute(1.0f);
    const std::vector<CourseRoutePoint>& points = courseRoutePoints();
    const float around = 8.0f;    // world units either side of the checkpoint
    const float mostTurn = 40.0f; // degrees within that stretch
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].checkpoint < 0) {
            continue;
        }
        float d = route.controlDistance[i];
        EXPECT_LT(turnBetween(route, d - around, d + around), mostTurn) << "checkpoint " << points[i].checkpoint;
    }
}

TEST(CourseRoute, RunsOnBeyondTheGoal) {
    // The goal is not the end of the line: its bowl has a rising run-out behind it.
    SampledRoute route = sampleRoute(1.0f);
    const std::vector<CourseRoutePoint>& points = courseRoutePoints();
    std::size_t goal = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].checkpoint == static_cast<int>(goalIndex)) {
            goal = i;
        }
    }
    ASSERT_GT(goal, 0u);
    EXPECT_GT(route.length - route.controlDistance[goal], 20.0f);
}
