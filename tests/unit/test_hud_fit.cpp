// The HUD fits any window from 4:1 to 1:4: no element covers another or leaves the window, at every moment of a
// race. What counts is each sprite's ink, read from the shipped images: a transparent margin covers nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "core/hud_layout.h"
#include "core/hud_text.h"
#include "core/image.h"
#include "core/medals.h"
#include "tests/support/files.h"

namespace {

struct Box {
    std::string what;
    glm::vec2 low, high; // device coordinates
};

struct Ink {
    glm::vec2 low{-0.5f}, high{0.5f};
};

// Where an image's ink lies on the unit quad it is drawn on (x and y from -0.5 to 0.5, the image's top row at 0.5).
// An atlas of rowCount rows rowHeight high gives its rows' ink taken together, on the quad one row is drawn on.
Ink inkOf(const std::string& file, int rowHeight = 0, int rowCount = 1) {
    const Image image = decodeImage(dataFile("UserInterface/" + file), 4);
    EXPECT_FALSE(image.empty()) << file;
    const int rows = rowHeight > 0 ? rowHeight : image.height;
    EXPECT_EQ(image.height, rows * rowCount) << file;
    Ink ink{glm::vec2(1e9f), glm::vec2(-1e9f)};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.pixels[(std::size_t(y) * std::size_t(image.width) + std::size_t(x)) * 4 + 3] < 16) continue;
            const glm::vec2 low(float(x) / float(image.width) - 0.5f, 0.5f - float(y % rows + 1) / float(rows));
            ink.low = glm::min(ink.low, low);
            ink.high = glm::max(ink.high, low + glm::vec2(1.0f / float(image.width), 1.0f / float(rows)));
        }
    }
    return ink;
}

Box quadBox(const std::string& what, const glm::mat4& model, const Ink& ink = Ink{}) {
    Box b{what, glm::vec2(1e9f), glm::vec2(-1e9f)};
    for (float x : {ink.low.x, ink.high.x}) {
        for (float y : {ink.low.y, ink.high.y}) {
            const glm::vec4 p = model * glm::vec4(x, y, 0.0f, 1.0f);
            b.low = glm::min(b.low, glm::vec2(p));
            b.high = glm::max(b.high, glm::vec2(p));
        }
    }
    return b;
}

Box merged(const std::string& what, const Box& a, const Box& b) {
    return {what, glm::min(a.low, b.low), glm::max(a.high, b.high)};
}

Box runBox(const std::string& what, const GlyphRun& run) {
    Box b{what, glm::vec2(1e9f), glm::vec2(-1e9f)};
    for (std::size_t i = 0; i < run.count; ++i) b = merged(what, b, quadBox(what, glyphModel(run.glyphs[i])));
    return b;
}

// What a sprite is called in a message and the image whose ink it draws; none for the opaque time bar.
std::pair<const char*, const char*> artOf(HudSprite s) {
    switch (s) {
    case HudSprite::LostBanner: return {"lost banner", "youlost.png"};
    case HudSprite::WonBanner: return {"won banner", "youwon.png"};
    case HudSprite::GetReady: return {"get ready", "getready.png"};
    case HudSprite::LetRoll: return {"let's roll", "letroll.png"};
    case HudSprite::Clock: return {"clock icon", "time.png"};
    case HudSprite::GaugeDial: return {"gauge", "boost_gauge.png"};
    case HudSprite::GaugePointer: return {"gauge", "boost_gauge_pointer.png"}; // drawn on its dial
    case HudSprite::TimeBar: return {"time bar", nullptr};
    case HudSprite::Paused: return {"paused", "paused.png"};
    }
    return {"?", nullptr};
}

