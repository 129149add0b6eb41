// The HUD as the player reads it: the start messages handing over, the boost needle and the time bar; and at every
// window shape, sprites keeping their shape, their size against the shorter side and their distance from the edges
// they belong to, with the paused banner alone in the middle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include <glm/glm.hpp>

#include "core/hud_layout.h"

namespace {

glm::vec2 place(const glm::mat4& m, float x, float y) { return glm::vec2(m * glm::vec4(x, y, 0.0f, 1.0f)); }

const HudDraw* find(const HudLayout& layout, HudSprite sprite) {
    for (std::size_t i = 0; i < layout.count; ++i)
        if (layout.draws[i].sprite == sprite) return &layout.draws[i];
    return nullptr;
}

HudLayout layoutAt(RacePhase phase, float sinceReset, float boost = 0.5f, float timer = 20.0f,
                   float countdown = 20.0f, float aspect = 1.0f) {
    RaceState race;
    race.phase = phase;
    race.raceStart = 10.0f;
    race.boost = boost;
    race.timer = timer;
    FrameClock clock;
    clock.totalTime = 10.0f + sinceReset;
    return layoutHud(race, clock, countdown, aspect);
}

TEST(HudLayout, GetReadyHandsOverToLetsRollInTheFrameRollingStarts) {
    RaceState race;
    race.raceStart = 10.0f;
    FrameClock clock;
    for (float t : {11.0f, 12.0f}) {
        clock.totalTime = t;
        const HudLayout l = layoutHud(race, clock, 20.0f);
        ASSERT_NE(find(l, HudSprite::GetReady), nullptr) << t;
        EXPECT_EQ(find(l, HudSprite::LetRoll), nullptr) << t;
        EXPECT_FALSE(startRollingIfDue(race, clock)) << "exactly two seconds is still get-ready";
    }
    clock.totalTime = 12.01f;
    const HudLayout l = layoutHud(race, clock, 20.0f);
    EXPECT_TRUE(startRollingIfDue(race, clock));
    EXPECT_EQ(race.phase, RacePhase::Rolling);
    ASSERT_NE(find(l, HudSprite::LetRoll), nullptr) << "shown in the same frame";
    ASSERT_NE(find(l, HudSprite::GetReady), nullptr);
    EXPECT_NEAR(find(l, HudSprite::LetRoll)->opacity, 1.0f, 0.02f);
    EXPECT_LE(find(l, HudSprite::GetReady)->opacity, 0.0f) << "while get-ready has faded out";

    const HudLayout later = layoutAt(RacePhase::Rolling, 3.1f);
    EXPECT_EQ(find(later, HudSprite::LetRoll), nullptr) << "gone after three seconds";
}

TEST(HudLayout, TheBoostNeedleTurnsClockwiseHalfATurnPerUnitOfBoostOnItsDial) {
    // The quad's left edge (x = -0.5) is the needle's tip, its right edge the tail.
    auto end = [](float boost, float x) {
        return place(find(layoutAt(RacePhase::Rolling, 5.0f, boost), HudSprite::GaugePointer)->model, x, 0.0f);
    };
    auto pointing = [&](float boost) { return glm::normalize(end(boost, -0.5f) - end(boost, 0.5f)); };
    EXPECT_LT(pointing(0.0f).x, -0.9f) << "empty: pointing left";
    EXPECT_GT(pointing(0.5f).y, 0.9f) << "half: pointing up";
    EXPECT_GT(pointing(1.0f).x, 0.9f) << "full: pointing right";
    // Half a turn sends the tip to its mirror image through the pivot.
    const glm::vec2 pivot = (end(0.0f, -0.5f) + end(1.0f, -0.5f)) * 0.5f;
    EXPECT_GT(glm::distance(end(0.0f, -0.5f), pivot), glm::distance(end(0.0f, 0.5f), pivot)) << "tip is the far end";
    const glm::mat4 dial = find(layoutAt(RacePhase::Rolling, 5.0f), HudSprite::GaugeDial)->model;
    const glm::vec2 onDial = place(glm::inverse(dial), pivot.x, pivot.y);
    EXPECT_LT(std::max(std::abs(onDial.x), std::abs(onDial.y)), 0.5f) << "it turns on the dial";
}

// The bar is full at the course's countdown, whatever that is; checkpoint bonuses may overfill it.
TEST(HudLayout, TheTimeBarShrinksWithTheCountdown) {
    auto length = [](float timer, float countdown) {
        const HudLayout l = layoutAt(RacePhase::Rolling, 5.0f, 0.5f, timer, countdown);
        const glm::mat4& m = find(l, HudSprite::TimeBar)->model;
        return place(m, 0.0f, 0.5f).y - place(m, 0.0f, -0.5f).y;
    };
    const float full = length(20.0f, 20.0f);
    EXPECT_GT(full, 0.0f);
    for (const float countdown : {20.0f, 45.0f})
        for (const float part : {0.0f, 0.25f, 0.5f, 1.0f, 1.5f})
            EXPECT_NEAR(length(countdown * part, countdown), full * part, 1e-6f) << countdown << " s, " << part;
}

// A sprite's quad in window pixels: centre, width and height, for a window of the given size.
struct PixelBox {
    glm::vec2 centre, size;
};

PixelBox pixelBox(const glm::mat4& model, glm::vec2 window) {
    auto pixel = [&](float x, float y) { return (place(model, x, y) + 1.0f) * 0.5f * window; };
    return {pixel(0.0f, 0.0f), glm::abs(pixel(0.5f, 0.5f) - pixel(-0.5f, -0.5f))};
}

HudLayout rolling(float aspect, float boost = 0.5f) { return layoutAt(RacePhase::Rolling, 5.0f, boost, 20.0f, 20.0f, aspect); }

TEST(HudShape, EverySpriteKeepsItsShapeSizeAndCornerAgainstTheShorterSide) {
    const float side = 1080.0f; // the shorter side, pixels
    const glm::vec2 square(side, side);
    const HudLayout reference = rolling(1.0f);
    for (const float aspect : {16.0f / 9.0f, 21.0f / 9.0f, 9.0f / 16.0f}) {
        const glm::vec2 window = aspect >= 1.0f ? glm::vec2(side * aspect, side) : glm::vec2(side, side / aspect);
        const HudLayout layout = rolling(aspect);
        for (const HudSprite sprite : {HudSprite::GaugeDial, HudSprite::Clock, HudSprite::TimeBar}) {
            SCOPED_TRACE("aspect " + std::to_string(aspect) + ", sprite " + std::to_string(int(sprite)));
            const PixelBox was = pixelBox(find(reference, sprite)->model, square);
            const PixelBox now = pixelBox(find(layout, sprite)->model, window);
            EXPECT_NEAR(now.size.x, was.size.x, 0.05f);
            EXPECT_NEAR(now.size.y, was.size.y, 0.05f);
            // The gauge keeps its distance from the left and bottom edges, clock and bar from the right and bottom.
            const bool left = sprite == HudSprite::GaugeDial;
            const float edgeGap = left ? now.centre.x : window.x - now.centre.x;
            const float squareGap = left ? was.centre.x : square.x - was.centre.x;
            EXPECT_NEAR(edgeGap, squareGap, 0.05f);
            EXPECT_NEAR(now.centre.y, was.centre.y, 0.05f);
        }
        // The needle is as long on screen pointing up as pointing sideways, and as long as in the square window.
        auto needleLength = [](const HudLayout& l, glm::vec2 size) {
            const glm::mat4& needle = find(l, HudSprite::GaugePointer)->model;
            return glm::length((place(needle, -0.5f, 0.0f) - place(needle, 0.5f, 0.0f)) * 0.5f * size);
        };
        for (const float boost : {0.0f, 0.5f, 1.0f}) {
            EXPECT_NEAR(needleLength(rolling(aspect, boost), window), needleLength(reference, square), 0.05f)
                << "aspect " << aspect << ", boost " << boost;
        }
    }
}

TEST(HudShape, BannersStayInTheMiddleAndThePausedBannerAloneHoldsIt) {
    RaceState race;
    race.phase = RacePhase::Lost;
    auto layout = [&](glm::vec2 window, bool paused) {
        FrameClock clock;
        clock.paused = paused;
        return layoutHud(race, clock, 20.0f, window.x / window.y);
    };
    const glm::vec2 square(1080.0f);
    const float side = pixelBox(find(layout(square, false), HudSprite::LostBanner)->model, square).size.y;
    for (const glm::vec2& window : {glm::vec2(1920.0f, 1080.0f), glm::vec2(1080.0f, 2160.0f)}) {
        SCOPED_TRACE(std::to_string(window.x) + " x " + std::to_string(window.y));
        const PixelBox lost = pixelBox(find(layout(window, false), HudSprite::LostBanner)->model, window);
        EXPECT_LT(glm::distance(lost.centre, window * 0.5f), 0.05f);
        EXPECT_LT(glm::distance(lost.size, glm::vec2(side)), 0.05f) << "square like its image, as in a square window";

        const HudLayout paused = layout(window, true);
        EXPECT_EQ(paused.draws[paused.count - 1].sprite, HudSprite::Paused) << "drawn over everything";
        const PixelBox banner = pixelBox(paused.draws[paused.count - 1].model, window);
        EXPECT_LT(glm::distance(banner.centre, window * 0.5f), 0.05f);
        EXPECT_NEAR(banner.size.x, banner.size.y, 0.05f);
        EXPECT_EQ(find(paused, HudSprite::LostBanner), nullptr) << "the paused banner is not drawn over the lost one";
    }
}

} // namespace
