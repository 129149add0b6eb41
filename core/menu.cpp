// The pause menu's state machine: highlight, scrolling, and the action each key, button or click asks for.
#include "core/menu.h"

#include <algorithm>
#include <cmath>

#include "core/menu_layout.h"

namespace {

float aspectOf(glm::vec2 windowSize) {
    return windowSize.x > 0.0f && windowSize.y > 0.0f ? windowSize.x / windowSize.y : 1.0f;
}

MenuAction close(Menu& menu, MenuActionKind kind, int course = -1) {
    menu.screen = MenuScreen::Closed;
    menu.holdingRaceInput = true;
    return MenuAction{kind, course};
}

void keepHighlightInView(Menu& menu) {
    const int lastFirst = std::max(0, menu.courseCount - visibleCourseRows);
    if (menu.courseHighlight < menu.courseCount) {
        if (menu.courseHighlight < menu.firstRow) menu.firstRow = menu.courseHighlight;
        if (menu.courseHighlight >= menu.firstRow + visibleCourseRows) {
            menu.firstRow = menu.courseHighlight - visibleCourseRows + 1;
        }
    }
    menu.firstRow = std::clamp(menu.firstRow, 0, lastFirst);
}

void showCourses(Menu& menu) {
    menu.screen = MenuScreen::Courses;
    const bool playing = menu.currentCourse >= 0 && menu.currentCourse < menu.courseCount;
    // Without a course to play, making one is what is left to do.
    menu.courseHighlight = playing ? menu.currentCourse : menu.courseCount > 0 ? 0 : newCourseEntry(menu);
    menu.firstRow = 0;
    keepHighlightInView(menu);
}

void move(Menu& menu, int step) {
    if (menu.screen == MenuScreen::Main) {
        menu.mainHighlight = (menu.mainHighlight + step + mainItemCount) % mainItemCount;
        return;
    }
    const int entries = backEntry(menu) + 1; // the courses, New course, Daily course and Back
    menu.courseHighlight = (menu.courseHighlight + step % entries + entries) % entries;
    keepHighlightInView(menu);
}

MenuAction back(Menu& menu) {
    if (menu.screen == MenuScreen::Courses) {
        menu.screen = MenuScreen::Main;
        menu.mainHighlight = int(MainItem::Courses);
        return {};
    }
    return close(menu, MenuActionKind::Resume);
}

// Acts on the highlighted item.
MenuAction choose(Menu& menu) {
    if (menu.screen == MenuScreen::Main) {
        switch (MainItem(menu.mainHighlight)) {
        case MainItem::Resume: return close(menu, MenuActionKind::Resume);
        case MainItem::Restart: return close(menu, MenuActionKind::Restart);
        case MainItem::Courses: showCourses(menu); return {};
        case MainItem::Quit: return close(menu, MenuActionKind::Quit);
        }
        return {};
    }
    if (menu.courseHighlight >= 0 && menu.courseHighlight < menu.courseCount) {
        return close(menu, MenuActionKind::ChooseCourse, menu.courseHighlight);
    }
    // The menu stays open on the list, where the making is shown and the course turns up.
    if (menu.courseHighlight == newCourseEntry(menu)) {
        if (menu.making.running) return {};
        MenuAction action;
        action.kind = MenuActionKind::NewCourse;
        action.difficulty = menu.newCourseDifficulty;
        return action;
    }
    if (menu.courseHighlight == dailyCourseEntry(menu)) {
        if (menu.making.running) return {};
        return MenuAction{MenuActionKind::DailyCourse};
    }
    return back(menu);
}

void stepDifficulty(Menu& menu, int step) {
    if (menu.making.running) return; // the item shows the making, not the difficulty
    const int next = (static_cast<int>(menu.newCourseDifficulty) + step + difficultyCount) % difficultyCount;
    menu.newCourseDifficulty = static_cast<Difficulty>(next);
}

void highlight(Menu& menu, const MenuItemBox& item) {
    switch (item.kind) {
    case MenuItemKind::Main: menu.mainHighlight = item.index; break;
    case MenuItemKind::Course: menu.courseHighlight = item.index; break;
    case MenuItemKind::NewCourse:
    case MenuItemKind::Difficulty: menu.courseHighlight = newCourseEntry(menu); break;
    case MenuItemKind::DailyCourse: menu.courseHighlight = dailyCourseEntry(menu); break;
    case MenuItemKind::Back: menu.courseHighlight = backEntry(menu); break;
    }
}

} // namespace

