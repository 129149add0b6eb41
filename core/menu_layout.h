// The pause menu as plain values: a list of textured quads in device coordinates to draw in order, the boxes of
// every item and part, and the hit test from window pixels to an item. No GL.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include "core/course_list.h"
#include "core/menu.h"

// What a quad samples: nothing (its colour alone), the font atlas UserInterface/font.png, or the picture of the
// course MenuQuad::picture (its CourseEntry::previewFile).
enum class MenuTexture { Solid, Font, Picture };

struct MenuQuad {
    MenuTexture texture = MenuTexture::Solid;
    int picture = -1;           // Picture: the course's index
    glm::vec2 centre{0.0f};     // device coordinates
    glm::vec2 size{0.0f};       // device units, the whole quad (a glyph's whole atlas cell)
    glm::vec4 uv{0.0f, 0.0f, 1.0f, 1.0f}; // (u, v) of the top-left corner and (width, height); v = 0 at the top
    glm::vec4 colour{1.0f};     // multiplies the texture, alpha included
};

// An item the player can highlight and choose. New course is two boxes side by side: its name, which starts the
// making, and its difficulty word, which a click changes; both highlight the one item.
enum class MenuItemKind { Main, Course, NewCourse, Difficulty, DailyCourse, Back };
struct MenuItemBox {
    MenuItemKind kind = MenuItemKind::Main;
    int index = 0;       // Main: a MainItem; Course: the course's index
    glm::vec2 min{0.0f}; // device coordinates
    glm::vec2 max{0.0f};
};
constexpr std::size_t maxMenuItems = visibleCourseRows + 4 > mainItemCount ? visibleCourseRows + 4 : mainItemCount;
struct MenuItems {
    std::array<MenuItemBox, maxMenuItems> items{};
    std::size_t count = 0;
};

// The parts drawn, for checking the layout: every part but an item's box lies inside that box, and no two parts
// (nor two item boxes) overlap.
enum class MenuPart { Title, Text, Picture, Medal, Marker, Bar, ItemBox };
struct MenuBox {
    MenuPart part = MenuPart::Text;
    int item = -1; // the index in MenuItems of the item it belongs to, or -1
    glm::vec2 min{0.0f};
    glm::vec2 max{0.0f};
};

constexpr std::size_t maxMenuQuads = 640;
constexpr std::size_t maxMenuBoxes = 64;

struct MenuLayout {
    std::array<MenuQuad, maxMenuQuads> quads{};
    std::size_t quadCount = 0;
    std::array<MenuBox, maxMenuBoxes> boxes{};
    std::size_t boxCount = 0;
    MenuItems items;
};

// The items of the open screen. The menu is laid out in a square sized by the window's shorter side and centred,
// so it keeps its shape at any aspect (width over height) as the HUD does.
MenuItems layoutMenuItems(const Menu& menu, float aspect);
// The item under the cursor (window pixels from the top-left, in a window of windowSize), or -1.
int hitMenuItem(const MenuItems& items, glm::vec2 cursor, glm::vec2 windowSize);
// Everything the open screen draws, back to front: a dimming backdrop over the whole window, the title, and per item
// its box (brighter when highlighted) and contents. A course row shows its picture (a plain square without one),
// name, the player's record with the medal it earns, and the gold, silver and bronze times. Below the list, New course
// with its difficulty and Daily course with its date; while a course is made they show its progress instead. Fills
// out in place, as it is large; never allocates.
void layoutMenu(const Menu& menu, const std::vector<CourseEntry>& courses, float aspect, MenuLayout& out);
// Where the making line goes: near the bottom edge between the HUD's gauge and time bar, over the race; or large in
// the middle of an otherwise empty window, while the game waits for the course it starts on.
enum class MakingPlace { Bottom, Middle };
// Appends to out the line that shows a course being made, "Making course seed 123 (medium)... 42%" over a thin bar;
// nothing when none is. Never allocates.
void layoutMakingLine(const MakingShown& making, float aspect, MenuLayout& out,
                      MakingPlace place = MakingPlace::Bottom);
