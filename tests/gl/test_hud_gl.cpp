// The HUD and the menu drawn through a real context. In each race phase the middle of the screen shows that phase's
// message, the right way up, and no other; the race clock and the record show their digits where the layout puts
// them. In the menu, plain quads show their colour, pictures their image, glyphs the font atlas tinted, a course
// without a picture a dim square, and an open menu dims the frame under it by its backdrop.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/course_list.h"
#include "core/hud_text.h"
#include "core/medals.h"
#include "core/menu.h"
#include "core/menu_layout.h"
#include "core/text_layout.h"
#include "gl/composite.h"
#include "gl/hud.h"
#include "gl/menu_draw.h"
#include "tests/support/gl_pass.h"

namespace {

const char* const messages[] = {"getready.png", "letroll.png", "youwon.png", "youlost.png"};

class Hud : public GlPass {
protected:
    // Sets the program's brightness and contrast from the settings, as in every frame.
    Hud() { renderComposite(renderer, flags, size, size, false); }

    std::vector<glm::vec4> drawHud() {
        drawIntoTarget();
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_CULL_FACE); // as the passes before it leave the state
        renderHud(renderer, *race, size, size);
        glDisable(GL_CULL_FACE);
        return readAll();
    }

    // Mean difference (0..1 per channel) over the target's pixels (x0, y0) to (x1, y1) between what is shown and the
    // picture's texel rectangle (x, y from its top-left, width, height) drawn at the given opacity over black on the
    // quad from low to high (device coordinates): each pixel expects the texels under its footprint averaged.
    static double differenceFrom(const std::vector<glm::vec4>& shown, glm::ivec4 pixels, const Picture& picture,
                                 glm::vec4 texels, glm::vec2 low, glm::vec2 high, float opacity) {
        // The texels a stretch of pixels covers along one axis, at least one while it lies on the quad.
        auto span = [](float from, float to, float first, float count) {
            const int a = int(first + std::max(from, 0.0f) * count), b = int(first + std::min(to, 1.0f) * count);
            return glm::ivec2(a, from < 1.0f && to > 0.0f ? std::max(b, a + 1) : a);
        };
        double total = 0.0;
        for (int py = pixels.y; py < pixels.w; ++py) {
            for (int px = pixels.x; px < pixels.z; ++px) {
                const glm::vec2 p0 = (glm::vec2(px, py) * (2.0f / size) - 1.0f - low) / (high - low);
                const glm::vec2 p1 = (glm::vec2(px + 1, py + 1) * (2.0f / size) - 1.0f - low) / (high - low);
                const glm::ivec2 xs = span(p0.x, p1.x, texels.x, texels.z), ys = span(1 - p1.y, 1 - p0.y, texels.y, texels.w);
                glm::vec3 expected(0.0f);
                for (int y = ys.x; y < ys.y; ++y)
                    for (int x = xs.x; x < xs.y; ++x) {
                        const unsigned char* t = picture.at(x, y);
                        expected += glm::vec3(t[0], t[1], t[2]) * (t[3] / 255.0f * opacity / 255.0f);
                    }
                expected /= float(std::max((xs.y - xs.x) * (ys.y - ys.x), 1));
                const glm::vec3 c = shown[std::size_t(py) * size + px];
                total += (std::fabs(c.r - expected.r) + std::fabs(c.g - expected.g) + std::fabs(c.b - expected.b)) / 3.0;
            }
        }
        return total / double((pixels.z - pixels.x) * (pixels.w - pixels.y));
    }

    // Which atlas cell the target shows where the glyph is drawn: the one that differs least.
    static int shownGlyph(const std::vector<glm::vec4>& shown, const Picture& atlas, const GlyphDraw& glyph) {
        const glm::vec2 low = glyph.centre - glyph.size * 0.5f, high = glyph.centre + glyph.size * 0.5f;
        const glm::ivec4 inside(glm::ceil((low + 1.0f) * (size / 2.0f)), (high + 1.0f) * (size / 2.0f));
        int best = -1;
        double bestDifference = 1e9;
        for (int cell = 0; cell < glyphCellCount; ++cell) {
            const glm::vec4 texels(cell * glyphCellWidth, 0, glyphCellWidth, atlas.height);
            const double d = differenceFrom(shown, inside, atlas, texels, low, high, 1.0f);
            if (d < bestDifference) best = cell, bestDifference = d;
        }
        return best;
    }
};

