// UserInterface/font.png: printable ASCII and a medal disc in the HUD's lettering, light so the menu can tint it,
// laid out and measured as core/text_layout.h describes.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

#include "core/text_layout.h"
#include "core/canvas.h"
#include "tools/generate/generators.h"
#include "tools/generate/hud_style.h"
#include "core/image_io.h"
#include "tools/generate/text.h"

namespace {

constexpr float outline = 4.0f; // pixels: the digits' outline for the cap height
constexpr int shadowOffset = 3; // pixels
constexpr int shadowBlur = 1;   // pixels: two box passes reach twice this
constexpr float medalRadius = 21.0f, medalRingRadius = 14.0f, medalRingHalf = 1.5f; // pixels
// Light, so a tint shows as itself; a little darker below, as the HUD's lettering runs.
const Colour fillTop = rgb(255, 255, 255);
const Colour fillBottom = rgb(206, 212, 226);

constexpr float cellMiddle = fontCellPixels * 0.5f;

void copyCell(Canvas& atlas, const Canvas& cell, int index) {
    const int left = (index % fontColumns) * fontCellPixels, top = (index / fontColumns) * fontCellPixels;
    for (int y = 0; y < cell.height; ++y) {
        for (int x = 0; x < cell.width * 4; ++x) {
            atlas.rgba[(std::size_t(top + y) * std::size_t(atlas.width)) * 4 + std::size_t(left) * 4 + std::size_t(x)] =
                cell.rgba[std::size_t(y) * std::size_t(cell.width) * 4 + std::size_t(x)];
        }
    }
}

// The outlined ink must stay in the band the text layout boxes, and nothing (shadow included) may reach the cell's
// edge, where the atlas's filtering would carry it into a neighbour.
bool checkCell(const Canvas& cell, const Mask& outlined, int index, std::string& error) {
    const float top = cellMiddle - fontInkAbove * fontCellPixels, bottom = cellMiddle + fontInkBelow * fontCellPixels;
    for (int y = 0; y < outlined.height; ++y) {
        for (int x = 0; x < outlined.width; ++x) {
            if (outlined.at(x, y) > 0.0f && (float(y) < top || float(y) + 1.0f > bottom)) {
                error = "cell " + std::to_string(index) + " inks row " + std::to_string(y) +
                        ", outside the line core/text_layout.h gives it";
                return false;
            }
        }
    }
    for (int i = 0; i < fontCellPixels; ++i) {
        const int edge[4][2] = {{i, 0}, {i, fontCellPixels - 1}, {0, i}, {fontCellPixels - 1, i}};
        for (const auto& p : edge) {
            if (cell.rgba[(std::size_t(p[1]) * std::size_t(cell.width) + std::size_t(p[0])) * 4 + 3] >= 0.5f / 255.0f) {
                error = "cell " + std::to_string(index) + " reaches its edge at (" + std::to_string(p[0]) + ", " +
                        std::to_string(p[1]) + ")";
                return false;
            }
        }
    }
    return true;
}

// One character in its cell: its advance centred, the capitals' middle on the cell's middle.
bool drawCharacter(Canvas& atlas, const Font& font, int code, std::string& error) {
    const int index = fontCell(code);
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&font.info, code, &advance, &bearing);
    if (advance != fontAdvanceUnits(index)) {
        error = "the font's advance of '" + std::string(1, char(code)) + "' is " + std::to_string(advance) +
                ", core/text_layout.cpp has " + std::to_string(fontAdvanceUnits(index)) + ": not the font it was made for";
        return false;
    }
    const float advancePixels = float(advance) / fontUnitsPerCap * fontCapPixels;
    Mask text = makeMask(fontCellPixels, fontCellPixels);
    drawText(text, font, std::string(1, char(code)), fontCapPixels,
             glm::vec2(cellMiddle - advancePixels * 0.5f, cellMiddle + fontCapPixels * 0.5f));
    Canvas cell = makeCanvas(fontCellPixels, fontCellPixels);
    drawLettering(cell, text, fillTop, fillBottom, cellMiddle - fontCapPixels * 0.5f, cellMiddle + fontCapPixels * 0.5f,
                  outline, shadowOffset, shadowBlur);
    if (!checkCell(cell, dilateMask(text, outline), index, error)) return false;
    copyCell(atlas, cell, index);
    return true;
}

bool drawMedal(Canvas& atlas, std::string& error) {
    const glm::vec2 centre(cellMiddle, cellMiddle);
    Mask disc = shapeMask(fontCellPixels, fontCellPixels, [&](glm::vec2 p) { return circleDistance(p, centre, medalRadius); });
    Canvas cell = makeCanvas(fontCellPixels, fontCellPixels);
    drawLettering(cell, disc, fillTop, fillBottom, centre.y - medalRadius, centre.y + medalRadius, outline,
                  shadowOffset, shadowBlur);
    // A struck ring inside the rim, so it reads as a medal and not a dot.
    fillShape(cell, [&](glm::vec2 p) { return ringDistance(p, centre, medalRingRadius, medalRingHalf); },
              solidPaint(rgb(120, 126, 140, 0.8f)));
    if (!checkCell(cell, dilateMask(disc, outline), fontMedalCell, error)) return false;
    copyCell(atlas, cell, fontMedalCell);
    return true;
}

} // namespace

bool drawFontAtlas(const Font& font, Canvas& atlas, std::string& error) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (stbtt_GetCodepointBox(&font.info, 'H', &x0, &y0, &x1, &y1) == 0 || float(y1 - y0) != fontUnitsPerCap) {
        error = "the font's capital height is not the " + std::to_string(int(fontUnitsPerCap)) +
                " units core/text_layout.h was made for";
        return false;
    }
    atlas = makeCanvas(fontColumns * fontCellPixels, fontRows * fontCellPixels);
    for (int code = fontFirstCode; code <= fontLastCode; ++code) {
        if (!drawCharacter(atlas, font, code, error)) return false;
    }
    return drawMedal(atlas, error);
}

bool generateFontAtlas(const std::string& dataDir) {
    Font font;
    std::string error;
    Canvas atlas;
    if (!loadFont(spriteFontPath, font, error) || !drawFontAtlas(font, atlas, error)) {
        std::fprintf(stderr, "font atlas: %s\n", error.c_str());
        return false;
    }
    return saveDataPng(dataDir, "UserInterface/font.png", canvasToImage(atlas, 4));
}
