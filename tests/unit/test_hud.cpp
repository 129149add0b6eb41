// HUD layout: which sprites a frame draws, their placement, fades and the start of rolling.
#include <gtest/gtest.h>

#include <cmath>

#include <glm/glm.hpp>

#include "effects/hud_layout.h"

namespace {

glm::vec2 place(const glm::mat4& m, float x, float y) {
    const glm::vec4 p = m * glm::vec4(x, y, 0.0f, 1.0f);
    return {p.x, p.y};
}

const HudDraw* find(const HudLayout& layout, HudSprite sprite) {
    for (std::size_t i = 0; i < layout.count; ++i) {
        if (layout.draws[i].sprite == sprite) {
            return &layout.draws[i];
        }
    }
    return nullptr;
}

struct Frame {
    RaceState race;
    FrameClock clock;
    Frame(RacePhase phase, float raceStart, float totalTime) {
        race.phase = phase;
        race.raceStart = raceStart;
        clock.totalTime = totalTime;
    }
};

TEST(HudLayout, GetReadyGrowsAndFadesThenHandsOverToLetsRollInTheSameFrame) {
    Frame f(RacePhase::GetReady, 10.0f, 11.0f);
    HudLayout l = layoutHud(f.race, f.clock);
    const HudDraw* ready = find(l, HudSprite::GetReady);
    ASSERT_NE(ready, nullptr);
    EXPECT_NEAR(place(ready->model, 0.5f, 0.5f).x, 0.35f, 1e-5f) << "scale 0.7 one second after the reset";
    EXPECT_NEAR(ready->opacity, 1.0f, 1e-5f);
    EXPECT_FALSE(startRollingIfDue(f.race, f.clock));
    EXPECT_EQ(find(l, HudSprite::LetRoll), nullptr);

    Frame due(RacePhase::GetReady, 10.0f, 12.01f);
    l = layoutHud(due.race, due.clock);
    EXPECT_TRUE(startRollingIfDue(due.race, due.clock));
    EXPECT_EQ(due.race.phase, RacePhase::Rolling);
    ASSERT_NE(find(l, HudSprite::GetReady), nullptr);
    EXPECT_LE(find(l, HudSprite::GetReady)->opacity, 0.0f);
    const HudDraw* roll = find(l, HudSprite::LetRoll);
    ASSERT_NE(roll, nullptr);
    EXPECT_NEAR(roll->opacity, 0.99f, 1e-3f);
    EXPECT_NEAR(place(roll->model, 0.5f, 0.0f).x, 0.4f, 1e-2f) << "let's roll starts at about 0.8 x 0.8";
}

TEST(HudLayout, ExactlyTwoSecondsIsStillGetReady) {
    Frame f(RacePhase::GetReady, 10.0f, 12.0f);
    EXPECT_FALSE(startRollingIfDue(f.race, f.clock));
    EXPECT_EQ(f.race.phase, RacePhase::GetReady);
}

TEST(HudLayout, FirstRaceStartsBeforeItsResetWithAnOverbrightSmallMessage) {
    Frame f(RacePhase::GetReady, 1.0f, 0.0f);
    const HudLayout l = layoutHud(f.race, f.clock);
    const HudDraw* ready = find(l, HudSprite::GetReady);
    ASSERT_NE(ready, nullptr);
    EXPECT_NEAR(ready->opacity, 3.0f, 1e-5f);
    EXPECT_NEAR(place(ready->model, 0.5f, 0.0f).x, 0.15f, 1e-5f);
}

TEST(HudLayout, ClockFadesWithTheStartMessageButNotLater) {
    Frame fading(RacePhase::Rolling, 10.0f, 12.5f);
    HudLayout l = layoutHud(fading.race, fading.clock);
    EXPECT_NEAR(find(l, HudSprite::Clock)->opacity, 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(find(l, HudSprite::GaugeDial)->opacity, 1.0f);

    Frame later(RacePhase::Rolling, 10.0f, 13.5f);
    l = layoutHud(later.race, later.clock);
    EXPECT_EQ(find(l, HudSprite::LetRoll), nullptr);
    EXPECT_FLOAT_EQ(find(l, HudSprite::Clock)->opacity, 1.0f);
}

TEST(HudLayout, BannersShowOnlyInTheirPhaseAtFullSize) {
    Frame won(RacePhase::Won, 0.0f, 50.0f);
    HudLayout l = layoutHud(won.race, won.clock);
    ASSERT_NE(find(l, HudSprite::WonBanner), nullptr);
    EXPECT_EQ(find(l, HudSprite::LostBanner), nullptr);
    EXPECT_EQ(place(find(l, HudSprite::WonBanner)->model, 0.5f, 0.5f), glm::vec2(0.5f, 0.5f));

    Frame lost(RacePhase::Lost, 0.0f, 50.0f);
    l = layoutHud(lost.race, lost.clock);
    ASSERT_NE(find(l, HudSprite::LostBanner), nullptr);
    EXPECT_EQ(find(l, HudSprite::WonBanner), nullptr);
    EXPECT_EQ(l.draws[0].sprite, HudSprite::LostBanner) << "banners come first, under the gauges";
}

TEST(HudLayout, GaugeAndClockSitInTheirCorners) {
    Frame f(RacePhase::Rolling, 0.0f, 100.0f);
    const HudLayout l = layoutHud(f.race, f.clock);
    EXPECT_NEAR(glm::distance(place(find(l, HudSprite::Clock)->model, 0.0f, 0.0f), glm::vec2(0.85f, -0.5f)), 0.0f, 1e-6f);
    EXPECT_NEAR(glm::distance(place(find(l, HudSprite::GaugeDial)->model, 0.5f, 0.5f), glm::vec2(-0.45f, -0.45f)), 0.0f,
                1e-6f);
}

TEST(HudLayout, PointerTurnsClockwiseHalfATurnPerUnitOfBoost) {
    const glm::vec2 pivot(-0.7f, -0.78f);
    auto needleDirection = [&](float boost) {
        Frame f(RacePhase::Rolling, 0.0f, 100.0f);
        f.race.boost = boost;
        const HudLayout l = layoutHud(f.race, f.clock);
        const glm::mat4& m = find(l, HudSprite::GaugePointer)->model;
        // The quad's left edge is the needle's far end, its right edge the near end.
        const glm::vec2 tip = place(m, -0.5f, 0.0f);
        const glm::vec2 base = place(m, 0.5f, 0.0f);
        EXPECT_NEAR(glm::distance(tip, pivot), 0.2125f, 1e-5f);
        EXPECT_NEAR(glm::distance(base, pivot), 0.0375f, 1e-5f);
        return glm::normalize(tip - pivot);
    };
    const glm::vec2 empty = needleDirection(0.0f);
    EXPECT_LT(empty.x, -0.9f);
    EXPECT_GT(empty.y, 0.0f) << "left and slightly up";
    const glm::vec2 half = needleDirection(0.5f);
    EXPECT_GT(half.y, 0.9f);
    EXPECT_GT(half.x, 0.0f) << "up and slightly right";
    const glm::vec2 full = needleDirection(1.0f);
    EXPECT_GT(full.x, 0.9f);
    EXPECT_LT(full.y, 0.0f) << "right and slightly down";
}

TEST(HudLayout, TimeBarHeightFollowsTheCountdownUnclamped) {
    auto barTop = [](float timer) {
        Frame f(RacePhase::Rolling, 0.0f, 100.0f);
        f.race.timer = timer;
        const HudLayout l = layoutHud(f.race, f.clock);
        const HudDraw& bar = l.draws[l.count - 1];
        EXPECT_EQ(bar.sprite, HudSprite::TimeBar);
        return place(bar.model, 0.0f, 0.5f).y;
    };
    EXPECT_NEAR(barTop(20.0f), -0.5f + 0.25f, 1e-6f);
    EXPECT_NEAR(barTop(10.0f), -0.5f + 0.125f, 1e-6f);
    EXPECT_NEAR(barTop(40.0f), -0.5f + 0.5f, 1e-6f);
    EXPECT_LT(barTop(-1.0f), -0.5f) << "a negative countdown flips the quad, which culling removes";
}

} // namespace
