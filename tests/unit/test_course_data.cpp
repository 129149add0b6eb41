// The shipped course heightmap: its format, the ground under every checkpoint, the start pad with the first view and
// the run-off valley, the banked bends and the goal bowl.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stb_image.h>

#include "app/race_state.h"
#include "tools/generate/course_route.h"

namespace {

const std::string heightmapPath = std::string(KELVARA_DATA_DIR) + "/Textures/heightmap.png";
constexpr int courseSize = 512;

struct Course {
    int width = 0;
    int height = 0;
    std::vector<double> ground; // world units, row-major

    double at(int x, int z) const {
        x = std::clamp(x, 0, width - 1);
        z = std::clamp(z, 0, height - 1);
        return ground[static_cast<std::size_t>(z) * width + x];
    }
    // The drawn surface at world (x, z): grid point (i, j) lies at (i - width/2, j - height/2), and each cell is
    // split along the diagonal from (i+1, j) to (i, j+1), as the terrain mesh draws it.
    double heightAt(double x, double z) const {
        double gx = x + width / 2;
        double gz = z + height / 2;
        int i = static_cast<int>(std::floor(gx));
        int j = static_cast<int>(std::floor(gz));
        double fx = gx - i;
        double fz = gz - j;
        if (fx + fz <= 1.0) {
            return at(i, j) + fx * (at(i + 1, j) - at(i, j)) + fz * (at(i, j + 1) - at(i, j));
        }
        return at(i + 1, j + 1) + (1 - fx) * (at(i, j + 1) - at(i + 1, j + 1)) +
               (1 - fz) * (at(i + 1, j) - at(i + 1, j + 1));
    }
};

// The game reads a sample u as the height 100 * (u - 32767) / 32767.
Course loadCourse() {
    Course course;
    int channels = 0;
    stbi_us* samples = stbi_load_16(heightmapPath.c_str(), &course.width, &course.height, &channels, 0);
    if (samples == nullptr) {
        return course;
    }
    for (int i = 0; i < course.width * course.height * channels; i += channels) {
        course.ground.push_back(100.0 * (static_cast<double>(samples[i]) - 32767.0) / 32767.0);
    }
    stbi_image_free(samples);
    return course;
}

const Course& shippedCourse() {
    static const Course course = loadCourse();
    return course;
}

} // namespace

TEST(ShippedCourse, IsOneChannelSixteenBitAndFiveHundredTwelveSquare) {
    int width = 0;
    int height = 0;
    int channels = 0;
    ASSERT_TRUE(stbi_info(heightmapPath.c_str(), &width, &height, &channels)) << heightmapPath;
    EXPECT_TRUE(stbi_is_16_bit(heightmapPath.c_str()));
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(width, courseSize);
    EXPECT_EQ(height, courseSize);
}

TEST(ShippedCourse, GroundLiesOneToThreeUnitsBelowEveryCheckpoint) {
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
        double below = checkpoints[i].y - course.heightAt(checkpoints[i].x, checkpoints[i].z);
        EXPECT_GE(below, 1.0) << "checkpoint " << i;
        EXPECT_LE(below, 3.0) << "checkpoint " << i;
    }
}

TEST(ShippedCourse, StartPadHoldsABallLeftAlone) {
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    const glm::vec3& start = checkpoints[0];
    double floor = course.heightAt(start.x, start.z);
    // Flat where the ball lands (the physics surface sits half a unit off the drawn one) ...
    for (double dx = -1.0; dx <= 1.0; dx += 0.5) {
        for (double dz = -1.0; dz <= 1.0; dz += 0.5) {
            EXPECT_NEAR(course.heightAt(start.x + dx, start.z + dz), floor, 0.05) << dx << ", " << dz;
        }
    }
    // ... and nowhere lower all round, out to beyond the lip: the ball cannot roll away by itself.
    for (int k = 0; k < 32; ++k) {
        double angle = k * 2.0 * 3.14159265 / 32.0;
        for (double r = 1.0; r <= 12.0; r += 1.0) {
            EXPECT_GE(course.heightAt(start.x + r * std::cos(angle), start.z + r * std::sin(angle)), floor - 0.01)
                << "direction " << k << ", distance " << r;
        }
    }
}

TEST(ShippedCourse, GoalLiesAtTheBottomOfABowl) {
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    const glm::vec3& goal = checkpoints[goalIndex];
    double floor = course.heightAt(goal.x, goal.z);
    for (int k = 0; k < 32; ++k) {
        double angle = k * 2.0 * 3.14159265 / 32.0;
        double previous = floor - 0.01;
        for (double r = 2.0; r <= 10.0; r += 2.0) {
            double h = course.heightAt(goal.x + r * std::cos(angle), goal.z + r * std::sin(angle));
            EXPECT_GE(h, previous) << "direction " << k << ", distance " << r;
            previous = h;
        }
    }
}

