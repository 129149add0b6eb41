// Times on the HUD: the cell layout of the digit atlas (shared by the generator that draws it and the HUD that
// samples it) and the layout of a time as one textured unit quad per glyph, in normalised device coordinates.
#pragma once

#include <array>
#include <cstddef>

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

// UserInterface/digits.png: one row of equal cells, left to right "0123456789.-+", each glyph's ink centred
// horizontally in its cell, every digit standing on the same baseline with its height centred vertically.
constexpr int glyphCellCount = 13;
constexpr int glyphCellWidth = 112;  // pixels
constexpr int glyphCellHeight = 128; // pixels
constexpr int glyphPoint = 10;
constexpr int glyphDash = 11;
constexpr int glyphPlus = 12;
constexpr float glyphDigitHeight = 0.6f; // of the cell height: a digit's lettering, outline not counted
// Steps from one glyph to the next, in cell widths: neighbouring outlines keep a few pixels apart.
constexpr float digitAdvance = 0.69f;
constexpr float pointAdvance = 0.34f;

// UserInterface/best.png, the label beside the best time, and UserInterface/newrecord.png, shown with the won banner:
// their pixel sizes, so the HUD can draw them unstretched. The label's lettering is centred on the image like a
// digit on its cell, so drawn as tall as a digit cell on the same middle it lines up with the digits.
constexpr int bestLabelWidth = 256, bestLabelHeight = 128;   // pixels
constexpr int newRecordWidth = 512, newRecordHeight = 96;    // pixels
// UserInterface/medals.png: rows of the new-record sprite's size, "GOLD MEDAL", "SILVER MEDAL", "BRONZE MEDAL".
constexpr int medalLabelWidth = newRecordWidth, medalLabelHeight = newRecordHeight, medalLabelCount = 3;

// "99.99": two digits, the point, two decimals.
constexpr std::size_t maxTimeGlyphs = 5;
constexpr float maxShownSeconds = 99.99f; // larger times show this

struct GlyphDraw {
    int glyph = 0;    // atlas cell
    glm::vec2 centre; // device coordinates of the cell's centre
    glm::vec2 size;   // device units the whole cell covers
};

struct GlyphRun {
    std::array<GlyphDraw, maxTimeGlyphs> glyphs{};
    std::size_t count = 0;
    float width = 0.0f; // device units from the first glyph's step to the end of the last one
};

enum class TextAlign { Left, Centre, Right };

// A time in seconds to hundredths, rounded ("47.08"); one or two whole digits. Times above 99.99 show 99.99, and
// anything that is no time (negative, infinite or NaN, as a best time before any win) shows "--.--".
// anchor.y is the height of the digits' middle; anchor.x is where the run's left end, middle or right end goes.
// cellHeight is in device units (2 is the window's height); aspect is width over height, so glyphs keep their shape.
GlyphRun layoutTime(float seconds, glm::vec2 anchor, float cellHeight, float aspect, TextAlign align);

// The part of the atlas a glyph samples: (u, v) of its top-left corner and (width, height), v = 0 at the image's
// top as the HUD quad's texture coordinates run.
glm::vec4 glyphTextureRect(int glyph);

// The glyph's placement for the HUD program's unit quad (-0.5..0.5).
glm::mat4 glyphModel(const GlyphDraw& draw);

// The race clock on the HUD: the running time at the top in the middle, the player's record at the top left behind
// its label, and the new-record sprite above the won banner, clear of the gauge, the time bar and the banners.
struct ClockLayout {
    GlyphRun raceTime;
    glm::mat4 bestLabel{1.0f};
    GlyphRun bestTime;
    bool newRecord = false;
    glm::mat4 newRecordSprite{1.0f};
};
// raceClock is the race's time since "Let's roll!"; bestSeconds the record, or anything that is no time (infinity)
// without one, shown as dashes; aspect is the window's width over its height.
ClockLayout layoutClock(float raceClock, float bestSeconds, bool newRecord, float aspect);

// A split on the HUD: the difference to the ghost at a checkpoint (to the record at the goal), to the right of the
// running time on its middle line, "-0.42" when ahead, "+1.05" when behind, "0.00" when level.
constexpr std::size_t maxSplitGlyphs = maxTimeGlyphs + 1; // the sign, then a time
constexpr long maxSplitHundredths = 9999;                  // larger differences show 99.99
enum class SplitSign { Ahead, Level, Behind };
struct SplitLayout {
    std::array<GlyphDraw, maxSplitGlyphs> glyphs{};
    std::size_t count = 0;
    float width = 0.0f; // device units
    SplitSign sign = SplitSign::Level;
};
// hundredths is mine minus the other's: negative ahead. aspect is the window's width over its height.
SplitLayout layoutSplit(long hundredths, float aspect);
// The tint a split is drawn in, multiplied into the digits: green ahead or level (an equal time is no loss), red
// behind.
glm::vec4 splitTint(SplitSign sign);

// The medal a won race earned, shown below the won banner's lettering: its row of the medal atlas and where.
struct MedalLayout {
    bool shown = false;
    glm::vec4 textureRect{0.0f}; // as glyphTextureRect: (u, v, width, height), v = 0 at the image's top
    glm::mat4 sprite{1.0f};
};
// medal: 0 none, 1 bronze, 2 silver, 3 gold (as core/medals.h's Medal counts). aspect as layoutClock's.
MedalLayout layoutMedal(int medal, float aspect);
