// The pause menu's state machine driven as a player would: keys, mouse and controller, through the same input
// record the window fills; what each asks of the game, and what the race is kept from seeing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "core/input.h"
#include "core/menu.h"
#include "core/menu_layout.h"

// Counts every allocation of this test program, so a frame of the menu can be shown to make none.
namespace {
std::atomic<long> allocationCount{0};
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete" // every allocation here comes from malloc
#endif
// Every plain form is replaced, so memory from any of them goes back through the matching free (the sanitizers
// check that pairing).
void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocationCount;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

constexpr int glfwPress = 1, glfwRelease = 0, glfwRepeat = 2;
const glm::vec2 window(1280.0f, 720.0f);

FrameInput pressKey(int key) {
    InputState w;
    handleKey(w, key, glfwPress);
    return takeFrameInput(w, false, false);
}

MenuAction step(Menu& menu, const FrameInput& input) { return updateMenu(menu, input, window); }

// The pixel at the middle of an item of the open screen.
glm::vec2 pixelOf(const Menu& menu, MenuItemKind kind, int index) {
    const MenuItems items = layoutMenuItems(menu, window.x / window.y);
    for (std::size_t i = 0; i < items.count; ++i) {
        const MenuItemBox& b = items.items[i];
        if (b.kind == kind && b.index == index) {
            const glm::vec2 c = (b.min + b.max) * 0.5f;
            return glm::vec2((c.x + 1.0f) * 0.5f * window.x, (1.0f - c.y) * 0.5f * window.y);
        }
    }
    ADD_FAILURE() << "no such item on screen";
    return glm::vec2(-1.0f);
}

FrameInput cursorAt(glm::vec2 p, bool click = false) {
    FrameInput input;
    input.cursorKnown = true;
    input.cursorX = p.x;
    input.cursorY = p.y;
    input.click = click;
    return input;
}

TEST(MenuKeys, TheMainScreenActsOnTheHighlightedItem) {
    struct Case {
        int downs;
        MenuActionKind expected;
    };
    // Up from the top wraps to Quit; four steps down come back round to Resume.
    const Case cases[] = {{0, MenuActionKind::Resume}, {1, MenuActionKind::Restart}, {3, MenuActionKind::Quit},
                          {-1, MenuActionKind::Quit},  {4, MenuActionKind::Resume}};
    for (const Case& c : cases) {
        Menu menu;
        openMenu(menu, 3, 0);
        for (int i = 0; i < std::abs(c.downs); ++i) {
            EXPECT_EQ(step(menu, pressKey(c.downs > 0 ? keyDown : keyUp)).kind, MenuActionKind::None);
        }
        const MenuAction action = step(menu, pressKey(keyEnter));
        EXPECT_EQ(action.kind, c.expected) << c.downs;
        EXPECT_FALSE(menuOpen(menu));
        EXPECT_TRUE(menu.holdingRaceInput);
    }
}

TEST(MenuKeys, CoursesOpenOnTheCourseBeingPlayedAndBackspaceWalksBack) {
    Menu menu;
    openMenu(menu, 6, 4);
    step(menu, pressKey(keyDown));
    step(menu, pressKey(keyDown));
    EXPECT_EQ(step(menu, pressKey(keyKeypadEnter)).kind, MenuActionKind::None);
    ASSERT_EQ(menu.screen, MenuScreen::Courses);
    EXPECT_EQ(menu.courseHighlight, 4);
    EXPECT_LE(menu.firstRow, 4);
    EXPECT_GT(menu.firstRow + visibleCourseRows, 4) << "the highlighted course is in view";

    // Below the list: New course, Daily course, then Back, and round to the top.
    for (int entry : {newCourseEntry(menu), dailyCourseEntry(menu), backEntry(menu), 0}) {
        step(menu, pressKey(keyDown));
        step(menu, pressKey(keyDown));
        EXPECT_EQ(menu.courseHighlight, entry);
        step(menu, pressKey(keyUp));
    }
    step(menu, pressKey(keyDown));
    EXPECT_EQ(menu.firstRow, 0);
    for (int i = 0; i < 4; ++i) step(menu, pressKey(keyUp));
    const MenuAction chosen = step(menu, pressKey(keyEnter));
    EXPECT_EQ(chosen.kind, MenuActionKind::ChooseCourse);
    EXPECT_EQ(chosen.course, 5);
    EXPECT_FALSE(menuOpen(menu));

    openMenu(menu, 6, 4);
    step(menu, pressKey(keyDown));
    step(menu, pressKey(keyDown));
    step(menu, pressKey(keyEnter));
    EXPECT_EQ(step(menu, pressKey(keyBackspace)).kind, MenuActionKind::None);
    EXPECT_EQ(menu.screen, MenuScreen::Main);
    EXPECT_EQ(menu.mainHighlight, int(MainItem::Courses));
    EXPECT_EQ(step(menu, pressKey(keyBackspace)).kind, MenuActionKind::Resume) << "back from the main screen";

    // Selecting Back does what Backspace does; the pause key resumes from anywhere.
    openMenu(menu, 0, -1);
    step(menu, pressKey(keyDown));
    step(menu, pressKey(keyDown));
    step(menu, pressKey(keyEnter));
    EXPECT_EQ(menu.courseHighlight, newCourseEntry(menu)) << "with no course, making one comes first";
    step(menu, pressKey(keyUp));
    EXPECT_EQ(menu.courseHighlight, backEntry(menu));
    step(menu, pressKey(keyEnter));
    EXPECT_EQ(menu.screen, MenuScreen::Main);
    EXPECT_EQ(step(menu, pressKey(keyP)).kind, MenuActionKind::Resume);
    EXPECT_EQ(step(menu, pressKey(keyEnter)).kind, MenuActionKind::None) << "a closed menu takes nothing";
}

TEST(MenuKeys, KeyPressesReachTheFrameOncePerPressAndArrowsRepeat) {
    InputState w;
    handleKey(w, keyDown, glfwPress);
    handleKey(w, keyDown, glfwRepeat);
    handleKey(w, keyBackspace, glfwPress);
    FrameInput first = takeFrameInput(w, false, false);
    EXPECT_TRUE(first.menuDown);
    EXPECT_TRUE(first.menuBack);
    EXPECT_FALSE(first.menuUp);
    EXPECT_FALSE(first.menuSelect);
    EXPECT_FALSE(takeFrameInput(w, false, false).menuDown) << "taken once";
    handleKey(w, keyDown, glfwRepeat);
    EXPECT_TRUE(takeFrameInput(w, false, false).menuDown) << "a held arrow walks on";
    handleKey(w, keyEnter, glfwRepeat);
    handleKey(w, keyBackspace, glfwRelease);
    const FrameInput held = takeFrameInput(w, false, false);
    EXPECT_FALSE(held.menuSelect) << "a held Enter selects once";
    EXPECT_FALSE(held.menuBack);
}

TEST(MenuMouse, MovingHighlightsAndAClickActsOnTheItemUnderTheCursor) {
    Menu menu;
    openMenu(menu, 6, 0);
    const glm::vec2 quit = pixelOf(menu, MenuItemKind::Main, int(MainItem::Quit));
    // Where the cursor rests when the menu opens highlights nothing, so keys keep Resume.
    step(menu, cursorAt(quit));
    EXPECT_EQ(menu.mainHighlight, int(MainItem::Resume));
    step(menu, cursorAt(quit + glm::vec2(3.0f, 0.0f)));
    EXPECT_EQ(menu.mainHighlight, int(MainItem::Quit));
    // Between items and outside them nothing changes, and a click there does nothing.
    EXPECT_EQ(step(menu, cursorAt(glm::vec2(2.0f, 2.0f), true)).kind, MenuActionKind::None);
    EXPECT_EQ(menu.mainHighlight, int(MainItem::Quit));

    EXPECT_EQ(step(menu, cursorAt(pixelOf(menu, MenuItemKind::Main, int(MainItem::Courses)), true)).kind,
              MenuActionKind::None);
    ASSERT_EQ(menu.screen, MenuScreen::Courses);
    // The wheel scrolls the list; a click on a row chooses that course.
    FrameInput wheel;
    wheel.scrollDelta = -1.0f;
    step(menu, wheel);
    EXPECT_EQ(menu.firstRow, 1);
    wheel.scrollDelta = -10.0f;
    step(menu, wheel);
    EXPECT_EQ(menu.firstRow, 6 - visibleCourseRows) << "no further than the last row";
    const MenuAction chosen = step(menu, cursorAt(pixelOf(menu, MenuItemKind::Course, 5), true));
    EXPECT_EQ(chosen.kind, MenuActionKind::ChooseCourse);
    EXPECT_EQ(chosen.course, 5);

    openMenu(menu, 6, 0);
    step(menu, cursorAt(pixelOf(menu, MenuItemKind::Main, int(MainItem::Courses)), true));
    step(menu, cursorAt(pixelOf(menu, MenuItemKind::Back, 0), true));
    EXPECT_EQ(menu.screen, MenuScreen::Main);
    // The window's own clicks arrive through the same record.
    InputState w;
    handleCursor(w, 40.0, 30.0);
    handleMouseButton(w, 0, glfwPress);
    const FrameInput clicked = takeFrameInput(w, false, false);
    EXPECT_TRUE(clicked.click);
    EXPECT_TRUE(clicked.cursorKnown);
    EXPECT_FLOAT_EQ(clicked.cursorX, 40.0f);
    EXPECT_FLOAT_EQ(clicked.cursorY, 30.0f);
    forgetCursor(w);
    EXPECT_FALSE(takeFrameInput(w, false, false).cursorKnown);
}

TEST(MenuController, TheDpadMovesOncePerPressAndASelectsBGoesBack) {
    Menu menu;
    openMenu(menu, 3, 0);
    GamepadState before, now;
    const auto frame = [&](std::initializer_list<int> held) {
        before = now;
        now = GamepadState{};
        for (int b : held) now.buttons[std::size_t(b)] = 1;
        FrameInput input;
        addGamepadInput(input, now, before);
        return step(menu, input);
    };
    constexpr int a = 0, b = 1, up = 11, down = 13;
    frame({down});
    frame({down}); // held: no second step
    EXPECT_EQ(menu.mainHighlight, int(MainItem::Restart));
    frame({});
    frame({down});
    EXPECT_EQ(menu.mainHighlight, int(MainItem::Courses));
    frame({a});
    ASSERT_EQ(menu.screen, MenuScreen::Courses);
    frame({a}); // still held from opening the list: chooses nothing
    EXPECT_EQ(menu.screen, MenuScreen::Courses);
    frame({up});
    EXPECT_EQ(menu.courseHighlight, backEntry(menu)) << "up from the first course is Back";
    EXPECT_EQ(frame({b}).kind, MenuActionKind::None);
    EXPECT_EQ(menu.screen, MenuScreen::Main);
    EXPECT_EQ(frame({}).kind, MenuActionKind::None);
    EXPECT_EQ(frame({b}).kind, MenuActionKind::Resume);
}

// The list open on New course, for a list of count courses.
Menu onNewCourse(int count) {
    Menu menu;
    openMenu(menu, count, -1);
    menu.mainHighlight = int(MainItem::Courses);
    step(menu, pressKey(keyEnter));
    for (int i = 0; i < 3; ++i) step(menu, pressKey(keyUp)); // from the first course, past Back and Daily course
    EXPECT_EQ(menu.courseHighlight, newCourseEntry(menu));
    return menu;
}

TEST(MenuMaking, LeftAndRightChooseTheDifficultyAndSelectStartsWithoutClosing) {
    Menu menu = onNewCourse(3);
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Medium);
    step(menu, pressKey(keyRight));
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Hard);
    step(menu, pressKey(keyRight));
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Easy) << "round the ends";
    step(menu, pressKey(keyLeft));
    step(menu, pressKey(keyLeft));
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Medium);
    step(menu, pressKey(keyLeft));
    MenuAction action = step(menu, pressKey(keyEnter));
    EXPECT_EQ(action.kind, MenuActionKind::NewCourse);
    EXPECT_EQ(action.difficulty, Difficulty::Easy);
    EXPECT_EQ(menu.screen, MenuScreen::Courses) << "the list stays open to watch the making";

    step(menu, pressKey(keyDown));
    step(menu, pressKey(keyRight));
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Easy) << "only New course takes Left and Right";
    EXPECT_EQ(step(menu, pressKey(keyEnter)).kind, MenuActionKind::DailyCourse);
    EXPECT_EQ(menu.screen, MenuScreen::Courses);

    // While one is made, neither item starts another, and the difficulty it hides stays.
    menu.making.running = true;
    EXPECT_EQ(step(menu, pressKey(keyEnter)).kind, MenuActionKind::None);
    step(menu, pressKey(keyUp));
    EXPECT_EQ(step(menu, pressKey(keyEnter)).kind, MenuActionKind::None);
    step(menu, pressKey(keyRight));
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Easy);
    menu.making.running = false;
    EXPECT_EQ(step(menu, pressKey(keyEnter)).kind, MenuActionKind::NewCourse);

    openMenu(menu, 3, 0);
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Easy) << "kept when the menu opens again";
}

