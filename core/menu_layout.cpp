// Where the pause menu's items, text, pictures and medals go at any window shape, and which item a cursor is over.
#include "core/menu_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/text_layout.h"

namespace {

// Laid out in a square of -1..1 on both axes, then fitted into the window by its shorter side.
constexpr float titleY = 0.55f, titleCell = 0.30f;
constexpr float mainFirstY = 0.20f, mainStep = 0.28f, mainCell = 0.17f;
constexpr glm::vec2 mainHalf(0.50f, 0.11f);
constexpr float listTitleY = 0.80f, listTitleCell = 0.20f, counterCell = 0.12f;
constexpr float rowFirstY = 0.55f, rowStep = 0.31f, rowHalfHeight = 0.15f;
constexpr float rowLeft = -0.96f, rowRight = 0.96f;
constexpr float pictureLeft = -0.92f, pictureSide = 0.28f;
constexpr float markerLeft = -0.955f, markerWidth = 0.02f, markerHalfHeight = 0.13f;
constexpr float textLeft = -0.58f, textRight = 0.92f;
constexpr float nameOffset = 0.09f, nameCell = 0.13f, nameMinScale = 0.7f;
constexpr float bestOffset = -0.005f, medalsOffset = -0.10f, detailCell = 0.10f;
constexpr float medalGroupStep = 0.50f, medalTimeWidth = 0.42f, medalGap = 0.015f;
// Below the list: New course (its name and its difficulty side by side), Daily course, then Back.
constexpr float newCourseY = -0.61f, dailyY = -0.765f, makeHalfHeight = 0.065f, makeCell = 0.10f;
constexpr float makeLeft = -0.62f, makeRight = 0.62f, newNameRight = 0.08f, difficultyLeft = 0.12f;
constexpr float barLeft = 0.16f, barRight = 0.40f, barHalfHeight = 0.02f, percentRight = 0.58f;
constexpr float backY = -0.915f, backCell = 0.12f;
constexpr glm::vec2 backHalf(0.30f, 0.06f);
constexpr float sideMargin = 0.94f; // title and counter stay this far from the middle

constexpr glm::vec4 white(1.0f), highlightText(1.0f, 0.84f, 0.38f, 1.0f), titleColour(0.51f, 0.91f, 1.0f, 1.0f);
constexpr glm::vec4 dimText(0.75f, 0.78f, 0.85f, 1.0f);
constexpr glm::vec4 backdropColour(0.02f, 0.03f, 0.08f, 0.6f);
constexpr glm::vec4 boxColour(0.05f, 0.07f, 0.15f, 0.55f), highlightBoxColour(0.16f, 0.24f, 0.45f, 0.9f);
constexpr glm::vec4 noPictureColour(0.10f, 0.12f, 0.20f, 1.0f), barColour = noPictureColour;
constexpr glm::vec4 goldTint(1.0f, 0.78f, 0.18f, 1.0f), silverTint(0.78f, 0.82f, 0.88f, 1.0f),
    bronzeTint(0.80f, 0.49f, 0.24f, 1.0f);

const char* const mainLabels[mainItemCount] = {"Resume", "Restart", "Courses", "Quit"};

// The making line, in the shorter side's units: its text's middle and its bar's from the bottom edge (Bottom) or the
// window's middle (Middle), the text's cell and the half widths; Bottom has a backdrop for the race behind it.
struct MakingShape {
    float textY, cell, halfWidth, barY, barHalfWidth, barHalfHeight, backdropBelow, backdropAbove;
};
constexpr MakingShape bottomMaking{0.20f, 0.07f, 0.40f, 0.11f, 0.30f, 0.0125f, 0.06f, 0.26f};
constexpr MakingShape middleMaking{0.08f, 0.12f, 0.90f, -0.10f, 0.50f, 0.02f, 0.0f, 0.0f};
constexpr glm::vec4 makingBackdrop(0.02f, 0.03f, 0.08f, 0.6f);

int percentOf(float fraction) {
    return std::isfinite(fraction) ? std::clamp(int(fraction * 100.0f), 0, 100) : 0;
}

// Square units to device coordinates: the square is as large as the shorter side.
struct Fit {
    float ex = 1.0f, ey = 1.0f, aspect = 1.0f;
    explicit Fit(float a) {
        aspect = a > 0.0f && std::isfinite(a) ? a : 1.0f;
        ex = std::min(1.0f, 1.0f / aspect);
        ey = std::min(1.0f, aspect);
    }
    glm::vec2 point(glm::vec2 p) const { return glm::vec2(p.x * ex, p.y * ey); }
};

MenuItemBox itemBox(const Fit& fit, MenuItemKind kind, int index, glm::vec2 centre, glm::vec2 half) {
    return MenuItemBox{kind, index, fit.point(centre - half), fit.point(centre + half)};
}

float rowY(int row) { return rowFirstY - rowStep * float(row); }

glm::vec4 medalTint(Medal medal) {
    return medal == Medal::Gold ? goldTint : medal == Medal::Silver ? silverTint : bronzeTint;
}

// Appends quads and boxes, dropping what no longer fits (which a test would catch long before a player could).
struct Writer {
    MenuLayout& out;
    const Fit& fit;

