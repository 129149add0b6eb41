// The first window fits the screen's work area: shrunk keeping its aspect where it is too large, untouched where
// it fits.
#include <gtest/gtest.h>

#include "core/window_fit.h"

namespace {

struct FitCase {
    WindowSize wanted, available, expected;
};

TEST(WindowFit, ShrinksToTheWorkAreaKeepingTheAspectAndLeavesWhatFits) {
    const FitCase cases[] = {
        {{1024, 1024}, {1366, 768}, {768, 768}},    // a laptop screen: the square window loses its bottom
        {{1920, 1080}, {1366, 768}, {1365, 768}},   // 16:9 into a slightly narrower 16:9
        {{3000, 500}, {1280, 1024}, {1280, 213}},   // too wide only
        {{640, 480}, {1366, 768}, {640, 480}},      // fits: exactly as configured
        {{1366, 768}, {1366, 768}, {1366, 768}},    // exactly the work area
        {{16384, 2}, {1024, 768}, {1024, 1}},       // never below one pixel
    };
    for (const FitCase& c : cases) {
        const WindowSize got = fitWindowSize(c.wanted, c.available);
        EXPECT_EQ(got.width, c.expected.width) << c.wanted.width << " x " << c.wanted.height;
        EXPECT_EQ(got.height, c.expected.height) << c.wanted.width << " x " << c.wanted.height;
    }
}

TEST(WindowFit, AnyFittedSizeLiesInsideAndKeepsTheAspect) {
    for (int32_t w = 100; w <= 5000; w += 370) {
        for (int32_t h = 100; h <= 5000; h += 410) {
            const WindowSize got = fitWindowSize({w, h}, {1366, 768});
            EXPECT_LE(got.width, 1366);
            EXPECT_LE(got.height, 768);
            if (got.width != w) {
                // One of the sides meets the work area's edge; the aspect holds to within a pixel's rounding.
                EXPECT_TRUE(got.width == 1366 || got.height == 768) << w << " x " << h;
                EXPECT_NEAR(double(got.width) / got.height, double(w) / h, double(w) / h * 2.0 / std::min(got.width, got.height));
            } else {
                EXPECT_EQ(got.height, h);
            }
        }
    }
}

TEST(WindowFit, UnknownWorkAreaLeavesTheSize) {
    const WindowSize got = fitWindowSize({1024, 1024}, {0, 0});
    EXPECT_EQ(got.width, 1024);
    EXPECT_EQ(got.height, 1024);
}

} // namespace
