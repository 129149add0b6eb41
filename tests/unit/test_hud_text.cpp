// Times on the HUD: the right glyphs in reading order, aligned on the anchor, in cells that keep their shape on
// any window.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "core/hud_text.h"

namespace {

std::vector<int> glyphsOf(const GlyphRun& run) {
    std::vector<int> out;
    for (std::size_t i = 0; i < run.count; ++i) {
        out.push_back(run.glyphs[i].glyph);
    }
    return out;
}

} // namespace

TEST(HudText, ATimeReadsAsItsDigitsToHundredths) {
    const int p = glyphPoint, d = glyphDash;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        float seconds;
        std::vector<int> glyphs;
    } cases[] = {
        {47.08f, {4, 7, p, 0, 8}}, {5.25f, {5, p, 2, 5}},  {0.0f, {0, p, 0, 0}},
        {9.996f, {1, 0, p, 0, 0}}, {123.4f, {9, 9, p, 9, 9}}, // above 99.99 the clock stays full
        {-1.0f, {d, d, p, d, d}},  {nan, {d, d, p, d, d}},   {inf, {d, d, p, d, d}}, // no time: dashes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(glyphsOf(layoutTime(c.seconds, glm::vec2(0.0f), 0.2f, 1.0f, TextAlign::Left)), c.glyphs)
            << c.seconds;
    }
}

TEST(HudText, GlyphsRunLeftToRightFromTheAnchorAndKeepTheirShapeOnAWideWindow) {
    const float aspect = 16.0f / 9.0f;
    const glm::vec2 anchor(0.9f, 0.8f);
    const GlyphRun right = layoutTime(47.08f, anchor, 0.2f, aspect, TextAlign::Right);
    ASSERT_EQ(right.count, 5u);
    const GlyphDraw& last = right.glyphs[4];
    EXPECT_NEAR(last.centre.x + last.size.x * digitAdvance * 0.5f, anchor.x, 1e-5f) << "the run ends at the anchor";
    for (std::size_t i = 0; i < right.count; ++i) {
        const GlyphDraw& g = right.glyphs[i];
        EXPECT_FLOAT_EQ(g.centre.y, anchor.y);
        EXPECT_FLOAT_EQ(g.size.y, 0.2f);
        // Device units times the window's shape give pixels: a cell stays as wide for its height as in the atlas.
        EXPECT_NEAR(g.size.x * aspect / g.size.y, float(glyphCellWidth) / float(glyphCellHeight), 1e-5f);
        if (i > 0) {
            EXPECT_GT(g.centre.x, right.glyphs[i - 1].centre.x);
        }
    }
    const GlyphRun centred = layoutTime(47.08f, anchor, 0.2f, aspect, TextAlign::Centre);
    EXPECT_NEAR(centred.glyphs[0].centre.x - right.glyphs[0].centre.x, right.width * 0.5f, 1e-5f);
}
