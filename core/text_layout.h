// Lettering for menus: the cell layout of the font atlas (shared by the generator that draws it and the layers that
// sample it) and the layout of any string as glyph quads, fitted to a width.
#pragma once

#include <cstddef>
#include <string_view>

#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include "core/hud_text.h"

// UserInterface/font.png: square cells in rows of fontColumns, printable ASCII from ' ' (cell 0) to '~' (cell 94),
// then a medal disc (drawn light, to be tinted). In every cell the capital letters' middle is the cell's middle and
// each glyph's advance is centred horizontally.
constexpr int fontFirstCode = 32, fontLastCode = 126;
constexpr int fontMedalCell = fontLastCode - fontFirstCode + 1;
constexpr int fontCellCount = fontMedalCell + 1;
constexpr int fontColumns = 16;
constexpr int fontRows = (fontCellCount + fontColumns - 1) / fontColumns;
constexpr int fontCellPixels = 96;
constexpr float fontCapPixels = 44.0f;     // a capital's height in the atlas, outline not counted
constexpr float fontTrackingPixels = 5.0f; // added to every advance, so neighbouring outlines keep apart
constexpr float fontUnitsPerCap = 1493.0f; // the font's capital height in its own units
// How far the outlined ink of any glyph reaches above and below the capitals' middle, in cell heights: the line's
// box, and what the generator checks every glyph against.
constexpr float fontInkAbove = 0.34f, fontInkBelow = 0.43f;
constexpr char fontFallback = '?'; // stands for anything outside the atlas

// The atlas cell of a character; fontFallback's for what the atlas lacks.
int fontCell(int code);
// The font's own advance of a cell's glyph, in font units (what the generator checks the font against).
int fontAdvanceUnits(int cell);
// Step from a glyph to the next, in cell heights.
float fontAdvance(int cell);
// The part of the atlas a cell samples: (u, v) of its top-left corner and (width, height), v = 0 at the image's top.
glm::vec4 fontTextureRect(int cell);

struct TextFit {
    std::size_t count = 0; // glyphs written
    float width = 0.0f;    // device units from the run's left end to its right end
    float scale = 1.0f;    // of the asked height, after shrinking to the width
    bool clipped = false;  // cut short, ending in "..."
};

// Lays text out as one quad per glyph into out (at most capacity of them), on a window of the given aspect (width
// over height) so glyphs keep their shape. anchor.y is the capitals' middle; anchor.x is where the run's left end,
// middle or right end goes. cellHeight is in device units (2 is the window's height). A run wider than maxWidth
// (0: no limit) is shrunk, down to minScale of cellHeight (1: never, 0: always to fit), and what still does not fit is
// cut off, ending in "..." (so is a run longer than capacity). UTF-8 outside ASCII shows one fontFallback per
// character. Never allocates.
TextFit layoutText(std::string_view text, glm::vec2 anchor, float cellHeight, float aspect, TextAlign align,
                   float maxWidth, float minScale, GlyphDraw* out, std::size_t capacity);
