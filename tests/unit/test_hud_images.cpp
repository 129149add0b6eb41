// The shipped HUD sprites: the formats their loaders need, clean transparent margins, and a gauge whose needle
// and dial match the places the HUD layout draws them.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <glm/geometric.hpp>
#include <gtest/gtest.h>
#include <stb_image.h>

#include "app/race_state.h"
#include "effects/hud_layout.h"
#include "effects/hud_text.h"

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<unsigned char> pixels;

    bool loaded() const { return width > 0; }
    int alpha(int x, int y) const {
        return channels == 4 ? pixels[(static_cast<std::size_t>(y) * width + x) * 4 + 3] : 255;
    }
};

Picture load(const std::string& name) {
    Picture p;
    std::string path = std::string(KELVARA_DATA_DIR) + "/UserInterface/" + name;
    unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &p.channels, 0);
    if (data != nullptr) {
        p.pixels.assign(data, data + static_cast<std::size_t>(p.width) * p.height * p.channels);
        stbi_image_free(data);
    }
    return p;
}

glm::vec2 place(const glm::mat4& model, float x, float y) {
    glm::vec4 p = model * glm::vec4(x, y, 0.0f, 1.0f);
    return glm::vec2(p.x, p.y);
}

const HudDraw& drawOf(const HudLayout& layout, HudSprite sprite) {
    for (std::size_t i = 0; i < layout.count; ++i) {
        if (layout.draws[i].sprite == sprite) {
            return layout.draws[i];
        }
    }
    static HudDraw none{sprite, glm::mat4(0.0f), 0.0f};
    return none;
}

} // namespace

TEST(HudSprites, EveryFileHasTheChannelsItsLoaderNeeds) {
    const char* rgba[] = {"getready.png", "letroll.png", "youwon.png", "youlost.png", "time.png",
                          "boost_gauge.png", "boost_gauge_pointer.png", "boost.png", "digits.png", "best.png",
                          "newrecord.png"};
    for (const char* name : rgba) {
        Picture p = load(name);
        ASSERT_TRUE(p.loaded()) << name;
        EXPECT_EQ(p.channels, 4) << name;
        EXPECT_EQ(p.width * p.channels % 4, 0) << name << ": rows must fill whole 4-byte words";
    }
    // Loaded as plain RGB: a fourth channel would shift every row.
    for (const char* name : {"timeP.png", "boostP.png"}) {
        Picture p = load(name);
        ASSERT_TRUE(p.loaded()) << name;
        EXPECT_EQ(p.channels, 3) << name;
        EXPECT_EQ(p.width * p.channels % 4, 0) << name;
        EXPECT_GT(p.height, p.width) << name << " is a standing bar";
    }
}

TEST(HudSprites, BannersHaveTransparentMarginsAndSolidLetteringInTheMiddle) {
    for (const char* name : {"getready.png", "letroll.png", "youwon.png", "youlost.png"}) {
        Picture p = load(name);
        ASSERT_TRUE(p.loaded()) << name;
        EXPECT_EQ(p.width, p.height) << name << " is drawn square";
        const int margin = p.width / 32;
        int opaqueInMargin = 0;
        int left = p.width;
        int right = -1;
        int top = p.height;
        int bottom = -1;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                bool inMargin = x < margin || y < margin || x >= p.width - margin || y >= p.height - margin;
                if (inMargin && p.alpha(x, y) > 0) {
                    ++opaqueInMargin;
                }
                if (p.alpha(x, y) == 255) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_EQ(opaqueInMargin, 0) << name;
        EXPECT_GT(right - left, p.width * 3 / 4) << name << ": lettering fills the width";
        EXPECT_NEAR((left + right) * 0.5, p.width * 0.5, p.width * 0.05) << name;
        EXPECT_NEAR((top + bottom) * 0.5, p.height * 0.5, p.height * 0.05) << name;
    }
}

