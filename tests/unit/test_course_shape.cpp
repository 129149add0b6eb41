// The shapes the course heightmap is made of: floor profile, channel cross-section, banks, rims and the start spur.
#include <cmath>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tools/generate/course_shape.h"

namespace {

// A start pad at (100, -100) with the channel leaving due north (-z), as on the shipped course.
StartSpur northboundPad() {
    StartSpur pad;
    pad.start = glm::dvec2(100.0, -100.0);
    pad.exitDirection = glm::dvec2(0.0, -1.0);
    pad.padFloor = 50.0;
    return pad;
}

glm::dvec2 towards(double degrees, double distance) {
    double a = degrees / degreesPerRadian;
    return glm::dvec2(std::cos(a), std::sin(a)) * distance;
}

double ceilingAt(const StartSpur& pad, glm::dvec2 offset) {
    return startCeiling(pad, pad.start.x + offset.x, pad.start.y + offset.y);
}

} // namespace

TEST(CourseFloorProfile, PassesThroughItsKnotsAndNeverOvershootsBetweenThem) {
    // Down, down, a small climb, down: the shape of a course between its checkpoints.
    std::vector<std::pair<double, double>> knots = {{0, 50}, {40, 30}, {100, 25}, {150, 28}, {260, -10}};
    Profile p = makeProfile(knots);
    for (const auto& [s, y] : knots) {
        EXPECT_NEAR(p.at(s), y, 1e-9) << "at " << s;
    }
    for (std::size_t k = 0; k + 1 < knots.size(); ++k) {
        double lo = std::min(knots[k].second, knots[k + 1].second);
        double hi = std::max(knots[k].second, knots[k + 1].second);
        double previous = p.at(knots[k].first);
        bool falling = knots[k + 1].second < knots[k].second;
        for (double s = knots[k].first; s <= knots[k + 1].first; s += 0.5) {
            double y = p.at(s);
            EXPECT_GE(y, lo - 1e-9) << "at " << s;
            EXPECT_LE(y, hi + 1e-9) << "at " << s;
            // Monotone: a dip or a bump between two checkpoints would trap or throw the ball.
            if (falling) {
                EXPECT_LE(y, previous + 1e-9) << "at " << s;
            } else {
                EXPECT_GE(y, previous - 1e-9) << "at " << s;
            }
            previous = y;
        }
    }
}

TEST(CourseFloorProfile, IsLevelBeyondItsEndsAndAtATurningPoint) {
    Profile p = makeProfile({{10, 5}, {30, 0}, {50, 4}});
    EXPECT_DOUBLE_EQ(p.at(-20.0), 5.0);
    EXPECT_DOUBLE_EQ(p.at(80.0), 4.0);
    // The lowest knot is a turning point: the floor is flat there, not a kink.
    EXPECT_NEAR(p.at(29.0), p.at(31.0), 0.05);
    EXPECT_GT(p.at(29.0), 0.0);
    EXPECT_GT(p.at(31.0), 0.0);
}

TEST(CourseFloorProfile, KnotsOutOfOrderOrTooCloseStillGiveAFiniteCurve) {
    Profile p = makeProfile({{30, 0}, {10, 5}, {10.4, 9}, {50, 4}});
    ASSERT_EQ(p.s.size(), 3u) << "the knot 0.4 units from another is dropped";
    for (double s = 0.0; s <= 60.0; s += 0.25) {
        ASSERT_TRUE(std::isfinite(p.at(s))) << "at " << s;
    }
    EXPECT_DOUBLE_EQ(p.at(10.0), 5.0);
    EXPECT_DOUBLE_EQ(makeProfile({}).at(3.0), 0.0) << "no knots: level ground at 0";
}