TEST(ShippedCourse, HasNoCliffsAndUsesTheRangeWithoutClipping) {
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    const double steepestWall = 5.5; // world units of rise per unit: the outside of the tightest bends
    double steepest = 0.0;
    for (int z = 0; z + 1 < course.height; ++z) {
        for (int x = 0; x + 1 < course.width; ++x) {
            steepest = std::max({steepest, std::fabs(course.at(x + 1, z) - course.at(x, z)),
                                 std::fabs(course.at(x, z + 1) - course.at(x, z))});
        }
    }
    EXPECT_LE(steepest, steepestWall);
    auto [lowest, highest] = std::minmax_element(course.ground.begin(), course.ground.end());
    EXPECT_GT(*lowest, -99.9);
    EXPECT_LT(*highest, 99.9);
}

TEST(ShippedCourse, FirstViewLooksOverTheGroundAtTheBall) {
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    // The camera starts 15 units behind the start checkpoint, looking along (0.5, 0, -0.866), level.
    const glm::vec3& start = checkpoints[0];
    const glm::vec3 eye = start - glm::vec3(0.5f, 0.0f, -0.8660254f) * 15.0f;
    EXPECT_LT(course.heightAt(eye.x, eye.z), eye.y - 4.0) << "the first view must not start underground";
    // The ball rests on the pad, its centre a unit above the drawn floor; the sight line to it is clear.
    const double ballY = course.heightAt(start.x, start.z) + 1.0;
    for (int k = 1; k < 50; ++k) {
        double t = k / 50.0;
        double x = eye.x + (start.x - eye.x) * t;
        double z = eye.z + (start.z - eye.z) * t;
        double y = eye.y + (ballY - eye.y) * t;
        EXPECT_LT(course.heightAt(x, z), y) << "the ground hides the ball at " << t;
    }
}

TEST(ShippedCourse, NorthOfTheFirstBendTheGroundFallsToTheMapsEdge) {
    // A ball boosted due north from the pad jumps the first bend's low rim and must find a way off the map.
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    const glm::vec3& start = checkpoints[0];
    const double pad = course.heightAt(start.x, start.z);
    double rim = -1e9;
    for (double z = start.z - 25.0; z > start.z - 55.0; z -= 0.5) {
        rim = std::max(rim, course.heightAt(start.x, z));
    }
    EXPECT_LT(rim, pad + 8.0) << "the rim north of the first bend is too tall to jump";
    double previous = course.heightAt(start.x, start.z - 60.0);
    for (double z = start.z - 62.0; z >= -course.height / 2; z -= 2.0) {
        double h = course.heightAt(start.x, z);
        EXPECT_LT(h, previous) << "the valley climbs at z = " << z;
        previous = h;
    }
    EXPECT_LT(previous, pad - 20.0);
}

TEST(ShippedCourse, BendsLeanInwards) {
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    SampledRoute route = sampleRoute(1.0f);
    const double across = 1.5;      // world units either side of the centre line, on the flat floor
    const double tightest = 80.0;   // bends with a smaller radius than this are checked
    int checked = 0;
    for (std::size_t j = 10; j + 10 < route.samples.size(); ++j) {
        const RouteSample& s = route.samples[j];
        glm::vec2 before = route.samples[j - 10].direction;
        glm::vec2 after = route.samples[j + 10].direction;
        float turn = std::acos(std::clamp(glm::dot(before, after), -1.0f, 1.0f));
        if (s.distance < 100.0f || turn < 20.0f / static_cast<float>(tightest)) {
            continue; // the pad's surroundings, straights and gentle bends
        }
        // Towards the bend's centre is where the direction turns to.
        glm::vec2 inward = glm::normalize(after - before);
        glm::vec2 in = s.position + inward * static_cast<float>(across);
        glm::vec2 out = s.position - inward * static_cast<float>(across);
        EXPECT_GT(course.heightAt(out.x, out.y) - course.heightAt(in.x, in.y), 0.3) << "at " << s.distance;
        ++checked;
    }
    EXPECT_GT(checked, 100) << "the course has its bends";
}

TEST(ShippedCourse, FloorIsNearlyLevelAcrossAtEveryCheckpoint) {
    // A ball beside the centre line is still within reach of the marker above it.
    const Course& course = shippedCourse();
    ASSERT_EQ(course.width, courseSize);
    SampledRoute route = sampleRoute(1.0f);
    const std::vector<CourseRoutePoint>& points = courseRoutePoints();
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].checkpoint < 0) {
            continue;
        }
        auto j = static_cast<std::size_t>(std::lround(route.controlDistance[i]));
        j = std::min(j, route.samples.size() - 1);
        glm::vec2 side(-route.samples[j].direction.y, route.samples[j].direction.x);
        glm::vec2 c = routePointPosition(points[i]);
        double middle = course.heightAt(c.x, c.y);
        for (float d : {-2.0f, 2.0f}) {
            glm::vec2 p = c + side * d;
            EXPECT_NEAR(course.heightAt(p.x, p.y), middle, 0.8) << "checkpoint " << points[i].checkpoint;
        }
    }
}