TEST(HudSprites, GaugeNeedlePointsWithItsTipAtTheImagesLeftEnd) {
    Picture needle = load("boost_gauge_pointer.png");
    ASSERT_TRUE(needle.loaded());
    // The HUD stretches the pointer image over its quad; the quad's left edge is the end far from the pivot.
    RaceState race;
    race.phase = RacePhase::Rolling;
    race.boost = 0.0f;
    FrameClock clock;
    clock.totalTime = 10.0f;
    HudLayout layout = layoutHud(race, clock);
    const HudDraw& pointer = drawOf(layout, HudSprite::GaugePointer);
    glm::vec2 pivot(-0.7f, -0.78f);
    ASSERT_GT(glm::length(place(pointer.model, -0.5f, 0.0f) - pivot),
              glm::length(place(pointer.model, 0.5f, 0.0f) - pivot));

    auto solidRows = [&](int x) {
        int rows = 0;
        for (int y = 0; y < needle.height; ++y) {
            rows += needle.alpha(x, y) > 128 ? 1 : 0;
        }
        return rows;
    };
    int tipColumn = needle.width / 20;
    int baseColumn = needle.width - needle.width / 10;
    EXPECT_GT(solidRows(tipColumn), 0) << "the needle reaches the left end";
    EXPECT_GT(solidRows(baseColumn), 3 * solidRows(tipColumn)) << "and is thick at its base, thin at the tip";
    EXPECT_EQ(needle.alpha(0, 0), 0);
    EXPECT_EQ(needle.alpha(needle.width - 1, needle.height - 1), 0);
}

TEST(HudSprites, GaugeDialHasItsHubWhereTheNeedleTurns) {
    Picture dial = load("boost_gauge.png");
    ASSERT_TRUE(dial.loaded());
    RaceState race;
    race.phase = RacePhase::Rolling;
    FrameClock clock;
    clock.totalTime = 10.0f;
    HudLayout layout = layoutHud(race, clock);
    const HudDraw& dialDraw = drawOf(layout, HudSprite::GaugeDial);
    // The pivot in dial image coordinates (v runs down from the top edge).
    glm::mat4 toImage = glm::inverse(dialDraw.model);
    glm::vec4 q = toImage * glm::vec4(-0.7f, -0.78f, 0.0f, 1.0f);
    int px = static_cast<int>((q.x + 0.5f) * dial.width);
    int py = static_cast<int>((0.5f - q.y) * dial.height);
    ASSERT_GT(py, dial.height / 2) << "the pivot sits below the dial's centre";

    // A metal hub: opaque and brighter than the dark face, all round the pivot, out to the needle's inner end.
    auto brightness = [&](int x, int y) {
        const unsigned char* c = &dial.pixels[(static_cast<std::size_t>(y) * dial.width + x) * 4];
        return c[0] + c[1] + c[2];
    };
    int hubEdge = static_cast<int>(0.03f / 0.5f * dial.width); // inside the needle's start at 0.0375
    for (int k = 0; k < 8; ++k) {
        double angle = k * 3.14159265 / 4.0 + 0.2;
        int x = px + static_cast<int>(hubEdge * std::cos(angle));
        int y = py + static_cast<int>(hubEdge * std::sin(angle));
        EXPECT_EQ(dial.alpha(x, y), 255);
        EXPECT_GT(brightness(x, y), 300) << "direction " << k;
    }
    EXPECT_EQ(dial.alpha(0, 0), 0) << "a round dial leaves its corners clear";
    EXPECT_EQ(dial.alpha(dial.width / 2, dial.height / 2), 255);
}

TEST(HudSprites, DigitAtlasCellsStayApartAndItsDigitsFitTheirSteps) {
    Picture atlas = load("digits.png");
    ASSERT_TRUE(atlas.loaded());
    ASSERT_EQ(atlas.width, glyphCellWidth * glyphCellCount);
    ASSERT_EQ(atlas.height, glyphCellHeight);
    // A clear gutter at every cell's sides, so sampling (and the mipmaps) of one glyph never shows its neighbour.
    const int gutter = 4;
    for (int cell = 0; cell < glyphCellCount; ++cell) {
        int covered = 0;
        int solidLeft = glyphCellWidth;
        int solidRight = -1;
        for (int y = 0; y < atlas.height; ++y) {
            for (int x = 0; x < glyphCellWidth; ++x) {
                const int a = atlas.alpha(cell * glyphCellWidth + x, y);
                if (x < gutter || x >= glyphCellWidth - gutter) {
                    covered += a > 0 ? 1 : 0;
                }
                if (a == 255) {
                    solidLeft = std::min(solidLeft, x);
                    solidRight = std::max(solidRight, x);
                }
            }
        }
        EXPECT_EQ(covered, 0) << "cell " << cell;
        ASSERT_GE(solidRight, solidLeft) << "cell " << cell << " is empty";
        const float step = (cell == glyphPoint ? pointAdvance : digitAdvance) * static_cast<float>(glyphCellWidth);
        EXPECT_LE(static_cast<float>(solidRight - solidLeft + 1), step) << "cell " << cell << " overlaps its neighbours";
        EXPECT_NEAR((solidLeft + solidRight) * 0.5, glyphCellWidth * 0.5, 3.0) << "cell " << cell << " is centred";
    }
}