    void quad(const MenuQuad& q) {
        if (out.quadCount < out.quads.size()) out.quads[out.quadCount++] = q;
    }
    void box(MenuPart part, int item, glm::vec2 min, glm::vec2 max) {
        if (out.boxCount < out.boxes.size()) out.boxes[out.boxCount++] = MenuBox{part, item, min, max};
    }
    void solid(MenuPart part, int item, glm::vec2 min, glm::vec2 max, const glm::vec4& colour) {
        quad(MenuQuad{MenuTexture::Solid, -1, (min + max) * 0.5f, max - min, glm::vec4(0.0f, 0.0f, 1.0f, 1.0f),
                      colour});
        box(part, item, min, max);
    }
    // Text in square units; returns the right end of the run in square units.
    float text(MenuPart part, int item, const char* s, glm::vec2 anchor, float cell, TextAlign align, float maxWidth,
               float minScale, const glm::vec4& colour) {
        std::array<GlyphDraw, 96> glyphs;
        const glm::vec2 a = fit.point(anchor);
        const TextFit run = layoutText(s, a, cell * fit.ey, fit.aspect, align, maxWidth * fit.ex, minScale,
                                       glyphs.data(), glyphs.size());
        for (std::size_t i = 0; i < run.count; ++i) {
            quad(MenuQuad{MenuTexture::Font, -1, glyphs[i].centre, glyphs[i].size, fontTextureRect(glyphs[i].glyph),
                          colour});
        }
        const float left = align == TextAlign::Left ? a.x : align == TextAlign::Centre ? a.x - run.width * 0.5f
                                                                                        : a.x - run.width;
        const float h = cell * fit.ey * run.scale;
        if (run.count > 0) {
            box(part, item, glm::vec2(left, a.y - fontInkBelow * h), glm::vec2(left + run.width, a.y + fontInkAbove * h));
        }
        return (left + run.width) / fit.ex;
    }
    // A bar filled from the left by fraction, between device corners min and max; the fill is part of the bar.
    void bar(int item, glm::vec2 min, glm::vec2 max, float fraction) {
        solid(MenuPart::Bar, item, min, max, barColour);
        const float filled = std::isfinite(fraction) ? std::clamp(fraction, 0.0f, 1.0f) : 0.0f;
        if (filled > 0.0f) {
            const glm::vec2 end(min.x + (max.x - min.x) * filled, max.y);
            quad(MenuQuad{MenuTexture::Solid, -1, (min + end) * 0.5f, end - min, glm::vec4(0.0f, 0.0f, 1.0f, 1.0f),
                          titleColour});
        }
    }
    // A medal disc whose left edge is at x (square units), on the line at y; returns its right end.
    float medal(int item, Medal medal, float x, float y, float cell) {
        GlyphDraw glyph;
        const glm::vec2 a = fit.point(glm::vec2(x, y));
        const float h = cell * fit.ey;
        const float advance = fontAdvance(fontMedalCell) * h / fit.aspect;
        glyph.centre = glm::vec2(a.x + advance * 0.5f, a.y);
        quad(MenuQuad{MenuTexture::Font, -1, glyph.centre, glm::vec2(h / fit.aspect, h), fontTextureRect(fontMedalCell),
                      medalTint(medal)});
        box(MenuPart::Medal, item, glm::vec2(a.x, a.y - fontInkBelow * h), glm::vec2(a.x + advance, a.y + fontInkAbove * h));
        return (a.x + advance) / fit.ex;
    }
};

void layoutCourseRow(Writer& w, const Menu& menu, const CourseEntry& entry, int course, int row, int item) {
    const float y = rowY(row);
    const bool lit = menu.courseHighlight == course;
    const MenuItemBox& box = w.out.items.items[std::size_t(item)];
    w.solid(MenuPart::ItemBox, item, box.min, box.max, lit ? highlightBoxColour : boxColour);
    if (course == menu.currentCourse) {
        w.solid(MenuPart::Marker, item, w.fit.point(glm::vec2(markerLeft, y - markerHalfHeight)),
                w.fit.point(glm::vec2(markerLeft + markerWidth, y + markerHalfHeight)), titleColour);
    }
    const glm::vec2 pictureMin = w.fit.point(glm::vec2(pictureLeft, y - pictureSide * 0.5f));
    const glm::vec2 pictureMax = w.fit.point(glm::vec2(pictureLeft + pictureSide, y + pictureSide * 0.5f));
    if (entry.previewFile.empty()) {
        w.solid(MenuPart::Picture, item, pictureMin, pictureMax, noPictureColour);
    } else {
        w.quad(MenuQuad{MenuTexture::Picture, course, (pictureMin + pictureMax) * 0.5f, pictureMax - pictureMin,
                        glm::vec4(0.0f, 0.0f, 1.0f, 1.0f), white});
        w.box(MenuPart::Picture, item, pictureMin, pictureMax);
    }
    const float width = textRight - textLeft;
    w.text(MenuPart::Text, item, entry.course.name.c_str(), glm::vec2(textLeft, y + nameOffset), nameCell,
           TextAlign::Left, width, nameMinScale, lit ? highlightText : white);

    char line[64];
    if (entry.record.has) {
        std::snprintf(line, sizeof line, "Best %.2f", double(entry.record.seconds));
    } else {
        std::snprintf(line, sizeof line, "No record yet");
    }
    const float end = w.text(MenuPart::Text, item, line, glm::vec2(textLeft, y + bestOffset), detailCell,
                             TextAlign::Left, width, 1.0f, entry.record.has ? white : dimText);
    const Medal best = bestMedal(entry);
    if (best != Medal::None) w.medal(item, best, end + medalGap * 2.0f, y + bestOffset, detailCell);

    const float times[3] = {entry.course.goldSeconds, entry.course.silverSeconds, entry.course.bronzeSeconds};
    const Medal medals[3] = {Medal::Gold, Medal::Silver, Medal::Bronze};
    int group = 0;
    for (int i = 0; i < 3; ++i) {
        if (!(times[i] > 0.0f)) continue;
        const float x = textLeft + medalGroupStep * float(group++);
        const float disc = w.medal(item, medals[i], x, y + medalsOffset, detailCell);
        std::snprintf(line, sizeof line, "%.2f", double(times[i]));
        w.text(MenuPart::Text, item, line, glm::vec2(disc + medalGap, y + medalsOffset), detailCell, TextAlign::Left,
               x + medalTimeWidth - disc - medalGap, 0.0f, white);
    }
    if (group == 0) {
        w.text(MenuPart::Text, item, "No medal times", glm::vec2(textLeft, y + medalsOffset), detailCell,
               TextAlign::Left, width, 1.0f, dimText);
    }
}

// New course (its name, its difficulty), Daily course and Back; while a course is made, New course shows its
// progress and Daily course is dimmed, as neither starts another.
void layoutBelowList(Writer& w, const Menu& menu, const MenuItemBox& box, int item) {
    const bool making = menu.making.running;
    const int entry = box.kind == MenuItemKind::NewCourse || box.kind == MenuItemKind::Difficulty ? newCourseEntry(menu)
                      : box.kind == MenuItemKind::DailyCourse                                  ? dailyCourseEntry(menu)
                                                                                               : backEntry(menu);
    const bool lit = menu.courseHighlight == entry;
    const glm::vec4& colour = box.kind != MenuItemKind::Back && making ? dimText : lit ? highlightText : white;
    w.solid(MenuPart::ItemBox, item, box.min, box.max, lit ? highlightBoxColour : boxColour);
    const float middle = (box.min.x + box.max.x) * 0.5f / w.fit.ex, width = (box.max.x - box.min.x) / w.fit.ex * 0.9f;
    const float y = (box.min.y + box.max.y) * 0.5f / w.fit.ey;
    char line[64];
    switch (box.kind) {
    case MenuItemKind::NewCourse:
        if (making) {
            std::snprintf(line, sizeof line, "Making seed %u", unsigned(menu.making.request.seed));
        } else {
            std::snprintf(line, sizeof line, "New course");
        }
        w.text(MenuPart::Text, item, line, glm::vec2(middle, y), makeCell, TextAlign::Centre, width, 0.0f, colour);
        break;
    case MenuItemKind::Difficulty:
        if (making) {
            w.bar(item, w.fit.point(glm::vec2(barLeft, y - barHalfHeight)),
                  w.fit.point(glm::vec2(barRight, y + barHalfHeight)), menu.making.fraction);
            std::snprintf(line, sizeof line, "%d%%", percentOf(menu.making.fraction));
            w.text(MenuPart::Text, item, line, glm::vec2(percentRight, y), makeCell, TextAlign::Right,
                   percentRight - barRight - 0.02f, 0.0f, colour);
        } else {
            std::snprintf(line, sizeof line, "< %s >", difficultyName(menu.newCourseDifficulty));
            w.text(MenuPart::Text, item, line, glm::vec2(middle, y), makeCell, TextAlign::Centre, width, 0.0f, colour);
        }
        break;
    case MenuItemKind::DailyCourse: {
        const unsigned date = menu.dailySeed;
        if (date > 0) {
            std::snprintf(line, sizeof line, "Daily course %04u-%02u-%02u", date / 10000 % 10000, date / 100 % 100,
                          date % 100);
        } else {
            std::snprintf(line, sizeof line, "Daily course");
        }
        w.text(MenuPart::Text, item, line, glm::vec2(middle, y), makeCell, TextAlign::Centre, width, 0.0f, colour);
        break;
    }
    default:
        w.text(MenuPart::Text, item, "Back", glm::vec2(0.0f, backY), backCell, TextAlign::Centre,
               2.0f * backHalf.x * 0.9f, 0.0f, colour);
        break;
    }
}

} // namespace