TEST(MenuMaking, AClickOnTheDifficultyChangesItAndTheDpadDoesAsTheArrows) {
    Menu menu = onNewCourse(3);
    const glm::vec2 word = pixelOf(menu, MenuItemKind::Difficulty, 0);
    EXPECT_EQ(step(menu, cursorAt(word, true)).kind, MenuActionKind::None);
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Hard);
    step(menu, cursorAt(pixelOf(menu, MenuItemKind::Back, 0)));
    step(menu, cursorAt(word + glm::vec2(2.0f, 0.0f)));
    EXPECT_EQ(menu.courseHighlight, newCourseEntry(menu)) << "the word is part of New course";
    const MenuAction action = step(menu, cursorAt(pixelOf(menu, MenuItemKind::NewCourse, 0), true));
    EXPECT_EQ(action.kind, MenuActionKind::NewCourse);
    EXPECT_EQ(action.difficulty, Difficulty::Hard);
    EXPECT_EQ(step(menu, cursorAt(pixelOf(menu, MenuItemKind::DailyCourse, 0), true)).kind,
              MenuActionKind::DailyCourse);

    menu = onNewCourse(3);
    GamepadState before, now;
    constexpr int right = 12, left = 14;
    for (int b : {left, left, -1, left}) { // held: one step; let go and pressed again: another
        before = now;
        now = GamepadState{};
        if (b >= 0) now.buttons[std::size_t(b)] = 1;
        FrameInput input;
        addGamepadInput(input, now, before);
        step(menu, input);
    }
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Hard);
    before = GamepadState{};
    now = GamepadState{};
    now.buttons[right] = 1;
    FrameInput input;
    addGamepadInput(input, now, before);
    step(menu, input);
    EXPECT_EQ(menu.newCourseDifficulty, Difficulty::Easy);
}

