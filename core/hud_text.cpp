// Times as glyph quads: formatting to hundredths without allocation, and placing the cells on a window of any shape.
#include "core/hud_text.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/vec3.hpp>

namespace {

constexpr long maxHundredths = 9999; // 99.99 seconds
// Where the clock's parts stand, in device coordinates (2 is the window's height).
constexpr glm::vec2 raceTimeAnchor(0.0f, 0.86f);
constexpr float raceTimeCell = 0.2f;         // the running time's digits are 0.06 of the window high
constexpr glm::vec2 bestAnchor(-0.96f, 0.86f); // the left end of the label
constexpr float bestTimeCell = 0.12f;
constexpr glm::vec2 newRecordCentre(0.0f, 0.62f); // above the won banner's lettering
constexpr float newRecordSpriteHeight = 0.16f;
constexpr float cellAspect = static_cast<float>(glyphCellWidth) / static_cast<float>(glyphCellHeight);
constexpr glm::vec2 medalCentre(0.0f, -0.56f); // below the won banner's sparkles
constexpr float medalSpriteHeight = 0.16f;     // as the new-record sprite
constexpr float splitCell = 0.12f;    // as the record's digits
constexpr float splitGap = 0.02f;     // device units between the longest running time's cells and the split's

// The glyphs of a time, left to right; returns how many.
std::size_t timeGlyphs(float seconds, std::array<int, maxTimeGlyphs>& out) {
    if (!(seconds >= 0.0f) || std::isinf(seconds)) {
        out = {glyphDash, glyphDash, glyphPoint, glyphDash, glyphDash};
        return 5;
    }
    long hundredths = std::lround(static_cast<double>(seconds) * 100.0);
    hundredths = hundredths > maxHundredths ? maxHundredths : hundredths;
    const int whole = static_cast<int>(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    std::size_t n = 0;
    if (whole >= 10) {
        out[n++] = whole / 10;
    }
    out[n++] = whole % 10;
    out[n++] = glyphPoint;
    out[n++] = fraction / 10;
    out[n++] = fraction % 10;
    return n;
}

// Places count glyphs into out along anchor's line; returns the run's width.
float placeGlyphs(const int* glyphs, std::size_t count, glm::vec2 anchor, float cellHeight, float aspect,
                  TextAlign align, GlyphDraw* out) {
    // A cell is square in pixels when its device width is its device height scaled by the cell shape over the
    // window's shape; a window of no shape draws as a square one.
    const float safeAspect = aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.0f;
    const glm::vec2 size(cellHeight * cellAspect / safeAspect, cellHeight);
    auto advanceOf = [&](int glyph) { return size.x * (glyph == glyphPoint ? pointAdvance : digitAdvance); };

    float width = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        width += advanceOf(glyphs[i]);
    }
    float pen = align == TextAlign::Left ? anchor.x : align == TextAlign::Centre ? anchor.x - width * 0.5f
                                                                              : anchor.x - width;
    for (std::size_t i = 0; i < count; ++i) {
        const float step = advanceOf(glyphs[i]);
        out[i] = GlyphDraw{glyphs[i], glm::vec2(pen + step * 0.5f, anchor.y), size};
        pen += step;
    }
    return width;
}

} // namespace

GlyphRun layoutTime(float seconds, glm::vec2 anchor, float cellHeight, float aspect, TextAlign align) {
    std::array<int, maxTimeGlyphs> glyphs{};
    GlyphRun run;
    run.count = timeGlyphs(seconds, glyphs);
    run.width = placeGlyphs(glyphs.data(), run.count, anchor, cellHeight, aspect, align, run.glyphs.data());
    return run;
}

