// The HUD drawn through a real context in each race phase: the middle of the screen shows that phase's message,
// the right way up, and no other; the race clock and the record show their digits where the layout puts them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/medals.h"
#include "core/race.h"
#include "core/records.h"
#include "gl/composite.h"
#include "gl/hud.h"
#include "core/hud_text.h"
#include "tests/support/files.h"
#include "tests/support/gl_pass.h"

namespace {

const char* const messages[] = {"getready.png", "letroll.png", "youwon.png", "youlost.png"};

class Hud : public GlPass {
protected:
    // Mean difference (0..1 per channel) between the middle of the target and the message picture drawn there at
    // the given size and opacity, blended over black; the picture is averaged over each pixel's footprint.
    double differenceFrom(const std::vector<glm::vec4>& shown, const Picture& message, float scale, float opacity) {
        const int from = size * 13 / 40, to = size - from; // normalised device coordinates -0.35..0.35
        const float texelsPerPixel = message.width / (scale * size / 2.0f);
        double total = 0.0;
        for (int py = from; py < to; ++py) {
            for (int px = from; px < to; ++px) {
                // The unit quad spans -0.5..0.5 with its texture's first row at the top.
                const float u = ((px + 0.5f) / size * 2.0f - 1.0f) / scale + 0.5f;
                const float v = 0.5f - ((py + 0.5f) / size * 2.0f - 1.0f) / scale;
                glm::vec3 expected(0.0f);
                if (u > 0.0f && u < 1.0f && v > 0.0f && v < 1.0f) {
                    const int x0 = int(u * message.width - texelsPerPixel / 2), y0 = int(v * message.height - texelsPerPixel / 2);
                    int n = 0;
                    for (int y = std::max(y0, 0); y < std::min(y0 + int(texelsPerPixel + 0.5f), message.height); ++y)
                        for (int x = std::max(x0, 0); x < std::min(x0 + int(texelsPerPixel + 0.5f), message.width); ++x, ++n) {
                            const unsigned char* t = message.at(x, y);
                            expected += glm::vec3(t[0], t[1], t[2]) * (t[3] / 255.0f * opacity / 255.0f);
                        }
                    expected /= float(std::max(n, 1));
                }
                const glm::vec4 c = shown[std::size_t(py) * size + px];
                total += (std::fabs(c.r - expected.r) + std::fabs(c.g - expected.g) + std::fabs(c.b - expected.b)) / 3.0;
            }
        }
        return total / double((to - from) * (to - from));
    }
};

TEST_F(Hud, EachRacePhaseShowsItsOwnMessageTheRightWayUp) {
    struct Case {
        RacePhase phase;
        float sinceReset;
        int message; // index into messages, -1 for none
        float scale, opacity;
    };
    const Case cases[] = {
        {RacePhase::GetReady, 1.0f, 0, 0.7f, 1.0f}, {RacePhase::Rolling, 2.5f, 1, 1.0f, 0.5f},
        {RacePhase::Won, 30.0f, 2, 1.0f, 1.0f},     {RacePhase::Lost, 30.0f, 3, 1.0f, 1.0f},
        {RacePhase::Rolling, 8.0f, -1, 1.0f, 0.0f},
    };
    Picture pictures[4];
    for (int i = 0; i < 4; ++i) pictures[i] = loadPicture(dataFile(std::string("UserInterface/") + messages[i]), 4);
    // Sets the program's brightness and contrast from the settings, as in every frame.
    renderComposite(renderer, flags, size, size, false);
    glEnable(GL_CULL_FACE); // as the passes before it leave the state
    for (const Case& c : cases) {
        race->state.phase = c.phase;
        race->state.raceStart = 10.0f;
        race->clock.totalTime = 10.0f + c.sinceReset;
        drawIntoTarget();
        glClear(GL_COLOR_BUFFER_BIT);
        renderHud(renderer, *race, size, size);
        const std::vector<glm::vec4> shown = readAll();
        const std::string what = "phase " + std::to_string(int(c.phase)) + " at " + std::to_string(c.sinceReset) + " s";
        for (int i = 0; i < 4; ++i) {
            const double difference = differenceFrom(shown, pictures[i], c.scale, c.message < 0 ? 0.0f : c.opacity);
            if (i == c.message || c.message < 0) {
                EXPECT_LT(difference, 0.03) << what << ": " << messages[i];
            } else {
                EXPECT_GT(difference, 0.05) << what << ": " << messages[i] << " instead";
            }
        }
    }
    glDisable(GL_CULL_FACE);
}

// Which atlas cell the target shows where the glyph is drawn: the cell whose picture, averaged over each pixel's
// footprint and blended over black, differs least from what was drawn.
int shownGlyph(const std::vector<glm::vec4>& shown, const Picture& atlas, const GlyphDraw& glyph, int size) {
    const float left = (glyph.centre.x - glyph.size.x / 2 + 1.0f) / 2.0f * size;
    const float bottom = (glyph.centre.y - glyph.size.y / 2 + 1.0f) / 2.0f * size;
    const float width = glyph.size.x / 2.0f * size, height = glyph.size.y / 2.0f * size;
    int best = -1;
    double bestDifference = 1e9;
    for (int cell = 0; cell < glyphCellCount; ++cell) {
        double total = 0.0;
        int pixels = 0;
        for (int py = int(std::ceil(bottom)); py < int(bottom + height); ++py) {
            for (int px = int(std::ceil(left)); px < int(left + width); ++px, ++pixels) {
                const float u0 = (px - left) / width, u1 = (px + 1 - left) / width;
                const float v0 = 1.0f - (py + 1 - bottom) / height, v1 = 1.0f - (py - bottom) / height;
                glm::vec3 expected(0.0f);
                int n = 0;
                for (int y = int(v0 * atlas.height); y < std::min(int(v1 * atlas.height), atlas.height); ++y)
                    for (int x = int((cell + u0) * glyphCellWidth); x < int((cell + u1) * glyphCellWidth); ++x, ++n) {
                        const unsigned char* t = atlas.at(x, y);
                        expected += glm::vec3(t[0], t[1], t[2]) * (t[3] / 255.0f / 255.0f);
                    }
                expected /= float(std::max(n, 1));
                const glm::vec4 c = shown[std::size_t(py) * size + px];
                total += std::fabs(c.r - expected.r) + std::fabs(c.g - expected.g) + std::fabs(c.b - expected.b);
            }
        }
        if (pixels > 0 && total / pixels < bestDifference) best = cell, bestDifference = total / pixels;
    }
    return best;
}

TEST_F(Hud, TheRaceClockAndTheRecordShowTheirDigitsInTheirPlaces) {
    const Picture atlas = loadPicture(dataFile("UserInterface/digits.png"), 4);
    ASSERT_TRUE(atlas.loaded());
    renderComposite(renderer, flags, size, size, false);
    glEnable(GL_CULL_FACE);
    race->state.phase = RacePhase::Rolling;
    race->state.raceStart = 10.0f;
    race->clock.totalTime = 60.0f; // long after the start messages
    race->state.raceClock = 47.08f;
    race->records.best = CourseRecord{true, 45.31f, ""};
    drawIntoTarget();
    glClear(GL_COLOR_BUFFER_BIT);
    renderHud(renderer, *race, size, size);
    const std::vector<glm::vec4> shown = readAll();
    glDisable(GL_CULL_FACE);

    const ClockLayout clock = layoutClock(47.08f, 45.31f, false, 1.0f);
    const int raceDigits[] = {4, 7, glyphPoint, 0, 8}, bestDigits[] = {4, 5, glyphPoint, 3, 1};
    ASSERT_EQ(clock.raceTime.count, 5u);
    ASSERT_EQ(clock.bestTime.count, 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(shownGlyph(shown, atlas, clock.raceTime.glyphs[i], size), raceDigits[i]) << "race clock, glyph " << i;
        EXPECT_EQ(shownGlyph(shown, atlas, clock.bestTime.glyphs[i], size), bestDigits[i]) << "record, glyph " << i;
    }
}

// The summed colour of the target's pixels inside a box of device coordinates.
glm::vec3 colourIn(const std::vector<glm::vec4>& shown, glm::vec2 low, glm::vec2 high, int size) {
    glm::vec3 sum(0.0f);
    for (int py = int((low.y + 1.0f) / 2.0f * size); py < int((high.y + 1.0f) / 2.0f * size); ++py)
        for (int px = int((low.x + 1.0f) / 2.0f * size); px < int((high.x + 1.0f) / 2.0f * size); ++px)
            sum += glm::vec3(shown[std::size_t(py) * size + px]);
    return sum;
}

TEST_F(Hud, ASplitShowsGreenAheadRedBehindForTwoSecondsAndAWinItsMedal) {
    renderComposite(renderer, flags, size, size, false);
    race->state.phase = RacePhase::Rolling;
    race->state.raceStart = 10.0f;
    race->state.raceClock = 8.0f;
    race->state.hasSplit = true;
    race->state.splitAt = 59.0f;
    auto draw = [&](long hundredths, float now) {
        race->state.splitHundredths = hundredths;
        race->clock.totalTime = now;
        drawIntoTarget();
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_CULL_FACE);
        renderHud(renderer, *race, size, size);
        glDisable(GL_CULL_FACE);
        const SplitLayout split = layoutSplit(hundredths, 1.0f);
        const GlyphDraw& first = split.glyphs[0];
        const GlyphDraw& last = split.glyphs[split.count - 1];
        return colourIn(readAll(), first.centre - first.size * 0.5f, last.centre + last.size * 0.5f, size);
    };
    const glm::vec3 ahead = draw(-42, 60.0f), behind = draw(105, 60.0f), level = draw(0, 60.0f);
    EXPECT_GT(ahead.g, 1.5f * ahead.r) << "green when ahead";
    EXPECT_GT(level.g, 1.5f * level.r) << "green when level";
    EXPECT_GT(behind.r, 1.5f * behind.g) << "red when behind";
    EXPECT_GT(behind.r, 1.0f) << "drawn";
    const glm::vec3 gone = draw(105, 59.0f + splitShownSeconds + 0.01f);
    EXPECT_LT(gone.r + gone.g + gone.b, 0.01f) << "gone after two seconds";

    // Won in gold time: the gold medal's row below the banner, golden.
    race->state.phase = RacePhase::Won;
    race->state.hasSplit = false;
    race->state.raceClock = race->course.goldSeconds > 0.0f ? race->course.goldSeconds - 1.0f : 1.0f;
    drawIntoTarget();
    glClear(GL_COLOR_BUFFER_BIT);
    renderHud(renderer, *race, size, size);
    const MedalLayout medal = layoutMedal(int(Medal::Gold), 1.0f);
    ASSERT_TRUE(medal.shown);
    const glm::vec4 low = medal.sprite * glm::vec4(-0.5f, -0.5f, 0.0f, 1.0f);
    const glm::vec4 high = medal.sprite * glm::vec4(0.5f, 0.5f, 0.0f, 1.0f);
    const glm::vec3 gold = colourIn(readAll(), glm::vec2(low), glm::vec2(high), size);
    EXPECT_GT(gold.r, 2.0f) << "the medal is drawn";
    EXPECT_GT(gold.r, 1.5f * gold.b) << "in gold";
}

} // namespace