TEST(MenuMaking, AMadeCourseJoinsTheListHighlightedOnlyWhenTheListIsOpen) {
    Menu menu = onNewCourse(6);
    addCourseToMenu(menu, 7, 6);
    EXPECT_EQ(menu.courseCount, 7);
    EXPECT_EQ(menu.courseHighlight, 6);
    EXPECT_EQ(menu.firstRow, 7 - visibleCourseRows) << "scrolled into view";
    EXPECT_EQ(step(menu, pressKey(keyEnter)).course, 6);

    // On the main screen the list only grows; the items below it stay what they were.
    openMenu(menu, 7, 1);
    addCourseToMenu(menu, 8, 7);
    EXPECT_EQ(menu.screen, MenuScreen::Main);
    EXPECT_EQ(menu.courseCount, 8);
    menu.screen = MenuScreen::Courses;
    menu.courseHighlight = backEntry(menu);
    menu.screen = MenuScreen::Main;
    addCourseToMenu(menu, 9, 8);
    EXPECT_EQ(menu.courseHighlight, backEntry(menu));
}

TEST(MenuController, ButtonsThatActedInTheMenuDoNotBoostOrRestartTheRace) {
    Menu menu;
    openMenu(menu, 3, 0);
    GamepadState before, now;
    now.buttons[0] = 1; // A: boost while racing, select in the menu
    FrameInput input;
    addGamepadInput(input, now, before);
    ASSERT_TRUE(input.boostDown);
    holdRaceInput(menu, input);
    EXPECT_FALSE(input.boostDown) << "the race sees nothing while the menu is open";
    ASSERT_EQ(updateMenu(menu, input, window).kind, MenuActionKind::Resume);

    // A still held after the menu closed: no boost until it is let go.
    for (int frame = 0; frame < 3; ++frame) {
        FrameInput held;
        before = now;
        addGamepadInput(held, now, before);
        held.mouseDeltaX = 4.0f;
        holdRaceInput(menu, held);
        EXPECT_FALSE(held.boostDown);
        EXPECT_FLOAT_EQ(held.mouseDeltaX, 4.0f) << "the camera still turns";
    }
    FrameInput released;
    holdRaceInput(menu, released);
    EXPECT_FALSE(menu.holdingRaceInput);
    FrameInput boost;
    boost.boostDown = true;
    boost.resetDown = true;
    holdRaceInput(menu, boost);
    EXPECT_TRUE(boost.boostDown);
    EXPECT_TRUE(boost.resetDown);
    // B and Enter held from the menu restart nothing either.
    openMenu(menu, 3, 0);
    FrameInput enter = pressKey(keyEnter);
    enter.resetDown = true;
    ASSERT_EQ(updateMenu(menu, enter, window).kind, MenuActionKind::Resume);
    holdRaceInput(menu, enter);
    EXPECT_FALSE(enter.resetDown);
}