MenuItems layoutMenuItems(const Menu& menu, float aspect) {
    const Fit fit(aspect);
    MenuItems items;
    const auto add = [&items](const MenuItemBox& box) { items.items[items.count++] = box; };
    if (menu.screen == MenuScreen::Main) {
        for (int i = 0; i < mainItemCount; ++i) {
            add(itemBox(fit, MenuItemKind::Main, i, glm::vec2(0.0f, mainFirstY - mainStep * float(i)), mainHalf));
        }
    } else if (menu.screen == MenuScreen::Courses) {
        for (int row = 0; row < visibleCourseRows && menu.firstRow + row < menu.courseCount; ++row) {
            const float y = rowY(row);
            add(MenuItemBox{MenuItemKind::Course, menu.firstRow + row, fit.point(glm::vec2(rowLeft, y - rowHalfHeight)),
                            fit.point(glm::vec2(rowRight, y + rowHalfHeight))});
        }
        const float half = makeHalfHeight;
        add(MenuItemBox{MenuItemKind::NewCourse, 0, fit.point(glm::vec2(makeLeft, newCourseY - half)),
                        fit.point(glm::vec2(newNameRight, newCourseY + half))});
        add(MenuItemBox{MenuItemKind::Difficulty, 0, fit.point(glm::vec2(difficultyLeft, newCourseY - half)),
                        fit.point(glm::vec2(makeRight, newCourseY + half))});
        add(MenuItemBox{MenuItemKind::DailyCourse, 0, fit.point(glm::vec2(makeLeft, dailyY - half)),
                        fit.point(glm::vec2(makeRight, dailyY + half))});
        add(itemBox(fit, MenuItemKind::Back, 0, glm::vec2(0.0f, backY), backHalf));
    }
    return items;
}

