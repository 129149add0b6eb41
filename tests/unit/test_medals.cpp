// The medal rule: the best medal a time is within, none for a medal the course does not give or a time that is none.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/medals.h"

namespace {

TEST(Medals, ATimeEarnsTheBestMedalItIsWithin) {
    struct Case {
        float seconds, gold, silver, bronze;
        Medal expected;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {30.0f, 30.0f, 35.0f, 40.0f, Medal::Gold},      // equal counts
        {30.001f, 30.0f, 35.0f, 40.0f, Medal::Silver},
        {35.0f, 30.0f, 35.0f, 40.0f, Medal::Silver},
        {39.99f, 30.0f, 35.0f, 40.0f, Medal::Bronze},
        {40.01f, 30.0f, 35.0f, 40.0f, Medal::None},
        {0.0f, 30.0f, 35.0f, 40.0f, Medal::Gold},
        // Medals the course gives no time for are skipped, never earned.
        {20.0f, 0.0f, 35.0f, 40.0f, Medal::Silver},
        {38.0f, 30.0f, 0.0f, 40.0f, Medal::Bronze},
        {20.0f, 0.0f, 0.0f, 0.0f, Medal::None},
        // No time: a race never won.
        {-1.0f, 30.0f, 35.0f, 40.0f, Medal::None},
        {inf, 30.0f, 35.0f, 40.0f, Medal::None},
        {std::nanf(""), 30.0f, 35.0f, 40.0f, Medal::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(medalFor(c.seconds, c.gold, c.silver, c.bronze), c.expected)
            << c.seconds << " against " << c.gold << "/" << c.silver << "/" << c.bronze;
    }
    Course course;
    course.goldSeconds = 10.0f;
    course.silverSeconds = 12.0f;
    course.bronzeSeconds = 14.0f;
    EXPECT_EQ(medalFor(11.0f, course), Medal::Silver);
    EXPECT_STREQ(medalName(Medal::Bronze), "bronze");
    EXPECT_STREQ(medalName(Medal::None), "none");
}

} // namespace