void openMenu(Menu& menu, int courseCount, int currentCourse) {
    menu.screen = MenuScreen::Main;
    menu.mainHighlight = int(MainItem::Resume);
    menu.courseCount = std::max(0, courseCount);
    menu.currentCourse = currentCourse >= 0 && currentCourse < menu.courseCount ? currentCourse : -1;
    menu.courseHighlight = 0;
    menu.firstRow = 0;
    // The cursor has not moved yet as far as the menu knows: where it rests highlights nothing until it moves.
    menu.cursorSeen = false;
}

MenuAction updateMenu(Menu& menu, const FrameInput& input, glm::vec2 windowSize) {
    if (!menuOpen(menu)) return {};
    if (input.togglePause) return close(menu, MenuActionKind::Resume);

    if (menu.screen == MenuScreen::Courses && input.scrollDelta != 0.0f && std::isfinite(input.scrollDelta)) {
        const float steps = std::clamp(input.scrollDelta, -float(menu.courseCount), float(menu.courseCount));
        menu.firstRow = std::clamp(menu.firstRow - int(std::lround(steps)), 0,
                                   std::max(0, menu.courseCount - visibleCourseRows));
    }
    const glm::vec2 cursor(input.cursorX, input.cursorY);
    const MenuItems items = layoutMenuItems(menu, aspectOf(windowSize));
    const int under = input.cursorKnown ? hitMenuItem(items, cursor, windowSize) : -1;
    if (input.cursorKnown) {
        const bool moved = menu.cursorSeen && cursor != menu.lastCursor;
        if (moved && under >= 0) highlight(menu, items.items[std::size_t(under)]);
        menu.lastCursor = cursor;
    }
    menu.cursorSeen = input.cursorKnown;

    if (input.click && under >= 0) {
        const MenuItemBox& item = items.items[std::size_t(under)];
        highlight(menu, item);
        if (item.kind == MenuItemKind::Difficulty) {
            stepDifficulty(menu, 1);
            return {};
        }
        return choose(menu);
    }
    if (input.menuUp != input.menuDown) move(menu, input.menuUp ? -1 : 1);
    if (input.menuLeft != input.menuRight && menu.screen == MenuScreen::Courses &&
        menu.courseHighlight == newCourseEntry(menu)) {
        stepDifficulty(menu, input.menuLeft ? -1 : 1);
    }
    if (input.menuSelect) return choose(menu);
    if (input.menuBack) return back(menu);
    return {};
}

void addCourseToMenu(Menu& menu, int courseCount, int index) {
    const int count = std::max(0, courseCount);
    // The items below the list keep what they are when it grows under them.
    if (menu.courseHighlight >= menu.courseCount) menu.courseHighlight += count - menu.courseCount;
    menu.courseCount = count;
    if (menu.screen == MenuScreen::Courses && index >= 0 && index < count) {
        menu.courseHighlight = index;
        keepHighlightInView(menu);
    }
}

void holdRaceInput(Menu& menu, FrameInput& input) {
    if (!menuOpen(menu) && menu.holdingRaceInput && !input.boostDown && !input.resetDown) {
        menu.holdingRaceInput = false;
    }
    if (menuOpen(menu) || menu.holdingRaceInput) {
        input.boostDown = false;
        input.resetDown = false;
    }
}