TEST_F(Hud, EachRacePhaseShowsItsOwnMessageTheRightWayUp) {
    // message: an index into messages, -1 for none.
    struct Case { RacePhase phase; float sinceReset; int message; float scale, opacity; };
    const Case cases[] = {
        {RacePhase::GetReady, 1.0f, 0, 0.7f, 1.0f}, {RacePhase::Rolling, 2.5f, 1, 1.0f, 0.5f},
        {RacePhase::Won, 30.0f, 2, 1.0f, 1.0f},     {RacePhase::Lost, 30.0f, 3, 1.0f, 1.0f},
        {RacePhase::Rolling, 8.0f, -1, 1.0f, 0.0f},
    };
    Picture pictures[4];
    for (int i = 0; i < 4; ++i) pictures[i] = loadPicture(dataFile(std::string("UserInterface/") + messages[i]), 4);
    const int from = size * 13 / 40, to = size - from; // device coordinates -0.35..0.35
    for (const Case& c : cases) {
        race->state.phase = c.phase;
        race->state.raceStart = 10.0f;
        race->clock.totalTime = 10.0f + c.sinceReset;
        const std::vector<glm::vec4> shown = drawHud();
        const std::string what = "phase " + std::to_string(int(c.phase)) + " at " + std::to_string(c.sinceReset) + " s";
        for (int i = 0; i < 4; ++i) {
            const glm::vec4 whole(0, 0, pictures[i].width, pictures[i].height);
            const double difference = differenceFrom(shown, {from, from, to, to}, pictures[i], whole,
                                                      glm::vec2(-c.scale / 2), glm::vec2(c.scale / 2),
                                                      c.message < 0 ? 0.0f : c.opacity);
            if (i == c.message || c.message < 0) {
                EXPECT_LT(difference, 0.03) << what << ": " << messages[i];
            } else {
                EXPECT_GT(difference, 0.05) << what << ": " << messages[i] << " instead";
            }
        }
    }
}

