// The pause menu's layout over a table of window shapes from 4:1 to 1:4: everything inside the window, nothing on
// top of anything else, each part within its item, the same shape relative to the shorter side, and the hit test
// agreeing with what is drawn. And a course row shows what it should: name, record, medal and medal times.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <glm/geometric.hpp>

#include "core/menu_layout.h"
#include "core/text_layout.h"

namespace {

const glm::vec2 windows[] = {{1600, 400}, {1200, 400}, {1920, 1080}, {1024, 768}, {600, 600},
                             {768, 1024}, {1080, 1920}, {400, 1200}, {400, 1600}, {64, 64}};

std::vector<CourseEntry> sampleCourses(int count) {
    std::vector<CourseEntry> courses(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CourseEntry& c = courses[std::size_t(i)];
        c.course.id = "c" + std::to_string(i);
        c.course.name = i == 1 ? "The Very Long And Winding Descent Past Every Hollow Of The Valley" : "Meadow Run";
        if (i % 3 != 2) { // some courses give no medal times
            c.course.goldSeconds = 25.0f;
            c.course.silverSeconds = 30.0f;
            c.course.bronzeSeconds = 3599.99f; // the widest a time can be
        }
        c.record.has = i % 2 == 0;
        c.record.seconds = i == 0 ? 24.5f : 99.99f;
        c.previewFile = i % 4 == 3 ? "" : "preview.png";
    }
    return courses;
}

bool overlap(const glm::vec2& aMin, const glm::vec2& aMax, const glm::vec2& bMin, const glm::vec2& bMax) {
    const float eps = 1e-5f;
    return aMin.x < bMax.x - eps && bMin.x < aMax.x - eps && aMin.y < bMax.y - eps && bMin.y < aMax.y - eps;
}
bool inside(const glm::vec2& min, const glm::vec2& max, const glm::vec2& outerMin, const glm::vec2& outerMax) {
    const float eps = 1e-5f;
    return min.x >= outerMin.x - eps && min.y >= outerMin.y - eps && max.x <= outerMax.x + eps &&
           max.y <= outerMax.y + eps;
}

// Menus worth checking: the main screen, and the list at its top, scrolled to its end, and with a single course;
// with a course being made, the main screen (with the making line, as the game draws it) and the list.
struct Shown {
    const char* what;
    Menu menu;
    int courses;
};
std::vector<Shown> menus() {
    std::vector<Shown> out;
    Menu main;
    openMenu(main, 6, 1);
    main.mainHighlight = 2;
    out.push_back({"main", main, 6});
    Menu top = main;
    top.screen = MenuScreen::Courses;
    top.courseHighlight = 1;
    out.push_back({"list top", top, 6});
    Menu end = top;
    end.firstRow = 2;
    end.courseHighlight = 6;
    out.push_back({"list end", end, 6});
    Menu one;
    openMenu(one, 1, 0);
    one.screen = MenuScreen::Courses;
    out.push_back({"one course", one, 1});
    MakingShown making;
    making.running = true;
    making.request.seed = 4294967295u; // the widest a seed can be
    making.fraction = 0.42f;
    main.making = making;
    out.push_back({"main, making", main, 6});
    end.making = making;
    end.courseHighlight = newCourseEntry(end);
    out.push_back({"list end, making", end, 6});
    return out;
}

TEST(MenuLayout, EveryPartStaysInsideTheWindowAndItsItemWithoutCoveringAnother) {
    auto layout = std::make_unique<MenuLayout>();
    for (const Shown& shown : menus()) {
        const std::vector<CourseEntry> courses = sampleCourses(shown.courses);
        for (const glm::vec2& size : windows) {
            SCOPED_TRACE(std::string(shown.what) + " in " + std::to_string(int(size.x)) + "x" +
                         std::to_string(int(size.y)));
            layoutMenu(shown.menu, courses, size.x / size.y, *layout);
            if (shown.menu.screen == MenuScreen::Main) layoutMakingLine(shown.menu.making, size.x / size.y, *layout);
            ASSERT_LT(layout->quadCount, maxMenuQuads) << "nothing dropped";
            ASSERT_LT(layout->boxCount, maxMenuBoxes);
            const MenuItems& items = layout->items;
            const std::size_t expectedItems =
                shown.menu.screen == MenuScreen::Main
                    ? std::size_t(mainItemCount)
                    : std::size_t(std::min(visibleCourseRows, shown.courses - shown.menu.firstRow) + 4);
            EXPECT_EQ(items.count, expectedItems);
            for (std::size_t i = 0; i < layout->boxCount; ++i) {
                const MenuBox& a = layout->boxes[i];
                EXPECT_TRUE(inside(a.min, a.max, glm::vec2(-1.0f), glm::vec2(1.0f))) << "box " << i;
                EXPECT_LT(a.min.x, a.max.x);
                EXPECT_LT(a.min.y, a.max.y);
                if (a.part != MenuPart::ItemBox && a.item >= 0) {
                    const MenuItemBox& item = items.items[std::size_t(a.item)];
                    EXPECT_TRUE(inside(a.min, a.max, item.min, item.max)) << "box " << i << " of item " << a.item;
                }
                for (std::size_t j = i + 1; j < layout->boxCount; ++j) {
                    const MenuBox& b = layout->boxes[j];
                    // An item's box lies under its own parts, and only under them.
                    const bool own = (a.part == MenuPart::ItemBox) != (b.part == MenuPart::ItemBox) && a.item == b.item;
                    if (!own) {
                        EXPECT_FALSE(overlap(a.min, a.max, b.min, b.max)) << "boxes " << i << " and " << j;
                    }
                }
            }
            // Every glyph and picture keeps its shape in pixels.
            for (std::size_t q = 1; q < layout->quadCount; ++q) {
                const MenuQuad& quad = layout->quads[q];
                if (quad.texture == MenuTexture::Solid) continue;
                EXPECT_NEAR(quad.size.x * size.x, quad.size.y * size.y, 1e-3f * quad.size.y * size.y);
            }
        }
    }
}

TEST(MenuLayout, KeepsItsShapeRelativeToTheShorterSideAndTheHitTestFindsWhatIsDrawn) {
    for (const Shown& shown : menus()) {
        const MenuItems square = layoutMenuItems(shown.menu, 1.0f);
        for (const glm::vec2& size : windows) {
            SCOPED_TRACE(std::string(shown.what) + " in " + std::to_string(int(size.x)) + "x" +
                         std::to_string(int(size.y)));
            const MenuItems items = layoutMenuItems(shown.menu, size.x / size.y);
            ASSERT_EQ(items.count, square.count);
            const float shorter = std::min(size.x, size.y);
            for (std::size_t i = 0; i < items.count; ++i) {
                const MenuItemBox& b = items.items[i];
                // In pixels over the shorter side, measured from the window's middle: as in a square window.
                const glm::vec2 min = b.min * size * 0.5f / shorter, max = b.max * size * 0.5f / shorter;
                const glm::vec2 squareMin = square.items[i].min * 0.5f, squareMax = square.items[i].max * 0.5f;
                EXPECT_LT(glm::distance(min, squareMin) + glm::distance(max, squareMax), 1e-5f);
                // The middle pixel of each item hits it; so do pixels just inside its corners.
                const auto pixel = [&size](glm::vec2 d) {
                    return glm::vec2((d.x + 1.0f) * 0.5f * size.x, (1.0f - d.y) * 0.5f * size.y);
                };
                EXPECT_EQ(hitMenuItem(items, pixel((b.min + b.max) * 0.5f), size), int(i));
                EXPECT_EQ(hitMenuItem(items, pixel(b.min) + glm::vec2(0.5f, -0.5f), size), int(i));
                EXPECT_EQ(hitMenuItem(items, pixel(b.max) + glm::vec2(-0.5f, 0.5f), size), int(i));
            }
            // The window's top-left corner is above every item.
            EXPECT_EQ(hitMenuItem(items, glm::vec2(0.5f, 0.5f), size), -1);
        }
    }
    Menu menu;
    openMenu(menu, 2, 0);
    EXPECT_EQ(hitMenuItem(layoutMenuItems(menu, 1.0f), glm::vec2(300.0f), glm::vec2(0.0f)), -1) << "no window";
}

// The font quads of a layout read back as text; a medal disc reads as '*'.
std::string textOf(const MenuLayout& layout) {
    std::string s;
    for (std::size_t i = 0; i < layout.quadCount; ++i) {
        const MenuQuad& q = layout.quads[i];
        if (q.texture != MenuTexture::Font) continue;
        for (int cell = 0; cell < fontCellCount; ++cell) {
            if (fontTextureRect(cell) == q.uv) s += cell == fontMedalCell ? '*' : char(cell + fontFirstCode);
        }
    }
    return s;
}

TEST(MenuLayout, ACourseRowShowsItsPictureNameRecordMedalAndMedalTimes) {
    std::vector<CourseEntry> courses = sampleCourses(4);
    Menu menu;
    openMenu(menu, 4, 0);
    menu.screen = MenuScreen::Courses;
    auto layout = std::make_unique<MenuLayout>();
    layoutMenu(menu, courses, 16.0f / 9.0f, *layout);
    const std::string text = textOf(*layout);
    // A record of 24.50 against gold 25 earns gold; a course without a record says so; a course without medal
    // times shows none; a name too long for the row ends in dots.
    EXPECT_NE(text.find("Meadow RunBest 24.50**25.00*30.00*3599.99"), std::string::npos) << text;
    EXPECT_NE(text.find("No record yet*25.00"), std::string::npos) << text;
    EXPECT_NE(text.find("No medal times"), std::string::npos) << text;
    EXPECT_NE(text.find("...No record"), std::string::npos) << text;
    EXPECT_NE(text.find("COURSES1 / 4"), std::string::npos) << text;

    int pictures = 0;
    std::vector<glm::vec4> discs;
    for (std::size_t i = 0; i < layout->quadCount; ++i) {
        const MenuQuad& q = layout->quads[i];
        if (q.texture == MenuTexture::Picture) {
            EXPECT_TRUE(q.picture == 0 || q.picture == 1 || q.picture == 2) << "course 3 has no picture";
            ++pictures;
        }
        if (q.texture == MenuTexture::Font && q.uv == fontTextureRect(fontMedalCell)) discs.push_back(q.colour);
    }
    EXPECT_EQ(pictures, 3);
    // Row 0: the record's medal, then gold, silver and bronze; rows 1 and 3 the three times alone.
    ASSERT_EQ(discs.size(), 10u);
    const glm::vec4 gold = discs[1], silver = discs[2], bronze = discs[3];
    EXPECT_EQ(discs[0], gold);
    EXPECT_NE(gold, silver);
    EXPECT_NE(silver, bronze);
    EXPECT_NE(gold, bronze);
    EXPECT_EQ(std::vector<glm::vec4>(discs.begin() + 4, discs.end()),
              (std::vector<glm::vec4>{gold, silver, bronze, gold, silver, bronze}));
    courses[0].record.seconds = 28.0f;
    layoutMenu(menu, courses, 16.0f / 9.0f, *layout);
    EXPECT_NE(textOf(*layout).find("Best 28.00*"), std::string::npos);
    const MenuQuad* firstDisc = std::find_if(layout->quads.data(), layout->quads.data() + layout->quadCount,
                                             [](const MenuQuad& q) { return q.uv == fontTextureRect(fontMedalCell); });
    EXPECT_EQ(firstDisc->colour, silver) << "a slower record earns silver";

    // Opening on the main screen and closing lays out nothing of the list.
    openMenu(menu, 4, 0);
    layoutMenu(menu, courses, 1.0f, *layout);
    EXPECT_EQ(textOf(*layout), "PAUSEDResumeRestartCoursesQuit");
    menu.screen = MenuScreen::Closed;
    layoutMenu(menu, courses, 1.0f, *layout);
    EXPECT_EQ(layout->quadCount, 0u);
    EXPECT_EQ(layout->items.count, 0u);
}

TEST(MenuLayout, TheItemsBelowTheListSayWhatTheyDoAndShowAMaking) {
    const std::vector<CourseEntry> courses = sampleCourses(2);
    Menu menu;
    openMenu(menu, 2, 0);
    menu.screen = MenuScreen::Courses;
    menu.dailySeed = 20250614;
    menu.newCourseDifficulty = Difficulty::Hard;
    auto layout = std::make_unique<MenuLayout>();
    layoutMenu(menu, courses, 1.0f, *layout);
    EXPECT_NE(textOf(*layout).find("New course< hard >Daily course 2025-06-14Back"), std::string::npos)
        << textOf(*layout);

    menu.making.running = true;
    menu.making.request.seed = 123;
    menu.making.fraction = 0.426f;
    layoutMenu(menu, courses, 1.0f, *layout);
    EXPECT_NE(textOf(*layout).find("Making seed 12342%Daily course"), std::string::npos) << textOf(*layout);
    // How far the layout's one bar is filled: the solid quads on its left edge and of its height are the bar, then
    // its fill when there is one.
    const auto filled = [&layout]() {
        const MenuBox *begin = layout->boxes.data(), *end = begin + layout->boxCount;
        const auto isBar = [](const MenuBox& b) { return b.part == MenuPart::Bar; };
        const MenuBox* bar = std::find_if(begin, end, isBar);
        EXPECT_NE(bar, end);
        EXPECT_EQ(bar == end ? end : std::find_if(bar + 1, end, isBar), end) << "one bar";
        std::vector<float> widths;
        for (std::size_t i = 0; bar != end && i < layout->quadCount; ++i) {
            const MenuQuad& q = layout->quads[i];
            if (q.texture == MenuTexture::Solid && std::abs(q.centre.x - q.size.x * 0.5f - bar->min.x) < 1e-6f &&
                std::abs(q.size.y - (bar->max.y - bar->min.y)) < 1e-6f) {
                widths.push_back(q.size.x);
            }
        }
        return widths.size() == 2 ? widths[1] / widths[0] : 0.0f;
    };
    EXPECT_NEAR(filled(), 0.426f, 1e-4f) << "filled as far as the making";

    // The line elsewhere: what is made and how far, clamped, and nothing once it is done.
    struct Case {
        float fraction;
        const char* shown;
        float filled;
    };
    for (const Case& c : {Case{0.999f, "99%", 0.999f}, Case{1.7f, "100%", 1.0f}, Case{std::nanf(""), "0%", 0.0f}}) {
        menu.making.fraction = c.fraction;
        menu.making.request.difficulty = Difficulty::Easy;
        layout->quadCount = layout->boxCount = 0;
        layoutMakingLine(menu.making, 1.0f, *layout);
        EXPECT_EQ(textOf(*layout), "Making course seed 123 (easy)... " + std::string(c.shown));
        EXPECT_NEAR(filled(), c.filled, 1e-4f) << c.shown;
    }
    // At the bottom it keeps its distance from the bottom edge, in the shorter side's units, at any window shape.
    menu.making.fraction = 0.5f;
    // How far up from the bottom edge each box's lower edge is, in the shorter side's units.
    const auto heights = [&](glm::vec2 size, MakingPlace place) {
        layout->quadCount = layout->boxCount = 0;
        layoutMakingLine(menu.making, size.x / size.y, *layout, place);
        std::vector<float> up;
        for (std::size_t i = 0; i < layout->boxCount; ++i) {
            up.push_back((layout->boxes[i].min.y + 1.0f) * 0.5f * size.y / std::min(size.x, size.y));
        }
        return up;
    };
    const std::vector<float> square = heights(glm::vec2(500.0f), MakingPlace::Bottom);
    ASSERT_EQ(square.size(), 2u);
    EXPECT_LT(std::max(square[0], square[1]), 0.15f) << "near the bottom, below the race's messages";
    for (const glm::vec2& size : windows) {
        for (MakingPlace place : {MakingPlace::Bottom, MakingPlace::Middle}) {
            const std::vector<float> up = heights(size, place);
            ASSERT_EQ(layout->boxCount, 2u);
            for (std::size_t i = 0; i < 2; ++i) {
                const MenuBox& b = layout->boxes[i];
                EXPECT_TRUE(inside(b.min, b.max, glm::vec2(-1.0f), glm::vec2(1.0f)));
                if (place == MakingPlace::Bottom) {
                    EXPECT_NEAR(up[i], square[i], 1e-4f) << size.x << "x" << size.y;
                }
            }
            const MenuBox &text = layout->boxes[0], &bar = layout->boxes[1];
            EXPECT_FALSE(overlap(text.min, text.max, bar.min, bar.max));
        }
    }
    menu.making.running = false;
    layout->quadCount = 0;
    layoutMakingLine(menu.making, 1.0f, *layout);
    EXPECT_EQ(layout->quadCount, 0u);
}

} // namespace
