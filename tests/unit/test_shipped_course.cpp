// The shipped heightmap against the checkpoint table: ground under every marker, a start pad that holds the ball, a
// first view that sees it, and a goal at the bottom of its bowl.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/camera.h"
#include "core/course.h"
#include "core/terrain.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

// The drawn surface in world units, as the game decodes the shipped file (before it presses the goal hollow).
struct ShippedGround {
    Course course = shippedCourse();
    HeightGrid grid = decodeHeightmap(course.heightmapFile.c_str());

    double at(int x, int z) const {
        x = std::clamp(x, 0, grid.width - 1);
        z = std::clamp(z, 0, grid.height - 1);
        return course.heightScale * grid.samples[std::size_t(z) * grid.width + x] / 32767.0;
    }
    // Grid point (i, j) is drawn at (i - width / 2, j - height / 2); each cell is split from (i + 1, j) to (i, j + 1).
    double heightAt(double x, double z) const {
        const double gx = x + grid.width / 2, gz = z + grid.height / 2;
        const int i = int(std::floor(gx)), j = int(std::floor(gz));
        const double fx = gx - i, fz = gz - j;
        if (fx + fz <= 1.0) return at(i, j) + fx * (at(i + 1, j) - at(i, j)) + fz * (at(i, j + 1) - at(i, j));
        return at(i + 1, j + 1) + (1 - fx) * (at(i, j + 1) - at(i + 1, j + 1)) + (1 - fz) * (at(i + 1, j) - at(i + 1, j + 1));
    }
    // Lowest and highest ground on a ring of radius r around p (32 points, a sixteenth of pi apart).
    std::pair<double, double> ring(const glm::vec3& p, double r) const {
        double low = 1e9, high = -1e9;
        for (int k = 0; k < 32; ++k) {
            const double h = heightAt(p.x + r * std::cos(k * 0.19634954), p.z + r * std::sin(k * 0.19634954));
            low = std::min(low, h);
            high = std::max(high, h);
        }
        return {low, high};
    }
};

const ShippedGround& ground() {
    static const ShippedGround shipped;
    return shipped;
}

TEST(ShippedCourse, IsASixteenBitMapOfFiveHundredTwelvePixelsSquare) {
    const Picture file = loadPicture(ground().course.heightmapFile);
    EXPECT_EQ(file.fileChannels, 1);
    EXPECT_TRUE(stbi_is_16_bit(ground().course.heightmapFile.c_str()));
    EXPECT_EQ(ground().grid.width, 512);
    EXPECT_EQ(ground().grid.height, 512);
}

TEST(ShippedCourse, TheGroundLiesOneToThreeUnitsBelowEveryCheckpoint) {
    const std::vector<glm::vec3>& checkpoints = ground().course.checkpoints;
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
        const double below = checkpoints[i].y - ground().heightAt(checkpoints[i].x, checkpoints[i].z);
        EXPECT_GE(below, 1.0) << "checkpoint " << i;
        EXPECT_LE(below, 3.0) << "checkpoint " << i;
    }
}

TEST(ShippedCourse, TheStartPadHoldsABallLeftAloneAndTheFirstViewSeesIt) {
    const glm::vec3& start = ground().course.start();
    const double pad = ground().heightAt(start.x, start.z);
    for (double r = 0.5; r <= 1.0; r += 0.5) {
        EXPECT_NEAR(ground().ring(start, r).first, pad, 0.05) << "flat where the ball lands";
        EXPECT_NEAR(ground().ring(start, r).second, pad, 0.05) << "flat where the ball lands";
    }
    for (double r = 2.0; r <= 12.0; r += 1.0) EXPECT_GE(ground().ring(start, r).first, pad - 0.01) << "lip at " << r;

    Camera c;
    resetCamera(c, start, ground().course.startHeading);
    const glm::vec3 eye = cameraEye(c), ball(start.x, float(pad) + 1.0f, start.z);
    for (int k = 0; k < 50; ++k) {
        const glm::vec3 p = eye + (ball - eye) * (k / 50.0f);
        EXPECT_LT(ground().heightAt(p.x, p.z), p.y) << "the ground hides the ball at " << k / 50.0;
    }
}

TEST(ShippedCourse, TheGoalLiesAtTheBottomOfABowl) {
    const glm::vec3& goal = ground().course.goal();
    double inner = ground().heightAt(goal.x, goal.z) - 0.01;
    for (double r = 2.0; r <= 10.0; r += 2.0) {
        const double low = ground().ring(goal, r).first;
        EXPECT_GE(low, inner) << "radius " << r;
        inner = low;
    }
}

} // namespace