int hitMenuItem(const MenuItems& items, glm::vec2 cursor, glm::vec2 windowSize) {
    if (!(windowSize.x > 0.0f) || !(windowSize.y > 0.0f) || !std::isfinite(cursor.x) || !std::isfinite(cursor.y)) {
        return -1;
    }
    const glm::vec2 p(cursor.x / windowSize.x * 2.0f - 1.0f, 1.0f - cursor.y / windowSize.y * 2.0f);
    for (std::size_t i = 0; i < items.count; ++i) {
        const MenuItemBox& b = items.items[i];
        if (p.x >= b.min.x && p.x <= b.max.x && p.y >= b.min.y && p.y <= b.max.y) return int(i);
    }
    return -1;
}

void layoutMenu(const Menu& menu, const std::vector<CourseEntry>& courses, float aspect, MenuLayout& out) {
    out.quadCount = 0;
    out.boxCount = 0;
    out.items = layoutMenuItems(menu, aspect);
    if (menu.screen == MenuScreen::Closed) return;
    const Fit fit(aspect);
    Writer w{out, fit};
    w.quad(MenuQuad{MenuTexture::Solid, -1, glm::vec2(0.0f), glm::vec2(2.0f), glm::vec4(0.0f, 0.0f, 1.0f, 1.0f),
                    backdropColour});
    if (menu.screen == MenuScreen::Main) {
        w.text(MenuPart::Title, -1, "PAUSED", glm::vec2(0.0f, titleY), titleCell, TextAlign::Centre, 2.0f * sideMargin,
               0.0f, titleColour);
        for (std::size_t i = 0; i < out.items.count; ++i) {
            const MenuItemBox& box = out.items.items[i];
            const bool lit = menu.mainHighlight == box.index;
            w.solid(MenuPart::ItemBox, int(i), box.min, box.max, lit ? highlightBoxColour : boxColour);
            w.text(MenuPart::Text, int(i), mainLabels[box.index], glm::vec2(0.0f, mainFirstY - mainStep * float(i)),
                   mainCell, TextAlign::Centre, 2.0f * mainHalf.x * 0.9f, 0.0f, lit ? highlightText : white);
        }
        return;
    }
    w.text(MenuPart::Title, -1, "COURSES", glm::vec2(-sideMargin, listTitleY), listTitleCell, TextAlign::Left,
           sideMargin, 0.0f, titleColour);
    if (menu.courseCount > 0) {
        char counter[32];
        const int shown = std::min(menu.courseHighlight, menu.courseCount - 1) + 1;
        std::snprintf(counter, sizeof counter, "%d / %d", shown, menu.courseCount);
        w.text(MenuPart::Title, -1, counter, glm::vec2(sideMargin, listTitleY), counterCell, TextAlign::Right,
               sideMargin * 0.5f, 0.0f, dimText);
    }
    for (std::size_t i = 0; i < out.items.count; ++i) {
        const MenuItemBox& box = out.items.items[i];
        if (box.kind == MenuItemKind::Course) {
            if (box.index >= 0 && std::size_t(box.index) < courses.size()) {
                layoutCourseRow(w, menu, courses[std::size_t(box.index)], box.index, int(i), int(i));
            }
            continue;
        }
        layoutBelowList(w, menu, box, int(i));
    }
}

