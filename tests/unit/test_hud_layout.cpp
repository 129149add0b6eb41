// The HUD as the player reads it: the start messages handing over, the boost needle and the time bar.
#include <gtest/gtest.h>

#include <glm/geometric.hpp>

#include "core/hud_layout.h"

namespace {

glm::vec2 place(const glm::mat4& m, float x, float y) { return glm::vec2(m * glm::vec4(x, y, 0.0f, 1.0f)); }

const HudDraw* find(const HudLayout& layout, HudSprite sprite) {
    for (std::size_t i = 0; i < layout.count; ++i)
        if (layout.draws[i].sprite == sprite) return &layout.draws[i];
    return nullptr;
}

HudLayout layoutAt(RacePhase phase, float sinceReset, float boost = 0.5f, float timer = 20.0f,
                   float countdown = 20.0f) {
    RaceState race;
    race.phase = phase;
    race.raceStart = 10.0f;
    race.boost = boost;
    race.timer = timer;
    FrameClock clock;
    clock.totalTime = 10.0f + sinceReset;
    return layoutHud(race, clock, countdown);
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

TEST(HudLayout, TheBoostNeedleTurnsClockwiseHalfATurnPerUnitOfBoost) {
    const glm::vec2 pivot(-0.7f, -0.78f);
    auto needle = [&](float boost) {
        const HudLayout l = layoutAt(RacePhase::Rolling, 5.0f, boost);
        const glm::mat4 m = find(l, HudSprite::GaugePointer)->model;
        // The quad's left edge is the needle's tip.
        EXPECT_GT(glm::distance(place(m, -0.5f, 0.0f), pivot), glm::distance(place(m, 0.5f, 0.0f), pivot));
        return glm::normalize(place(m, -0.5f, 0.0f) - pivot);
    };
    EXPECT_LT(needle(0.0f).x, -0.9f) << "empty: pointing left";
    EXPECT_GT(needle(0.5f).y, 0.9f) << "half: pointing up";
    EXPECT_GT(needle(1.0f).x, 0.9f) << "full: pointing right";
}

// The bar is full at the course's countdown, whatever that is; checkpoint bonuses may overfill it.
TEST(HudLayout, TheTimeBarShrinksWithTheCountdown) {
    auto barTop = [](float timer, float countdown) {
        const HudLayout l = layoutAt(RacePhase::Rolling, 5.0f, 0.5f, timer, countdown);
        return place(find(l, HudSprite::TimeBar)->model, 0.0f, 0.5f).y;
    };
    EXPECT_NEAR(barTop(20.0f, 20.0f), -0.25f, 1e-6f);
    EXPECT_NEAR(barTop(10.0f, 20.0f), -0.375f, 1e-6f);
    EXPECT_NEAR(barTop(0.0f, 20.0f), -0.5f, 1e-6f);
    EXPECT_NEAR(barTop(45.0f, 45.0f), -0.25f, 1e-6f) << "a longer course's bar starts full too";
    EXPECT_NEAR(barTop(20.0f, 40.0f), -0.375f, 1e-6f);
}

} // namespace
