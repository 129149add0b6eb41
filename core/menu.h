// The pause menu as a state machine: which screen is open, what is highlighted, and what the player's keys, mouse
// and controller ask of it. Plain values; the layout is in core/menu_layout.h.
#pragma once

#include <cstdint>

#include <glm/vec2.hpp>

#include "core/course_maker.h"
#include "core/input.h"

enum class MenuScreen { Closed, Main, Courses };

// What the game is asked to do. The menu has closed itself for every kind but None, NewCourse and DailyCourse: a
// course being made is watched from the open list.
enum class MenuActionKind { None, Resume, Restart, ChooseCourse, NewCourse, DailyCourse, Quit };
struct MenuAction {
    MenuActionKind kind = MenuActionKind::None;
    int course = -1; // ChooseCourse: the index in the course list the menu was opened with
    Difficulty difficulty = Difficulty::Medium; // NewCourse: the difficulty chosen on its item
};

// A course being made in the background, as the menu and the HUD show it; the game refreshes it every frame.
struct MakingShown {
    bool running = false;
    CourseRequest request;
    float fraction = 0.0f; // 0..1
};

// The main screen's items, top to bottom.
enum class MainItem { Resume, Restart, Courses, Quit };
constexpr int mainItemCount = 4;
// Course rows shown at once; the list scrolls to keep the highlighted one in view.
constexpr int visibleCourseRows = 4;

struct Menu {
    MenuScreen screen = MenuScreen::Closed;
    int mainHighlight = 0;   // a MainItem
    int courseCount = 0;
    // A course's index, or one of the items below the list: courseCount for New course, then Daily course, then Back
    // (newCourseEntry, dailyCourseEntry, backEntry).
    int courseHighlight = 0;
    int firstRow = 0;        // the course in the top row
    int currentCourse = -1;  // the course being played, marked in the list
    bool cursorSeen = false; // the cursor's position is known, so a move of it can be told apart
    glm::vec2 lastCursor{0.0f};
    // Set when the menu closes: a key, button or click that acted in the menu is still held, and must not boost or
    // restart the race it returns to. holdRaceInput clears it once they are all let go.
    bool holdingRaceInput = false;
    Difficulty newCourseDifficulty = Difficulty::Medium; // the player's last choice, kept while the game runs
    uint32_t dailySeed = 0; // today's daily course (yyyymmdd), shown on its item; 0 shows no date
    MakingShown making;     // while it runs, New course and Daily course start nothing
};

inline bool menuOpen(const Menu& menu) { return menu.screen != MenuScreen::Closed; }
inline int newCourseEntry(const Menu& menu) { return menu.courseCount; }
inline int dailyCourseEntry(const Menu& menu) { return menu.courseCount + 1; }
inline int backEntry(const Menu& menu) { return menu.courseCount + 2; }

// Opens the main screen with Resume highlighted, for a list of courseCount courses of which currentCourse is played.
void openMenu(Menu& menu, int courseCount, int currentCourse);
// One frame of the open menu: Up and Down move the highlight (round the ends), Select (Enter, A, or a click on an
// item) acts on it, Back (Backspace, B) goes from the course list to the main screen and from there resumes, and
// the pause key resumes. A cursor that moves highlights the item under it; the wheel scrolls the course list. On
// New course, Left and Right (or a click on the difficulty word) change its difficulty, round the ends.
// windowSize is the window's size in the cursor's units (screen coordinates, not framebuffer pixels). Does nothing
// while closed. Never allocates.
MenuAction updateMenu(Menu& menu, const FrameInput& input, glm::vec2 windowSize);
// A course joined the list, which is now courseCount long, at index: the list grows, and when it is open the new
// course is highlighted and scrolled into view.
void addCourseToMenu(Menu& menu, int courseCount, int index);
// Called every frame before the race reads input: while the menu is open, and after it closed until boost and
// restart are both let go, the input's boost and restart are cleared (A and B, Enter and the left button mean
// those while racing). Camera motion is left alone.
void holdRaceInput(Menu& menu, FrameInput& input);
