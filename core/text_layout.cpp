// Strings as glyph quads over the font atlas: decoding to cells, shrinking and clipping to a width, without allocation.
#include "core/text_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// The font's advances of ' ' to '~' (DejaVu Sans Bold, in its units); the generator checks them against the font.
constexpr int asciiAdvances[fontLastCode - fontFirstCode + 1] = {
    713,  934,  1067, 1716, 1425, 2052, 1786, 627,  936,  936,  1071, 1716, 778,  850,  778,  748,  1425, 1425, 1425,
    1425, 1425, 1425, 1425, 1425, 1425, 1425, 819,  819,  1716, 1716, 1716, 1188, 2048, 1585, 1561, 1503, 1700, 1399,
    1399, 1681, 1714, 762,  762,  1587, 1305, 2038, 1714, 1741, 1501, 1741, 1577, 1475, 1397, 1663, 1585, 2259, 1579,
    1483, 1485, 936,  748,  936,  1716, 1024, 1024, 1382, 1466, 1214, 1466, 1389, 891,  1466, 1458, 702,  702,  1362,
    702,  2134, 1458, 1407, 1466, 1466, 1010, 1219, 979,  1458, 1335, 1892, 1321, 1335, 1192, 1458, 748,  1458, 1716,
};
constexpr int medalAdvanceUnits = 1600; // the disc's width and a little space
constexpr int ellipsisDots = 3;
constexpr std::size_t maxEllipsisCapacity = 4; // a run too short to hold "..." plus a glyph is just cut

// Walks UTF-8 one character at a time: an ASCII byte is itself, a multi-byte character (or a stray byte) one
// fallback.
struct CellReader {
    std::string_view text;
    std::size_t at = 0;
    bool next(int& cell) {
        if (at >= text.size()) return false;
        const auto byte = static_cast<unsigned char>(text[at++]);
        if (byte >= 0x80) {
            while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
        }
        cell = fontCell(byte == '\t' ? ' ' : byte < 0x80 ? int(byte) : -1);
        return true;
    }
};

} // namespace

int fontCell(int code) {
    if (code < fontFirstCode || code > fontLastCode) return fontFallback - fontFirstCode;
    return code - fontFirstCode;
}

int fontAdvanceUnits(int cell) {
    if (cell == fontMedalCell) return medalAdvanceUnits;
    if (cell < 0 || cell >= fontMedalCell) return asciiAdvances[fontFallback - fontFirstCode];
    return asciiAdvances[cell];
}

float fontAdvance(int cell) {
    const float pixels = float(fontAdvanceUnits(cell)) / fontUnitsPerCap * fontCapPixels + fontTrackingPixels;
    return pixels / float(fontCellPixels);
}

glm::vec4 fontTextureRect(int cell) {
    const int c = cell < 0 || cell >= fontCellCount ? fontCell(fontFallback) : cell;
    const float w = 1.0f / float(fontColumns), h = 1.0f / float(fontRows);
    return glm::vec4(float(c % fontColumns) * w, float(c / fontColumns) * h, w, h);
}

TextFit layoutText(std::string_view text, glm::vec2 anchor, float cellHeight, float aspect, TextAlign align,
                   float maxWidth, float minScale, GlyphDraw* out, std::size_t capacity) {
    TextFit fit;
    const float safeAspect = aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.0f;
    if (!(cellHeight > 0.0f) || !std::isfinite(cellHeight) || out == nullptr || capacity == 0) return fit;
    // Device width of one cell height's advance: a cell is square in pixels.
    const float unit = cellHeight / safeAspect;
    float natural = 0.0f; // in cell heights
    std::size_t glyphs = 0;
    CellReader reader{text};
    for (int cell = 0; reader.next(cell);) {
        natural += fontAdvance(cell);
        ++glyphs;
    }
    const bool limited = maxWidth > 0.0f && std::isfinite(maxWidth);
    float scale = 1.0f;
    if (limited && natural * unit > maxWidth) {
        scale = std::max(maxWidth / (natural * unit), std::clamp(minScale, 0.0f, 1.0f));
    }
    const float step = unit * scale; // device units per cell height of advance
    const float room = limited ? maxWidth / step : natural + 1.0f; // in cell heights
    std::size_t keep = glyphs;
    bool dots = false;
    // A run shrunk to the width fits however the division rounds.
    fit.clipped = natural > room * 1.0001f || glyphs > capacity;
    if (fit.clipped) {
        // As many glyphs as leave room, and slots, for the dots; a run too small even for them is just cut.
        const float dotsWidth = fontAdvance(fontCell('.')) * float(ellipsisDots);
        dots = capacity >= maxEllipsisCapacity && room >= dotsWidth;
        const std::size_t slots = dots ? capacity - ellipsisDots : capacity;
        const float limit = dots ? room - dotsWidth : room;
        float used = 0.0f;
        keep = 0;
        reader = CellReader{text};
        for (int cell = 0; keep < slots && reader.next(cell); ++keep) {
            if (used + fontAdvance(cell) > limit) break;
            used += fontAdvance(cell);
        }
        natural = used + (dots ? dotsWidth : 0.0f);
    }
    fit.width = natural * step;
    fit.scale = scale;
    float pen = align == TextAlign::Left ? anchor.x : align == TextAlign::Centre ? anchor.x - fit.width * 0.5f
                                                                                  : anchor.x - fit.width;
    const glm::vec2 size(cellHeight * scale / safeAspect, cellHeight * scale);
    const auto place = [&](int cell) {
        const float advance = fontAdvance(cell) * step;
        out[fit.count++] = GlyphDraw{cell, glm::vec2(pen + advance * 0.5f, anchor.y), size};
        pen += advance;
    };
    reader = CellReader{text};
    for (int cell = 0; fit.count < keep && reader.next(cell);) place(cell);
    for (int i = 0; dots && i < ellipsisDots; ++i) place(fontCell('.'));
    return fit;
}