TEST_F(Hud, TheRaceClockAndTheRecordShowTheirDigitsInTheirPlaces) {
    const Picture atlas = loadPicture(dataFile("UserInterface/digits.png"), 4);
    ASSERT_TRUE(atlas.loaded());
    race->state.phase = RacePhase::Rolling;
    race->state.raceStart = 10.0f;
    race->clock.totalTime = 60.0f; // long after the start messages
    race->state.raceClock = 47.08f;
    race->records.best = CourseRecord{true, 45.31f, ""};
    const std::vector<glm::vec4> shown = drawHud();

    const ClockLayout clock = layoutClock(47.08f, 45.31f, false, 1.0f);
    const int raceDigits[] = {4, 7, glyphPoint, 0, 8}, bestDigits[] = {4, 5, glyphPoint, 3, 1};
    ASSERT_EQ(clock.raceTime.count, 5u);
    ASSERT_EQ(clock.bestTime.count, 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(shownGlyph(shown, atlas, clock.raceTime.glyphs[i]), raceDigits[i]) << "race clock, glyph " << i;
        EXPECT_EQ(shownGlyph(shown, atlas, clock.bestTime.glyphs[i]), bestDigits[i]) << "record, glyph " << i;
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
    race->state.phase = RacePhase::Rolling;
    race->state.raceStart = 10.0f;
    race->state.raceClock = 8.0f;
    race->state.hasSplit = true;
    race->state.splitAt = 59.0f;
    auto draw = [&](long hundredths, float now) {
        race->state.splitHundredths = hundredths;
        race->clock.totalTime = now;
        const SplitLayout split = layoutSplit(hundredths, 1.0f);
        const GlyphDraw &first = split.glyphs[0], &last = split.glyphs[split.count - 1];
        return colourIn(drawHud(), first.centre - first.size * 0.5f, last.centre + last.size * 0.5f, size);
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
    const std::vector<glm::vec4> shown = drawHud();
    const MedalLayout medal = layoutMedal(int(Medal::Gold), 1.0f);
    ASSERT_TRUE(medal.shown);
    const glm::vec4 low = medal.sprite * glm::vec4(-0.5f, -0.5f, 0.0f, 1.0f);
    const glm::vec4 high = medal.sprite * glm::vec4(0.5f, 0.5f, 0.0f, 1.0f);
    const glm::vec3 gold = colourIn(shown, glm::vec2(low), glm::vec2(high), size);
    EXPECT_GT(gold.r, 2.0f) << "the medal is drawn";
    EXPECT_GT(gold.r, 1.5f * gold.b) << "in gold";
}

class MenuPass : public GlPass {
protected:
    MenuPass() {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        EXPECT_TRUE(startMenuGpu(renderer.menu));
        courses.resize(2);
        courses[0].previewFile = dataFile("Courses/canyon/preview.png");
        loadMenuPictures(renderer.menu, courses); // the second course has no picture
    }
    ~MenuPass() override { releaseMenuGpu(renderer.menu); }

    void draw() {
        drawIntoTarget();
        renderMenu(renderer, layout, size, size);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer); // renderMenu draws into what is bound
    }
    // Pixel (x, y) from the top-left corner.
    glm::vec4 at(const std::vector<glm::vec4>& shown, int x, int y) const {
        return shown[std::size_t(size - 1 - y) * size + std::size_t(x)];
    }

    std::vector<CourseEntry> courses;
    MenuLayout layout;
};

TEST_F(MenuPass, QuadsShowTheirColourPictureAndGlyphsAndAnOpenMenuDimsTheFrameUnderIt) {
    const glm::vec4 whole(0, 0, 1, 1);
    // Top-left quarter solid red; top-right the first course's picture; bottom-left the second's missing one; bottom
    // right the medal disc tinted gold.
    layout.quads[0] = MenuQuad{MenuTexture::Solid, -1, glm::vec2(-0.5f, 0.5f), glm::vec2(1.0f), whole, glm::vec4(1, 0, 0, 1)};
    layout.quads[1] = MenuQuad{MenuTexture::Picture, 0, glm::vec2(0.5f, 0.5f), glm::vec2(1.0f), whole, glm::vec4(1.0f)};
    layout.quads[2] =
        MenuQuad{MenuTexture::Picture, 1, glm::vec2(-0.5f), glm::vec2(1.0f), whole, glm::vec4(glm::vec3(0.8f), 1.0f)};
    layout.quads[3] = MenuQuad{MenuTexture::Font, -1, glm::vec2(0.5f, -0.5f), glm::vec2(1.0f),
                               fontTextureRect(fontMedalCell), glm::vec4(1.0f, 0.8f, 0.1f, 1.0f)};
    layout.quadCount = 4;
    draw();
    const std::vector<glm::vec4> shown = readAll();

    const glm::vec4 solid = at(shown, size / 4, size / 4);
    EXPECT_NEAR(solid.r, 1.0f, 0.01f);
    EXPECT_NEAR(solid.g, 0.0f, 0.01f);

    // The picture's middle as the file holds it.
    const Picture picture = loadPicture(courses[0].previewFile, 4);
    ASSERT_TRUE(picture.loaded());
    const unsigned char* middle = picture.at(picture.width / 2, picture.height / 2);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(at(shown, size * 3 / 4, size / 4)[c], middle[c] / 255.0f, 0.12f) << "channel " << c;

    // No picture: a dim square of the quad's own colour, neither black nor full.
    const glm::vec4 none = at(shown, size / 4, size * 3 / 4);
    EXPECT_GT(none.r, 0.05f);
    EXPECT_LT(none.r, 0.5f);

    // The medal disc: its middle is inked and tinted gold (more red than blue).
    const glm::vec4 disc = at(shown, size * 3 / 4, size * 3 / 4);
    EXPECT_GT(disc.r, 0.3f);
    EXPECT_GT(disc.r, disc.b * 2.0f);
    // Around it, the atlas cell is clear: the black target shows through.
    const glm::vec4 clear = at(shown, size / 2 + 2, size - 3);
    EXPECT_LT(clear.r + clear.g + clear.b, 0.05f);

    // An open menu dims the frame under it.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Menu menu;
    openMenu(menu, int(courses.size()), 0);
    layoutMenu(menu, courses, 1.0f, layout);
    ASSERT_GT(layout.quadCount, 10u);
    draw();
    const glm::vec4 corner = at(readAll(), 1, size - 2);
    EXPECT_LT(corner.r, 0.7f) << "the backdrop dims white";
    EXPECT_GT(corner.r, 0.2f) << "the race still shows through";
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
}

} // namespace