TEST(CourseCrossSection, FlatFloorThenWallsUpToTheRim) {
    const double flat = floorHalfWidth;
    const double rim = rimHeight;
    for (double d = 0.0; d <= flat; d += 0.25) {
        EXPECT_DOUBLE_EQ(channelWall(d, rim, wallMaxSlope, flat).height, 0.0) << d;
    }
    Wall top = channelWall(0.0, rim, wallMaxSlope, flat);
    EXPECT_GT(top.rimDistance, flat);
    EXPECT_NEAR(channelWall(top.rimDistance, rim, wallMaxSlope, flat).height, rim, 1e-9);
    double previous = 0.0;
    for (double d = flat; d <= top.rimDistance; d += 0.05) {
        double h = channelWall(d, rim, wallMaxSlope, flat).height;
        EXPECT_GE(h, previous) << "the wall only rises, at " << d;
        EXPECT_LE(h - previous, wallMaxSlope * 0.05 + 1e-9) << "no steeper than its limit, at " << d;
        previous = h;
    }
    // Beyond the rim the valley side goes on at its own slope.
    double beyond = channelWall(top.rimDistance + 2.0, rim, wallMaxSlope, flat).height;
    EXPECT_NEAR(beyond, rim + 2.0 * valleySideSlope, 1e-9);
}

TEST(CourseCrossSection, ALowRimIsReachedOnTheWallsCurve) {
    // A rim lower than where the curve reaches its steepest slope sits on the circle itself.
    Wall low = channelWall(0.0, 1.0, wallMaxSlope, 2.0);
    EXPECT_NEAR(channelWall(low.rimDistance, 1.0, wallMaxSlope, 2.0).height, 1.0, 1e-9);
    EXPECT_LT(low.rimDistance, channelWall(0.0, rimHeight, wallMaxSlope, 2.0).rimDistance);
}

TEST(CourseBanks, LeanGrowsWithTheBendUpToALimitAndTheStraightsAndPadStayLevel) {
    const double along = 200.0; // well past the pad
    EXPECT_DOUBLE_EQ(bankSlope(0.0, along), 0.0);
    double gentle = bankSlope(1.0 / 200.0, along);
    double tighter = bankSlope(1.0 / 100.0, along);
    EXPECT_GT(gentle, 0.0);
    EXPECT_NEAR(tighter, 2.0 * gentle, 1e-12) << "below the limit the lean is proportional to the curvature";
    EXPECT_DOUBLE_EQ(bankSlope(1.0 / 5.0, along), maxBank);
    EXPECT_DOUBLE_EQ(bankSlope(1.0 / 20.0, 0.0), 0.0) << "the pad is level even where the route bends away";
    EXPECT_DOUBLE_EQ(bankSlope(1.0 / 20.0, padLipEnd), 0.0);
}

TEST(CourseRims, TheFirstBendKeepsALowRimAndLaterBendsGetTallerOnTheOutside) {
    EXPECT_DOUBLE_EQ(rimHeightAt(30.0, 1.0), firstBendRim) << "a careless boost can fly over the first bend";
    EXPECT_DOUBLE_EQ(rimHeightAt(500.0, 0.0), rimHeight);
    EXPECT_DOUBLE_EQ(rimHeightAt(500.0, 1.0), rimHeight + bendRimExtra);
    EXPECT_LT(firstBendRim, rimHeight);
    double previous = rimHeightAt(firstBendEnd, 0.5);
    for (double s = firstBendEnd; s <= firstBendEnd + 30.0; s += 1.0) {
        EXPECT_GE(rimHeightAt(s, 0.5), previous - 1e-12) << "no step in the rim at " << s;
        previous = rimHeightAt(s, 0.5);
    }
}

TEST(CourseFloorWidth, IsWiderOnThePadAndNarrowsPastTheLip) {
    EXPECT_DOUBLE_EQ(floorHalfWidthAt(0.0), padFloorHalfWidth);
    EXPECT_DOUBLE_EQ(floorHalfWidthAt(padLength + padNarrowing + 1.0), floorHalfWidth);
    EXPECT_GT(floorHalfWidthAt(padLength + padNarrowing * 0.5), floorHalfWidth);
}

