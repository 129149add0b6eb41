// The shipped heightmap against the checkpoint table: ground under every marker, a start pad that holds the ball, a
// first view that sees it, and a goal at the bottom of its bowl.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/camera.h"
#include "core/course.h"
#include "core/course_list.h"
#include "core/terrain.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

// The drawn surface in world units, as the game decodes the shipped file (before it presses the goal hollow).
struct ShippedGround {
    Course course = shippedCourse();
    Terrain terrain{decodeHeightmap(course.heightmapFile.c_str()), course.heightScale};

    double heightAt(double x, double z) const { return drawnGroundHeight(terrain, float(x), float(z)); }
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
    EXPECT_EQ(ground().terrain.width, 512);
    EXPECT_EQ(ground().terrain.height, 512);
}

// A ball rolling on the floor passes a little under each checkpoint, on every shipped course.
TEST(ShippedCourse, TheGroundLiesOneToThreeUnitsBelowEveryCheckpointOfEveryCourse) {
    const std::vector<CourseEntry> courses = listCourses(KELVARA_DATA_DIR, "");
    ASSERT_FALSE(courses.empty());
    for (const CourseEntry& entry : courses) {
        const Terrain terrain(decodeHeightmap(entry.course.heightmapFile.c_str()), entry.course.heightScale);
        for (const glm::vec3& checkpoint : entry.course.checkpoints) {
            const float below = checkpoint.y - drawnGroundHeight(terrain, checkpoint.x, checkpoint.z);
            EXPECT_TRUE(below >= 1.0f && below <= 3.0f) << entry.course.id << " (" << checkpoint.x << ", "
                                                        << checkpoint.z << "): " << below;
        }
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
