// Lettering: menu strings laid out over the font atlas keep their glyphs' shape, stay within the width they are
// given (shrunk, then cut with "..."), line up as asked, and the shipped atlas has the cells the layout samples; times
// on the HUD read as the right digits in reading order, aligned on the anchor, in cells that keep their shape on any
// window.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>
#include <vector>

#include "core/hud_text.h"
#include "core/image.h"
#include "core/text_layout.h"
#include "tests/support/files.h"

namespace {

constexpr float cell = 0.1f;

struct LaidText {
    std::array<GlyphDraw, 64> glyphs{};
    TextFit fit;
    std::string cells() const { // the characters drawn, back from their cells
        std::string s;
        for (std::size_t i = 0; i < fit.count; ++i) s += char(glyphs[i].glyph + fontFirstCode);
        return s;
    }
};

LaidText lay(const std::string& text, float maxWidth = 0.0f, float minScale = 1.0f, TextAlign align = TextAlign::Left,
        float aspect = 1.0f, std::size_t capacity = 64) {
    LaidText run;
    run.fit = layoutText(text, glm::vec2(0.2f, 0.3f), cell, aspect, align, maxWidth, minScale, run.glyphs.data(),
                         capacity);
    return run;
}

TEST(TextLayout, GlyphsFollowEachOtherByTheirAdvancesKeepTheirShapeAndAlignOnTheAnchor) {
    for (float aspect : {0.25f, 1.0f, 16.0f / 9.0f, 4.0f}) {
        const LaidText run = lay("Wil", 0.0f, 1.0f, TextAlign::Left, aspect);
        ASSERT_EQ(run.fit.count, 3u);
        EXPECT_EQ(run.cells(), "Wil");
        float pen = 0.2f;
        for (std::size_t i = 0; i < 3; ++i) {
            const GlyphDraw& g = run.glyphs[i];
            const float advance = fontAdvance(g.glyph) * cell / aspect;
            EXPECT_NEAR(g.centre.x, pen + advance * 0.5f, 1e-6f);
            EXPECT_FLOAT_EQ(g.centre.y, 0.3f);
            EXPECT_NEAR(g.size.x * aspect, g.size.y, 1e-6f) << "a cell is square in pixels";
            pen += advance;
        }
        EXPECT_NEAR(run.fit.width, pen - 0.2f, 1e-6f);
    }
    // A proportional face: a W steps much further than an i.
    EXPECT_GT(fontAdvance(fontCell('W')), 2.0f * fontAdvance(fontCell('i')));

    // Alignment puts the anchor at the left end, the middle or the right end.
    const LaidText left = lay("Courses", 0.0f, 1.0f, TextAlign::Left);
    const LaidText centre = lay("Courses", 0.0f, 1.0f, TextAlign::Centre);
    const LaidText right = lay("Courses", 0.0f, 1.0f, TextAlign::Right);
    const auto firstLeft = [](const LaidText& r) {
        return r.glyphs[0].centre.x - fontAdvance(r.glyphs[0].glyph) * cell * 0.5f;
    };
    EXPECT_NEAR(firstLeft(left), 0.2f, 1e-6f);
    EXPECT_NEAR(firstLeft(centre), 0.2f - centre.fit.width * 0.5f, 1e-6f);
    EXPECT_NEAR(firstLeft(right), 0.2f - right.fit.width, 1e-6f);
}

TEST(TextLayout, ALongRunShrinksToItsWidthThenIsCutWithDots) {
    const std::string name = "The Long and Winding Descent of Kelvara";
    const float natural = lay(name).fit.width;

    // Room for most of it: shrunk, whole.
    const LaidText shrunk = lay(name, natural * 0.8f, 0.7f);
    EXPECT_EQ(shrunk.cells(), name);
    EXPECT_FALSE(shrunk.fit.clipped);
    EXPECT_NEAR(shrunk.fit.scale, 0.8f, 1e-4f);
    EXPECT_LE(shrunk.fit.width, natural * 0.8f * 1.0001f);
    EXPECT_NEAR(shrunk.glyphs[0].size.y, cell * 0.8f, 1e-5f);

    // Too little room even at the smallest size allowed: cut, ending in dots, within the width.
    const LaidText cut = lay(name, natural * 0.4f, 0.7f);
    EXPECT_TRUE(cut.fit.clipped);
    EXPECT_FLOAT_EQ(cut.fit.scale, 0.7f);
    EXPECT_LE(cut.fit.width, natural * 0.4f);
    const std::string shown = cut.cells();
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ(name.compare(0, shown.size() - 3, shown, 0, shown.size() - 3), 0) << shown;
    // As much of the name as fits: one more character would not have.
    const float oneMore = (lay(shown.substr(0, shown.size() - 3) + name[shown.size() - 3] + "...").fit.width) * 0.7f;
    EXPECT_GT(oneMore, natural * 0.4f);

    // Never shrunk: cut at full size; always shrunk: fits whole.
    EXPECT_FLOAT_EQ(lay(name, natural * 0.5f, 1.0f).fit.scale, 1.0f);
    EXPECT_EQ(lay(name, natural * 0.1f, 0.0f).cells(), name);
    // A width too small for the dots cuts without them, and draws nothing past the width.
    const LaidText tiny = lay(name, cell * 0.3f, 1.0f);
    EXPECT_LE(tiny.fit.width, cell * 0.3f);
    EXPECT_EQ(tiny.cells().find('.'), std::string::npos);
}

TEST(TextLayout, TheBufferLimitsARunAsAWidthWouldAndCharactersOutsideTheAtlasShowOneFallbackEach) {
    const LaidText run = lay("abcdefghijklmnop", 0.0f, 1.0f, TextAlign::Left, 1.0f, 8);
    EXPECT_EQ(run.cells(), "abcde...");
    EXPECT_TRUE(run.fit.clipped);
    EXPECT_EQ(lay("abc", 0.0f, 1.0f, TextAlign::Left, 1.0f, 0).fit.count, 0u);

    // "é" and "–" are two and three bytes; a stray continuation byte and a control character are one fallback each.
    EXPECT_EQ(lay("Vall\xC3\xA9" "e \xE2\x80\x93 x").cells(), "Vall?e ? x");
    EXPECT_EQ(lay(std::string("a\x80" "b\x01" "c")).cells(), "a?b?c");
    EXPECT_EQ(lay("").fit.count, 0u);
    // Broken sizes lay out nothing rather than a quad of no size.
    LaidText none;
    EXPECT_EQ(layoutText("x", glm::vec2(0.0f), -1.0f, 1.0f, TextAlign::Left, 0.0f, 1.0f, none.glyphs.data(), 4).count, 0u);
}

TEST(TextLayout, TheShippedAtlasHoldsEveryCellTheLayoutSamples) {
    const Image atlas = decodeImage(dataFile("UserInterface/font.png"), 4);
    ASSERT_FALSE(atlas.empty());
    EXPECT_EQ(atlas.width, fontColumns * fontCellPixels);
    EXPECT_EQ(atlas.height, fontRows * fontCellPixels);
    // Every drawn cell has ink, the space has none, and each cell's rectangle is its own grid square.
    const auto inked = [&atlas](int c) {
        const glm::vec4 r = fontTextureRect(c) * glm::vec4(atlas.width, atlas.height, atlas.width, atlas.height);
        int count = 0;
        for (int y = int(r.y); y < int(r.y + r.w); ++y)
            for (int x = int(r.x); x < int(r.x + r.z); ++x)
                count += atlas.pixels[(std::size_t(y) * atlas.width + x) * 4 + 3] > 128;
        return count;
    };
    EXPECT_EQ(inked(fontCell(' ')), 0);
    for (int code = '!'; code <= '~'; ++code) EXPECT_GT(inked(fontCell(code)), 20) << char(code);
    EXPECT_GT(inked(fontMedalCell), 1000);
    EXPECT_EQ(fontTextureRect(fontCell('A')), glm::vec4(1.0f / 16.0f, 2.0f / 6.0f, 1.0f / 16.0f, 1.0f / 6.0f));
}

std::vector<int> glyphsOf(const GlyphRun& run) {
    std::vector<int> out;
    for (std::size_t i = 0; i < run.count; ++i) out.push_back(run.glyphs[i].glyph);
    return out;
}

TEST(HudText, ATimeReadsAsItsDigitsToHundredthsLeftToRightFromTheAnchorKeepingTheirShape) {
    const int p = glyphPoint, d = glyphDash;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct { float seconds; std::vector<int> glyphs; } cases[] = {
        {47.08f, {4, 7, p, 0, 8}}, {5.25f, {5, p, 2, 5}},  {0.0f, {0, p, 0, 0}},
        {9.996f, {1, 0, p, 0, 0}}, {123.4f, {9, 9, p, 9, 9}}, // above 99.99 the clock stays full
        {-1.0f, {d, d, p, d, d}},  {nan, {d, d, p, d, d}},   {inf, {d, d, p, d, d}}, // no time: dashes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(glyphsOf(layoutTime(c.seconds, glm::vec2(0.0f), 0.2f, 1.0f, TextAlign::Left)), c.glyphs)
            << c.seconds;
    }

    // The glyphs run left to right from the anchor and keep their shape on a wide window.
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
        if (i > 0) { EXPECT_GT(g.centre.x, right.glyphs[i - 1].centre.x); }
    }
    const GlyphRun centred = layoutTime(47.08f, anchor, 0.2f, aspect, TextAlign::Centre);
    EXPECT_NEAR(centred.glyphs[0].centre.x - right.glyphs[0].centre.x, right.width * 0.5f, 1e-5f);
}

} // namespace