TEST(CourseStartSpur, PadIsLevelWithALipAllRound) {
    StartSpur pad = northboundPad();
    for (double degrees = 0.0; degrees < 360.0; degrees += 15.0) {
        for (double r = 0.0; r <= padRadius; r += 1.0) {
            EXPECT_DOUBLE_EQ(ceilingAt(pad, towards(degrees, r)), pad.padFloor) << degrees << " deg, " << r;
        }
        EXPECT_NEAR(ceilingAt(pad, towards(degrees, padLipTop)), pad.padFloor + padLipHeight, 1e-9);
        // Never below the floor out to the lip's end: a ball left alone stays.
        for (double r = padRadius; r <= padLipEnd; r += 0.5) {
            EXPECT_GE(ceilingAt(pad, towards(degrees, r)), pad.padFloor) << degrees << " deg, " << r;
        }
    }
}

TEST(CourseStartSpur, FallsAwayOnTheOpenSidesAndKeepsClearOfTheChannel) {
    StartSpur pad = northboundPad();
    // Behind the pad (south, +z), where the camera starts: steeply down just beyond the lip.
    EXPECT_LT(ceilingAt(pad, towards(90.0, padLipEnd + 2.5)), pad.padFloor - 3.5);
    EXPECT_LT(ceilingAt(pad, towards(0.0, 25.0)), pad.padFloor - 10.0) << "east";
    EXPECT_EQ(openSide(pad, towards(-90.0, 10.0)), 0.0) << "the channel's way out";
    EXPECT_EQ(openSide(pad, towards(90.0, 10.0)), 1.0);
    // In the channel's sector the ceiling rises beyond the lip and so never cuts the channel's walls down.
    double previous = ceilingAt(pad, towards(-90.0, padLipEnd));
    for (double r = padLipEnd; r < 40.0; r += 1.0) {
        double c = ceilingAt(pad, towards(-90.0 + channelSectorHalf * 0.5, r));
        EXPECT_GE(c, previous - 1e-9) << r;
        previous = c;
    }
}

TEST(CourseStartSpur, AValleyRunsDownNorthBeyondTheFirstBend) {
    StartSpur pad = northboundPad();
    glm::dvec2 north = towards(runoffYaw, 1.0);
    // Short of its start the valley's head stands above the pad, clear of the first bend's rim.
    EXPECT_GT(ceilingAt(pad, north * (runoffStart - 10.0)), pad.padFloor + 4.0);
    double previous = ceilingAt(pad, north * runoffStart);
    EXPECT_NEAR(previous, pad.padFloor - runoffDepth, 1e-9);
    for (double along = runoffStart + 2.0; along <= runoffStart + 40.0; along += 2.0) {
        double c = ceilingAt(pad, north * along);
        EXPECT_LT(c, previous) << "the valley floor keeps falling, at " << along;
        previous = c;
    }
    // Its floor is wide, and its sides rise beyond.
    glm::dvec2 east(1.0, 0.0);
    double middle = ceilingAt(pad, north * (runoffStart + 10.0));
    EXPECT_NEAR(ceilingAt(pad, north * (runoffStart + 10.0) + east * (runoffHalfWidth * 0.9)), middle, 1e-6);
    EXPECT_GT(ceilingAt(pad, north * (runoffStart + 10.0) + east * (runoffHalfWidth + 20.0)), middle + 10.0);
}

TEST(CourseStartSpur, SpurFallLevelsOutAtItsDepth) {
    EXPECT_DOUBLE_EQ(spurFall(0.0), 0.0);
    EXPECT_DOUBLE_EQ(spurFall(-3.0), 0.0);
    EXPECT_NEAR(spurFall(0.1) / 0.1, spurFallSlope, 0.05) << "starts at its slope";
    EXPECT_LT(spurFall(200.0), spurDepth);
    EXPECT_GT(spurFall(200.0), spurDepth - 0.01);
}