TEST(MenuFrame, AFrameOfTheOpenMenuAllocatesNothing) {
    std::vector<CourseEntry> courses(7);
    for (std::size_t i = 0; i < courses.size(); ++i) {
        courses[i].course.id = "course" + std::to_string(i);
        courses[i].course.name = "A course with a long name, number " + std::to_string(i);
        courses[i].course.goldSeconds = 30.0f;
        courses[i].record.has = i % 2 == 0;
        courses[i].record.seconds = 31.5f;
    }
    auto layout = std::make_unique<MenuLayout>();
    Menu menu;
    openMenu(menu, int(courses.size()), 2);
    menu.making.running = true;
    menu.making.fraction = 0.3f;
    const long before = allocationCount.load();
    const int keys[] = {keyDown, keyDown, keyEnter, keyDown, keyDown, keyDown, keyDown, keyDown,
                        keyRight, keyUp, keyBackspace};
    for (int key : keys) {
        FrameInput input = pressKey(key);
        input.cursorKnown = true;
        input.cursorX = float(key);
        input.cursorY = 300.0f;
        updateMenu(menu, input, window);
        holdRaceInput(menu, input);
        layoutMenu(menu, courses, window.x / window.y, *layout);
        layoutMakingLine(menu.making, window.x / window.y, *layout);
    }
    EXPECT_EQ(allocationCount.load() - before, 0);
    EXPECT_GT(layout->quadCount, 0u);
}

} // namespace