// Every element of one frame, the parts of one element merged into one box.
std::vector<Box> frameBoxes(const RaceState& race, const FrameClock& clock, float aspect, bool hasRecord) {
    const HudLayout layout = layoutHud(race, clock, 20.0f, aspect);
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < layout.count; ++i) {
        const auto [name, file] = artOf(layout.draws[i].sprite);
        const Box b = quadBox(name, layout.draws[i].model, file ? inkOf(file) : Ink{});
        const auto same = std::find_if(boxes.begin(), boxes.end(), [&](const Box& o) { return o.what == b.what; });
        if (same != boxes.end()) *same = merged(b.what, *same, b);
        else boxes.push_back(b);
    }
    const ClockLayout times = layoutClock(race.raceClock, hasRecord ? 47.08f : 1.0f / 0.0f,
                                          race.newRecord && race.phase == RacePhase::Won, aspect);
    boxes.push_back(runBox("race time", times.raceTime));
    boxes.push_back(
        merged("record", quadBox("record", times.bestLabel, inkOf("best.png")), runBox("record", times.bestTime)));
    if (times.newRecord) boxes.push_back(quadBox("new record", times.newRecordSprite, inkOf("newrecord.png")));
    // A split may show at any moment of a race (the goal's stays through the won banner): its widest, either sign.
    // The won race's medal: the widest row's ink, as every row is drawn in the same place.
    if (race.phase == RacePhase::Won) {
        const MedalLayout medal = layoutMedal(int(Medal::Bronze), aspect);
        EXPECT_TRUE(medal.shown);
        boxes.push_back(quadBox("medal", medal.sprite, inkOf("medals.png", medalLabelHeight, medalLabelCount)));
    }
    Box split{"split", glm::vec2(1e9f), glm::vec2(-1e9f)};
    for (long hundredths : {-9999L, 9999L}) {
        const SplitLayout layout = layoutSplit(hundredths, aspect);
        EXPECT_EQ(layout.count, maxSplitGlyphs);
        for (std::size_t i = 0; i < layout.count; ++i) {
            split = merged("split", split, quadBox("split", glyphModel(layout.glyphs[i])));
        }
    }
    boxes.push_back(split);
    return boxes;
}

bool overlap(const Box& a, const Box& b) {
    return a.low.x < b.high.x && b.low.x < a.high.x && a.low.y < b.high.y && b.low.y < a.high.y;
}

// The two start messages share the middle for the one frame that hands over from one to the other.
bool meantToShare(const Box& a, const Box& b) {
    auto message = [](const Box& box) { return box.what == "get ready" || box.what == "let's roll"; };
    return message(a) && message(b);
}

TEST(HudFit, NoElementCoversAnotherOrLeavesTheWindowAtAnyShape) {
    const glm::vec2 windows[] = {{1600, 300}, {1200, 300}, {1920, 1080}, {1024, 1024}, {768, 1024},
                                 {600, 900},  {300, 1200}, {1366, 768},  {400, 1600}};
    struct Moment {
        const char* what;
        RacePhase phase;
        float sinceReset; // seconds
        float timer, boost, raceClock;
        bool newRecord, paused;
    };
    const Moment moments[] = {
        {"get ready", RacePhase::GetReady, 0.5f, 20.0f, 0.5f, 0.0f, false, false},
        {"rolling, slow clock", RacePhase::Rolling, 2.5f, 19.5f, 0.5f, 0.5f, false, false},
        {"rolling, long race with bonus time", RacePhase::Rolling, 40.0f, 30.0f, 2.0f, 38.0f, false, false},
        {"won with a new record", RacePhase::Won, 47.0f, 12.0f, 1.0f, 45.08f, true, false},
        {"lost", RacePhase::Lost, 22.0f, -0.01f, 0.0f, 20.0f, false, false},
        {"paused", RacePhase::Rolling, 10.0f, 12.0f, 1.0f, 8.0f, false, true},
    };
    for (const glm::vec2& window : windows) {
        const float aspect = window.x / window.y;
        for (const Moment& m : moments) {
            RaceState race;
            race.phase = m.phase;
            race.timer = m.timer;
            race.boost = m.boost;
            race.raceClock = m.raceClock;
            race.newRecord = m.newRecord;
            race.raceStart = 100.0f;
            FrameClock clock;
            clock.totalTime = race.raceStart + m.sinceReset;
            clock.paused = m.paused;
            const std::string where = std::to_string(int(window.x)) + " x " + std::to_string(int(window.y)) + ", " +
                                      m.what + ": ";
            const std::vector<Box> boxes = frameBoxes(race, clock, aspect, true);
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                const Box& a = boxes[i];
                EXPECT_TRUE(a.low.x >= -1.0f && a.low.y >= -1.0f && a.high.x <= 1.0f && a.high.y <= 1.0f)
                    << where << a.what << " leaves the window (" << a.low.x << ", " << a.low.y << ") .. ("
                    << a.high.x << ", " << a.high.y << ")";
                for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                    EXPECT_FALSE(overlap(a, boxes[j]) && !meantToShare(a, boxes[j]))
                        << where << a.what << " covers " << boxes[j].what;
                }
            }
        }
    }
}

} // namespace
