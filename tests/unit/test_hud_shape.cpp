// The HUD at every window shape: sprites keep their shape, their size against the window's shorter side and
// their distance from the edges they belong to; the paused banner takes the middle.
#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include "core/hud_layout.h"

namespace {

// A sprite's quad in window pixels: centre, width and height, for a window of the given size.
struct PixelBox {
    glm::vec2 centre, size;
};

PixelBox pixelBox(const glm::mat4& model, glm::vec2 window) {
    auto pixel = [&](float x, float y) {
        const glm::vec4 p = model * glm::vec4(x, y, 0.0f, 1.0f);
        return (glm::vec2(p.x, p.y) + 1.0f) * 0.5f * window;
    };
    return {pixel(0.0f, 0.0f), glm::abs(pixel(0.5f, 0.5f) - pixel(-0.5f, -0.5f))};
}

const HudDraw& find(const HudLayout& layout, HudSprite sprite) {
    for (std::size_t i = 0; i < layout.count; ++i) {
        if (layout.draws[i].sprite == sprite) {
            return layout.draws[i];
        }
    }
    throw std::runtime_error("sprite not drawn");
}

HudLayout rolling(float aspect, float boost = 0.5f) {
    RaceState race;
    race.phase = RacePhase::Rolling;
    race.boost = boost;
    FrameClock clock;
    clock.totalTime = 10.0f;
    return layoutHud(race, clock, 20.0f, aspect);
}

TEST(HudShape, EverySpriteKeepsItsShapeSizeAndCornerAgainstTheShorterSide) {
    const float side = 1080.0f; // the shorter side, pixels
    const glm::vec2 square(side, side);
    const HudLayout reference = rolling(1.0f);
    for (const float aspect : {16.0f / 9.0f, 21.0f / 9.0f, 9.0f / 16.0f}) {
        const glm::vec2 window = aspect >= 1.0f ? glm::vec2(side * aspect, side) : glm::vec2(side, side / aspect);
        const HudLayout layout = rolling(aspect);
        for (const HudSprite sprite : {HudSprite::GaugeDial, HudSprite::Clock, HudSprite::TimeBar}) {
            const PixelBox was = pixelBox(find(reference, sprite).model, square);
            const PixelBox now = pixelBox(find(layout, sprite).model, window);
            EXPECT_NEAR(now.size.x, was.size.x, 0.05f) << "aspect " << aspect << ", sprite " << int(sprite);
            EXPECT_NEAR(now.size.y, was.size.y, 0.05f) << "aspect " << aspect << ", sprite " << int(sprite);
            // The gauge keeps its distance from the left and bottom edges, clock and bar from the right and bottom.
            const bool left = sprite == HudSprite::GaugeDial;
            const float edgeGap = left ? now.centre.x : window.x - now.centre.x;
            const float squareGap = left ? was.centre.x : square.x - was.centre.x;
            EXPECT_NEAR(edgeGap, squareGap, 0.05f) << "aspect " << aspect << ", sprite " << int(sprite);
            EXPECT_NEAR(now.centre.y, was.centre.y, 0.05f) << "aspect " << aspect << ", sprite " << int(sprite);
        }
        // The needle is as long on screen pointing up as pointing sideways, and as long as in the square window.
        auto needleLength = [](const HudLayout& l, glm::vec2 size) {
            const glm::mat4& needle = find(l, HudSprite::GaugePointer).model;
            const glm::vec4 tip = needle * glm::vec4(-0.5f, 0.0f, 0.0f, 1.0f);
            const glm::vec4 base = needle * glm::vec4(0.5f, 0.0f, 0.0f, 1.0f);
            return glm::length(glm::vec2(tip - base) * 0.5f * size);
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
    FrameClock clock;
    const glm::vec2 window(1920.0f, 1080.0f);
    const HudLayout lostLayout = layoutHud(race, clock, 20.0f, 16.0f / 9.0f);
    const PixelBox lost = pixelBox(find(lostLayout, HudSprite::LostBanner).model, window);
    EXPECT_NEAR(lost.centre.x, 960.0f, 0.05f);
    EXPECT_NEAR(lost.centre.y, 540.0f, 0.05f);
    EXPECT_NEAR(lost.size.x, 540.0f, 0.05f) << "half the height, square like the banner image";
    EXPECT_NEAR(lost.size.y, 540.0f, 0.05f);

    clock.paused = true;
    const HudLayout paused = layoutHud(race, clock, 20.0f, 16.0f / 9.0f);
    EXPECT_EQ(paused.draws[paused.count - 1].sprite, HudSprite::Paused) << "drawn over everything";
    const PixelBox banner = pixelBox(paused.draws[paused.count - 1].model, window);
    EXPECT_NEAR(banner.centre.x, 960.0f, 0.05f);
    EXPECT_NEAR(banner.size.x, banner.size.y, 0.05f);
    for (std::size_t i = 0; i < paused.count; ++i) {
        EXPECT_NE(paused.draws[i].sprite, HudSprite::LostBanner) << "the paused banner is not drawn over the lost one";
    }
}

} // namespace