void layoutMakingLine(const MakingShown& making, float aspect, MenuLayout& out, MakingPlace place) {
    if (!making.running) return;
    const Fit fit(aspect);
    Writer w{out, fit};
    const MakingShape& shape = place == MakingPlace::Bottom ? bottomMaking : middleMaking;
    // Square units: at the bottom kept at its distance from the edge, as the HUD's gauge and time bar are.
    const auto at = [&](float y) { return place == MakingPlace::Bottom ? (-1.0f + y * fit.ey) / fit.ey : y; };
    if (shape.backdropAbove > shape.backdropBelow) {
        const glm::vec2 min = fit.point(glm::vec2(-shape.halfWidth, at(shape.backdropBelow)));
        const glm::vec2 max = fit.point(glm::vec2(shape.halfWidth, at(shape.backdropAbove)));
        w.quad(MenuQuad{MenuTexture::Solid, -1, (min + max) * 0.5f, max - min, glm::vec4(0.0f, 0.0f, 1.0f, 1.0f),
                        makingBackdrop});
    }
    char line[96];
    std::snprintf(line, sizeof line, "Making course seed %u (%s)... %d%%", unsigned(making.request.seed),
                  difficultyName(making.request.difficulty), percentOf(making.fraction));
    w.text(MenuPart::Text, -1, line, glm::vec2(0.0f, at(shape.textY)), shape.cell, TextAlign::Centre,
           2.0f * shape.halfWidth * 0.95f, 0.0f, white);
    w.bar(-1, fit.point(glm::vec2(-shape.barHalfWidth, at(shape.barY) - shape.barHalfHeight)),
          fit.point(glm::vec2(shape.barHalfWidth, at(shape.barY) + shape.barHalfHeight)), making.fraction);
}
