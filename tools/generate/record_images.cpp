// The race clock's sprites: the digit atlas of the running and best times, the "BEST" label and the new-record
// sprite, lettered in the HUD's look.
#include <algorithm>
#include <cstddef>
#include <string>

#include "core/hud_text.h"
#include "tools/generate/hud_style.h"
#include "tools/generate/text.h"

namespace {

constexpr float digitCapHeight = glyphDigitHeight * static_cast<float>(glyphCellHeight); // pixels
constexpr float digitOutline = 7.0f;  // pixels
constexpr int digitShadowOffset = 4;  // pixels
constexpr int digitShadowBlur = 3;    // pixels
constexpr float labelCapHeight = 56.0f; // pixels: a label, a little smaller than the digits beside it
constexpr float labelOutline = 6.0f;
constexpr int labelShadowOffset = 4;
constexpr int labelShadowBlur = 3;
constexpr float recordTextWidth = 392.0f; // pixels across "NEW RECORD!", leaving the ends to the sparkles
constexpr float recordMaxCapHeight = 52.0f;

// Cell order of effects/hud_text.h; the dash is an en dash, about as wide as a digit's ink.
const char* const glyphTexts[glyphCellCount] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "\xE2\x80\x93",
                                                "+"};
const Colour clockTop = rgb(255, 255, 255);

void copyInto(Canvas& target, const Canvas& source, int left) {
    for (int y = 0; y < source.height; ++y) {
        const auto from = source.rgba.begin() + static_cast<std::ptrdiff_t>(y) * source.width * 4;
        const auto to = target.rgba.begin() + (static_cast<std::ptrdiff_t>(y) * target.width + left) * 4;
        std::copy(from, from + source.width * 4, to);
    }
}

// One line of lettering centred on the canvas, with its capitals' middle on the canvas's middle.
void letterCentred(Canvas& canvas, const Font& font, const std::string& text, float cap, const Colour& top,
                   const Colour& bottom, float outline, int shadowOffset, int shadowBlur) {
    const glm::vec2 centre(static_cast<float>(canvas.width) * 0.5f, static_cast<float>(canvas.height) * 0.5f);
    Mask mask = makeMask(canvas.width, canvas.height);
    drawTextCentred(mask, font, text, cap, centre);
    drawLettering(canvas, mask, top, bottom, centre.y - cap * 0.5f, centre.y + cap * 0.5f, outline, shadowOffset,
                  shadowBlur);
}

} // namespace

Canvas drawDigitAtlas(const Font& font) {
    Canvas atlas = makeCanvas(glyphCellWidth * glyphCellCount, glyphCellHeight);
    // Each cell is lettered on its own, so no outline or shadow reaches into a neighbour.
    for (int i = 0; i < glyphCellCount; ++i) {
        Canvas cell = makeCanvas(glyphCellWidth, glyphCellHeight);
        letterCentred(cell, font, glyphTexts[i], digitCapHeight, clockTop, timeLight, digitOutline, digitShadowOffset,
                      digitShadowBlur);
        copyInto(atlas, cell, i * glyphCellWidth);
    }
    return atlas;
}

Canvas drawBestLabel(const Font& font) {
    Canvas canvas = makeCanvas(bestLabelWidth, bestLabelHeight);
    letterCentred(canvas, font, "BEST", labelCapHeight, goldLight, goldDark, labelOutline, labelShadowOffset,
                  labelShadowBlur);
    return canvas;
}

Canvas drawMedalLabels(const Font& font) {
    struct Row {
        const char* text;
        Colour light, dark;
    };
    // Rows in core/hud_text.h's order, each in its metal.
    const Row rows[medalLabelCount] = {{"GOLD MEDAL", goldLight, goldDark},
                                       {"SILVER MEDAL", rgb(250, 252, 255), rgb(120, 134, 160)},
                                       {"BRONZE MEDAL", rgb(255, 210, 160), rgb(170, 88, 30)}};
    Canvas atlas = makeCanvas(medalLabelWidth, medalLabelHeight * medalLabelCount);
    for (int i = 0; i < medalLabelCount; ++i) {
        Canvas row = makeCanvas(medalLabelWidth, medalLabelHeight);
        const float cap = std::min(recordMaxCapHeight, recordTextWidth / textWidth(font, rows[i].text, 1.0f));
        letterCentred(row, font, rows[i].text, cap, rows[i].light, rows[i].dark, labelOutline, labelShadowOffset,
                      labelShadowBlur);
        std::copy(row.rgba.begin(), row.rgba.end(),
                  atlas.rgba.begin() + static_cast<std::ptrdiff_t>(i) * medalLabelWidth * medalLabelHeight * 4);
    }
    return atlas;
}

Canvas drawNewRecord(const Font& font) {
    Canvas canvas = makeCanvas(newRecordWidth, newRecordHeight);
    const std::string text = "NEW RECORD!";
    const float cap = std::min(recordMaxCapHeight, recordTextWidth / textWidth(font, text, 1.0f));
    letterCentred(canvas, font, text, cap, goldLight, goldDark, labelOutline, labelShadowOffset, labelShadowBlur);
    drawSparkle(canvas, glm::vec2(25.0f, 30.0f), 18.0f);
    drawSparkle(canvas, glm::vec2(490.0f, 66.0f), 14.0f);
    return canvas;
}