SplitLayout layoutSplit(long hundredths, float aspect) {
    const float safeAspect = aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.0f;
    const float fit = std::min(1.0f, safeAspect);
    SplitLayout split;
    split.sign = hundredths < 0 ? SplitSign::Ahead : hundredths > 0 ? SplitSign::Behind : SplitSign::Level;
    const long size = std::min(hundredths < 0 ? -hundredths : hundredths, maxSplitHundredths);
    std::array<int, maxSplitGlyphs> glyphs{};
    std::size_t n = 0;
    if (split.sign != SplitSign::Level) {
        glyphs[n++] = split.sign == SplitSign::Ahead ? glyphDash : glyphPlus;
    }
    std::array<int, maxTimeGlyphs> time{};
    const std::size_t digits = timeGlyphs(static_cast<float>(size) / 100.0f, time);
    for (std::size_t i = 0; i < digits; ++i) glyphs[n++] = time[i];
    // Beside the longest running time, so the split stays put while the clock grows a digit.
    const GlyphRun longest =
        layoutTime(maxShownSeconds, raceTimeAnchor, raceTimeCell * fit, safeAspect, TextAlign::Centre);
    // Each cell reaches past its glyph's step by half the rest of its width: the running time's last and the split's
    // first, kept apart by the gap.
    const float overhang = (1.0f - digitAdvance) * 0.5f * cellAspect * (raceTimeCell + splitCell) * fit / safeAspect;
    const glm::vec2 anchor(raceTimeAnchor.x + longest.width * 0.5f + overhang + splitGap * fit / safeAspect,
                           raceTimeAnchor.y);
    split.count = n;
    split.width = placeGlyphs(glyphs.data(), n, anchor, splitCell * fit, safeAspect, TextAlign::Left,
                              split.glyphs.data());
    return split;
}

glm::vec4 splitTint(SplitSign sign) {
    return sign == SplitSign::Behind ? glm::vec4(1.0f, 0.3f, 0.25f, 1.0f) : glm::vec4(0.35f, 1.0f, 0.4f, 1.0f);
}

ClockLayout layoutClock(float raceClock, float bestSeconds, bool newRecord, float aspect) {
    const float safeAspect = aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.0f;
    // Sizes follow the window's shorter side, as the sprites' do: in a tall window the times keep the widths they
    // have in a square one instead of growing past each other and the window's sides.
    const float fit = std::min(1.0f, safeAspect);
    const float raceCell = raceTimeCell * fit, bestCell = bestTimeCell * fit;
    ClockLayout clock;
    clock.raceTime = layoutTime(raceClock, raceTimeAnchor, raceCell, safeAspect, TextAlign::Centre);
    // The label is drawn as tall as a digit cell, its lettering centred like a digit's, so both share a middle.
    const glm::vec2 labelSize(bestCell * float(bestLabelWidth) / float(bestLabelHeight) / safeAspect, bestCell);
    clock.bestLabel = glm::scale(glm::translate(glm::mat4(1.0f),
                                                glm::vec3(bestAnchor.x + labelSize.x * 0.5f, bestAnchor.y, 0.0f)),
                                 glm::vec3(labelSize, 1.0f));
    clock.bestTime = layoutTime(bestSeconds, glm::vec2(bestAnchor.x + labelSize.x, bestAnchor.y), bestCell,
                                safeAspect, TextAlign::Left);
    clock.newRecord = newRecord;
    const float recordHeight = newRecordSpriteHeight * fit;
    const glm::vec2 recordSize(recordHeight * float(newRecordWidth) / float(newRecordHeight) / safeAspect,
                               recordHeight);
    clock.newRecordSprite = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(newRecordCentre, 0.0f)),
                                       glm::vec3(recordSize, 1.0f));
    return clock;
}

glm::vec4 glyphTextureRect(int glyph) {
    const int cell = glyph < 0 || glyph >= glyphCellCount ? glyphDash : glyph;
    const float width = 1.0f / static_cast<float>(glyphCellCount);
    return glm::vec4(static_cast<float>(cell) * width, 0.0f, width, 1.0f);
}

glm::mat4 glyphModel(const GlyphDraw& draw) {
    return glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(draw.centre, 0.0f)), glm::vec3(draw.size, 1.0f));
}

MedalLayout layoutMedal(int medal, float aspect) {
    MedalLayout layout;
    if (medal < 1 || medal > medalLabelCount) return layout;
    const float safeAspect = aspect > 0.0f && std::isfinite(aspect) ? aspect : 1.0f;
    const float height = medalSpriteHeight * std::min(1.0f, safeAspect);
    const glm::vec2 size(height * float(medalLabelWidth) / float(medalLabelHeight) / safeAspect, height);
    layout.shown = true;
    // Gold is the atlas's first row.
    const int row = medalLabelCount - medal;
    const float rowHeight = 1.0f / float(medalLabelCount);
    layout.textureRect = glm::vec4(0.0f, float(row) * rowHeight, 1.0f, rowHeight);
    layout.sprite = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(medalCentre, 0.0f)), glm::vec3(size, 1.0f));
    return layout;
}
