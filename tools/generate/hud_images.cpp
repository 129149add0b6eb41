// The HUD sprites of UserInterface/: start messages, won, lost and paused banners, clock icon, time and boost
// bars, boost gauge dial with its pointer, the boost icon, and the race clock's digits and record sprites.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/trigonometric.hpp>

#include "core/race_state.h"
#include "core/course.h"
#include "core/hud_layout.h"
#include "core/canvas.h"
#include "tools/generate/generators.h"
#include "tools/generate/hud_style.h"
#include "core/image_io.h"
#include "tools/generate/text.h"

namespace {

constexpr int bannerSize = 512;    // pixels, square: messages and banners are drawn 1 x 1 in device coordinates
constexpr int iconSize = 256;      // pixels, square
constexpr int barWidth = 64;       // pixels; the bars are drawn 0.1 wide and up to 0.5 and more high
constexpr int barHeight = 256;     // pixels
constexpr int dialSize = 512;      // pixels, square
constexpr int pointerWidth = 320;  // pixels; with pointerHeight the same aspect as the drawn 0.175 x 0.07 quad
constexpr int pointerHeight = 128; // pixels

// The gauge scale runs from empty past full, to show the extra boost that checkpoints give.
constexpr float gaugeScaleEnd = 1.5f; // boost units
constexpr float hubRadiusNdc = 0.04f; // just over the needle's inner end, so the needle seems to leave the hub

// Banner lettering: how much of the square the text may use, outline and shadow, in pixels.
constexpr float bannerTextWidth = 420.0f; // leaves the outer 16 pixels clear even of the shadow
constexpr float bannerMaxCapHeight = 112.0f;
constexpr float bannerLineGap = 0.42f; // of the cap height, between lines
constexpr float bannerOutline = 9.0f;
constexpr int bannerShadowOffset = 7;
constexpr int bannerShadowBlur = 5;

struct BannerStyle {
    std::vector<std::string> lines;
    Colour top;
    Colour bottom;
};

Canvas drawBanner(const Font& font, const BannerStyle& style) {
    Canvas canvas = makeCanvas(bannerSize, bannerSize);
    float widest = 0.0f;
    for (const std::string& line : style.lines) {
        widest = std::max(widest, textWidth(font, line, 1.0f));
    }
    float cap = std::min(bannerMaxCapHeight, bannerTextWidth / widest);
    auto lineCount = static_cast<float>(style.lines.size());
    float blockHeight = cap * lineCount + cap * bannerLineGap * (lineCount - 1.0f);
    float top = (static_cast<float>(bannerSize) - blockHeight) * 0.5f;
    Mask text = makeMask(bannerSize, bannerSize);
    for (std::size_t i = 0; i < style.lines.size(); ++i) {
        float centreY = top + cap * 0.5f + static_cast<float>(i) * cap * (1.0f + bannerLineGap);
        drawTextCentred(text, font, style.lines[i], cap, glm::vec2(bannerSize * 0.5f, centreY));
    }
    // The gradient runs over each line's capitals, the same for every line.
    Canvas letters = makeCanvas(bannerSize, bannerSize);
    for (std::size_t i = 0; i < style.lines.size(); ++i) {
        float lineTop = top + static_cast<float>(i) * cap * (1.0f + bannerLineGap);
        Mask lineMask = makeMask(bannerSize, bannerSize);
        for (int y = 0; y < bannerSize; ++y) {
            bool inLine = static_cast<float>(y) >= lineTop - cap * bannerLineGap * 0.5f &&
                          static_cast<float>(y) < lineTop + cap * (1.0f + bannerLineGap * 0.5f);
            for (int x = 0; x < bannerSize && inLine; ++x) {
                lineMask.coverage[static_cast<std::size_t>(y * bannerSize + x)] = text.at(x, y);
            }
        }
        drawLettering(letters, lineMask, style.top, style.bottom, lineTop, lineTop + cap, 0.0f, 0, 0);
    }
    Mask outlined = dilateMask(text, bannerOutline);
    Mask shadow = blurMask(shiftMask(outlined, bannerShadowOffset / 2, bannerShadowOffset), bannerShadowBlur);
    fillMask(canvas, shadow, solidPaint(shadowColour));
    fillMask(canvas, outlined, solidPaint(inkDark));
    // Lay the letters (already lit) over the outline.
    for (std::size_t i = 0; i < canvas.rgba.size(); i += 4) {
        float a = letters.rgba[i + 3];
        for (int c = 0; c < 4; ++c) {
            canvas.rgba[i + static_cast<std::size_t>(c)] =
                letters.rgba[i + static_cast<std::size_t>(c)] + canvas.rgba[i + static_cast<std::size_t>(c)] * (1 - a);
        }
    }
    return canvas;
}

Canvas drawWonBanner(const Font& font) {
    Canvas canvas = drawBanner(font, {{"YOU", "WON!"}, goldLight, goldDark});
    const glm::vec2 sparkles[] = {{70.0f, 96.0f}, {446.0f, 150.0f}, {92.0f, 420.0f}, {430.0f, 438.0f}};
    const float sizes[] = {34.0f, 24.0f, 22.0f, 32.0f};
    for (int i = 0; i < 4; ++i) {
        drawSparkle(canvas, sparkles[i], sizes[i]);
    }
    return canvas;
}

// Stopwatch: the clock beside the time bar.
Canvas drawClockIcon() {
    Canvas canvas = makeCanvas(iconSize, iconSize);
    const glm::vec2 centre(128.0f, 140.0f);
    const float radius = 98.0f;
    Distance body = [&](glm::vec2 p) {
        float face = circleDistance(p, centre, radius);
        float crown = roundedRectDistance(p, glm::vec2(128.0f, 28.0f), glm::vec2(20.0f, 11.0f), 5.0f);
        float stem = roundedRectDistance(p, glm::vec2(128.0f, 44.0f), glm::vec2(9.0f, 12.0f), 2.0f);
        float button = segmentDistance(p, glm::vec2(196.0f, 64.0f), glm::vec2(212.0f, 48.0f), 8.0f);
        return std::min(std::min(face, crown), std::min(stem, button));
    };
    Mask bodyMask = shapeMask(iconSize, iconSize, body);
    Mask outline = dilateMask(bodyMask, 6.0f);
    fillMask(canvas, blurMask(shiftMask(outline, 3, 6), 4), solidPaint(shadowColour));
    fillMask(canvas, outline, solidPaint(inkDark));
    fillMask(canvas, bodyMask, verticalGradient(timeLight, timeDark, 16.0f, 240.0f));
    // Dial face inside the rim.
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, centre, radius - 15.0f); },
              radialGradient(rgb(255, 255, 255), rgb(206, 220, 238), centre - glm::vec2(20.0f), 100.0f));
    fillShape(canvas, [&](glm::vec2 p) { return ringDistance(p, centre, radius - 15.0f, 1.5f); },
              solidPaint(inkDark));
    // Elapsed sector from twelve to two o'clock.
    const float sectorRadius = 72.0f;
    Distance sector = [&](glm::vec2 p) {
        glm::vec2 d = p - centre;
        float angle = std::atan2(d.x, -d.y); // clockwise from twelve
        float inAngle = angle >= 0.0f && angle <= glm::radians(60.0f) ? -1.0f : 1.0f;
        float edge = std::min(std::fabs(angle), std::fabs(angle - glm::radians(60.0f))) * glm::length(d);
        return std::max(glm::length(d) - sectorRadius, inAngle * edge);
    };
    fillShape(canvas, sector, solidPaint(rgb(60, 190, 250, 0.35f)));
    for (int k = 0; k < 12; ++k) {
        float angle = glm::radians(30.0f * static_cast<float>(k));
        glm::vec2 dir(std::sin(angle), -std::cos(angle));
        bool major = k % 3 == 0;
        float inner = major ? 62.0f : 70.0f;
        fillShape(canvas, [&](glm::vec2 p) {
            return segmentDistance(p, centre + dir * inner, centre + dir * 77.0f, major ? 4.0f : 2.5f);
        }, solidPaint(inkDark));
    }
    fillShape(canvas, [&](glm::vec2 p) { return segmentDistance(p, centre, centre + glm::vec2(0.0f, -58.0f), 5.5f); },
              solidPaint(inkDark));
    glm::vec2 secondDir(std::sin(glm::radians(60.0f)), -std::cos(glm::radians(60.0f)));
    fillShape(canvas, [&](glm::vec2 p) {
        return segmentDistance(p, centre - secondDir * 14.0f, centre + secondDir * 70.0f, 3.0f);
    }, solidPaint(rgb(228, 52, 40)));
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, centre, 9.0f); }, solidPaint(inkDark));
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, centre, 4.0f); }, solidPaint(rgb(228, 52, 40)));
    return canvas;
}

// Opaque vertical bar for the three-channel loader: a lit tube inside a dark frame.
Canvas drawBar(const Colour& light, const Colour& dark) {
    Canvas canvas = makeCanvas(barWidth, barHeight);
    const float frame = 5.0f;
    fillShape(canvas, [](glm::vec2) { return -1.0f; }, solidPaint(inkDark));
    Paint tube = [&](glm::vec2 p) {
        float across = (p.x - frame) / (static_cast<float>(barWidth) - 2.0f * frame); // 0..1
        float along = p.y / static_cast<float>(barHeight);
        Colour base = mix(light, dark, along);
        // Brightest a third of the way across, as if lit from the upper left; darker towards both edges.
        float shade = 0.62f + 0.48f * std::exp(-std::pow((across - 0.33f) / 0.30f, 2.0f));
        float highlight = 0.45f * std::exp(-std::pow((across - 0.28f) / 0.07f, 2.0f));
        Colour c{base.r * shade, base.g * shade, base.b * shade, 1.0f};
        return mix(c, rgb(255, 255, 255), std::min(1.0f, highlight));
    };
    glm::vec2 centre(barWidth * 0.5f, barHeight * 0.5f);
    glm::vec2 half(barWidth * 0.5f - frame, barHeight * 0.5f - frame);
    fillShape(canvas, [&](glm::vec2 p) { return roundedRectDistance(p, centre, half, 6.0f); }, tube);
    return canvas;
}

// The gauge as the game places it, measured from the HUD layout itself so dial and needle always agree with it.
struct GaugeGeometry {
    glm::vec2 dialCentre;  // device coordinates
    float dialSize = 0.0f; // device units across the square dial
    glm::vec2 pivot;       // device coordinates the needle turns about
    float needleNear = 0.0f, needleFar = 0.0f; // device units from the pivot to the needle's ends
    float needleThickness = 0.0f;
    bool tipAtImageLeft = false; // texture coordinate u = 0 is the needle's far end
    float zeroAngle = 0.0f;      // direction of the needle at boost 0, radians, device axes (y up)
    float turnPerBoost = 0.0f;   // radians the needle turns (counter-clockwise positive) per unit of boost
};

glm::vec2 applyModel(const glm::mat4& model, float x, float y) {
    glm::vec4 p = model * glm::vec4(x, y, 0.0f, 1.0f);
    return glm::vec2(p.x, p.y);
}

const HudDraw* findDraw(const HudLayout& layout, HudSprite sprite) {
    for (std::size_t i = 0; i < layout.count; ++i) {
        if (layout.draws[i].sprite == sprite) {
            return &layout.draws[i];
        }
    }
    return nullptr;
}

HudLayout rollingLayout(float boost) {
    RaceState race;
    race.phase = RacePhase::Rolling;
    race.boost = boost;
    FrameClock clock;
    clock.totalTime = 10.0f; // long after the start messages
    return layoutHud(race, clock, Course{}.countdown);
}

// Where two lines (each through two points) cross.
glm::vec2 intersect(glm::vec2 a0, glm::vec2 a1, glm::vec2 b0, glm::vec2 b1) {
    glm::vec2 da = a1 - a0;
    glm::vec2 db = b1 - b0;
    float denominator = da.x * db.y - da.y * db.x;
    float t = ((b0.x - a0.x) * db.y - (b0.y - a0.y) * db.x) / denominator;
    return a0 + da * t;
}

float angleOf(glm::vec2 d) { return std::atan2(d.y, d.x); }

// False when the layout does not have the shape the sprites are drawn for.
bool measureGauge(GaugeGeometry& g, std::string& error) {
    HudLayout empty = rollingLayout(0.0f);
    HudLayout half = rollingLayout(0.5f);
    const HudDraw* dial = findDraw(empty, HudSprite::GaugeDial);
    const HudDraw* pointer0 = findDraw(empty, HudSprite::GaugePointer);
    const HudDraw* pointer1 = findDraw(half, HudSprite::GaugePointer);
    if (dial == nullptr || pointer0 == nullptr || pointer1 == nullptr) {
        error = "the HUD layout draws no boost gauge";
        return false;
    }
    g.dialCentre = applyModel(dial->model, 0.0f, 0.0f);
    g.dialSize = applyModel(dial->model, 0.5f, 0.0f).x - applyModel(dial->model, -0.5f, 0.0f).x;
    // The needle lies along the quad's x axis; its pivot is where that axis meets itself at two boost values.
    glm::vec2 left0 = applyModel(pointer0->model, -0.5f, 0.0f);
    glm::vec2 right0 = applyModel(pointer0->model, 0.5f, 0.0f);
    glm::vec2 left1 = applyModel(pointer1->model, -0.5f, 0.0f);
    glm::vec2 right1 = applyModel(pointer1->model, 0.5f, 0.0f);
    g.pivot = intersect(left0, right0, left1, right1);
    float leftDistance = glm::length(left0 - g.pivot);
    float rightDistance = glm::length(right0 - g.pivot);
    g.tipAtImageLeft = leftDistance > rightDistance;
    g.needleFar = std::max(leftDistance, rightDistance);
    g.needleNear = std::min(leftDistance, rightDistance);
    g.needleThickness = glm::length(applyModel(pointer0->model, 0.0f, 0.5f) - applyModel(pointer0->model, 0.0f, -0.5f));
    glm::vec2 tip0 = g.tipAtImageLeft ? left0 : right0;
    glm::vec2 tip1 = g.tipAtImageLeft ? left1 : right1;
    g.zeroAngle = angleOf(tip0 - g.pivot);
    float turn = angleOf(tip1 - g.pivot) - g.zeroAngle;
    turn = std::remainder(turn, 2.0f * glm::pi<float>());
    g.turnPerBoost = turn / 0.5f;
    if (!g.tipAtImageLeft) {
        error = "the gauge pointer's far end is not at the image's left";
        return false;
    }
    if (std::fabs(g.turnPerBoost + glm::pi<float>()) > 1e-3f) {
        error = "the gauge pointer does not turn clockwise half a turn per unit of boost";
        return false;
    }
    return true;
}

// The needle's direction at a boost value, in image pixels of the dial (y down).
glm::vec2 dialDirection(const GaugeGeometry& g, float boost) {
    float angle = g.zeroAngle + g.turnPerBoost * boost;
    return glm::vec2(std::cos(angle), -std::sin(angle));
}

// Boost value (unwrapped around the middle of the scale) that points at a dial pixel seen from the pivot.
float boostAtPixel(const GaugeGeometry& g, glm::vec2 p, glm::vec2 pivot) {
    glm::vec2 d = p - pivot;
    float b = (angleOf(glm::vec2(d.x, -d.y)) - g.zeroAngle) / g.turnPerBoost;
    float middle = gaugeScaleEnd * 0.5f;
    float period = std::fabs(2.0f * glm::pi<float>() / g.turnPerBoost);
    while (b < middle - period * 0.5f) {
        b += period;
    }
    while (b > middle + period * 0.5f) {
        b -= period;
    }
    return b;
}

Colour scaleColour(float boost) {
    const Colour low = rgb(232, 58, 44);
    const Colour mid = rgb(250, 206, 52);
    const Colour full = rgb(70, 214, 96);
    const Colour extra = rgb(70, 200, 255);
    if (boost < 0.5f) {
        return mix(low, mid, std::max(0.0f, boost) / 0.5f);
    }
    if (boost < 1.0f) {
        return mix(mid, full, (boost - 0.5f) / 0.5f);
    }
    return mix(full, extra, std::min(1.0f, (boost - 1.0f) / 0.12f));
}

Canvas drawGaugeDial(const Font& font, const GaugeGeometry& g) {
    Canvas canvas = makeCanvas(dialSize, dialSize);
    const float pixelsPerUnit = static_cast<float>(dialSize) / g.dialSize;
    const glm::vec2 centre(dialSize * 0.5f, dialSize * 0.5f);
    // Image rows run down while device y runs up.
    const glm::vec2 pivot = centre + glm::vec2(g.pivot.x - g.dialCentre.x, g.dialCentre.y - g.pivot.y) * pixelsPerUnit;
    const float faceRadius = 244.0f;

    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, centre, faceRadius + 5.0f); },
              solidPaint(inkDark));
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, centre, faceRadius); },
              radialGradient(faceLight, faceDark, centre - glm::vec2(0.0f, 60.0f), 260.0f));
    fillShape(canvas, [&](glm::vec2 p) { return ringDistance(p, centre, faceRadius - 6.0f, 6.0f); },
              verticalGradient(metalLight, metalDark, 0.0f, static_cast<float>(dialSize)));

    // Coloured band under the scale: red when empty, green when full, blue for the extra from checkpoints.
    const float bandInner = 122.0f;
    const float bandOuter = 144.0f;
    Distance band = [&](glm::vec2 p) {
        float r = glm::length(p - pivot);
        float b = boostAtPixel(g, p, pivot);
        float radial = std::fabs(r - (bandInner + bandOuter) * 0.5f) - (bandOuter - bandInner) * 0.5f;
        float angular = std::max(-b, b - gaugeScaleEnd) * glm::pi<float>() * r;
        return std::max(radial, angular);
    };
    fillShape(canvas, band, [&](glm::vec2 p) { return scaleColour(boostAtPixel(g, p, pivot)); }, 0.9f);

    for (int k = 0; k <= static_cast<int>(gaugeScaleEnd * 8.0f + 0.5f); ++k) {
        float b = static_cast<float>(k) / 8.0f;
        glm::vec2 dir = dialDirection(g, b);
        bool major = k % 4 == 0;
        bool middle = k % 2 == 0;
        float inner = major ? 106.0f : middle ? 116.0f : 126.0f;
        float halfWidth = major ? 4.0f : middle ? 2.8f : 1.8f;
        Distance tick = [&](glm::vec2 p) {
            return segmentDistance(p, pivot + dir * inner, pivot + dir * 148.0f, halfWidth);
        };
        fillShape(canvas, [&](glm::vec2 p) { return tick(p) - 2.0f; }, solidPaint(inkDark));
        fillShape(canvas, tick, solidPaint(scaleWhite));
    }

    Mask labels = makeMask(dialSize, dialSize);
    const char* names[] = {"0", "\xC2\xBD", "1", "1\xC2\xBD"}; // 0, 1/2, 1, 1 1/2
    for (int k = 0; k < 4; ++k) {
        float b = 0.5f * static_cast<float>(k);
        if (b > gaugeScaleEnd + 1e-3f) {
            break;
        }
        glm::vec2 at = pivot + dialDirection(g, b) * 82.0f;
        drawTextCentred(labels, font, names[k], 26.0f, at);
    }
    drawTextCentred(labels, font, "BOOST", 34.0f, glm::vec2(centre.x, 78.0f));
    fillMask(canvas, dilateMask(labels, 3.0f), solidPaint(inkDark));
    fillMask(canvas, labels, solidPaint(scaleWhite));

    // The hub sits on the pointer's pivot; the needle, drawn afterwards, starts at its edge.
    const float hubRadius = hubRadiusNdc * pixelsPerUnit;
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, pivot, hubRadius + 4.0f); }, solidPaint(inkDark));
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, pivot, hubRadius); },
              radialGradient(metalLight, metalDark, pivot - glm::vec2(12.0f, 14.0f), hubRadius * 1.6f));
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, pivot, hubRadius * 0.35f); },
              solidPaint(inkDark));
    return canvas;
}

// The needle lies along the image: its tip at the left end (farthest from the pivot), its base at the right.
Canvas drawGaugePointer() {
    Canvas canvas = makeCanvas(pointerWidth, pointerHeight);
    // The whole image is the needle's slot: it starts at the hub's edge and ends at the tip.
    const float mid = pointerHeight * 0.5f;
    const float baseX = static_cast<float>(pointerWidth) - 22.0f;
    const float baseHalfWidth = 17.0f;
    const std::vector<glm::vec2> needle = {
        {8.0f, mid - 2.5f}, {baseX, mid - baseHalfWidth}, {baseX, mid + baseHalfWidth}, {8.0f, mid + 2.5f}};
    Distance shape = [&](glm::vec2 p) {
        return std::min(polygonDistance(p, needle), circleDistance(p, glm::vec2(baseX, mid), baseHalfWidth));
    };
    Mask mask = shapeMask(pointerWidth, pointerHeight, shape);
    fillMask(canvas, dilateMask(mask, 4.0f), solidPaint(inkDark));
    fillMask(canvas, mask, verticalGradient(rgb(255, 150, 84), rgb(196, 34, 18), mid - baseHalfWidth, mid + baseHalfWidth));
    // Ridge along the upper half, as if the needle were lit from above.
    fillShape(canvas, [&](glm::vec2 p) { return segmentDistance(p, glm::vec2(30.0f, mid - 1.0f),
                                                                glm::vec2(baseX - 4.0f, mid - 6.0f), 2.2f); },
              solidPaint(rgb(255, 230, 200, 0.8f)));
    return canvas;
}

// Lightning bolt on a dark disc.
Canvas drawBoostIcon() {
    Canvas canvas = makeCanvas(iconSize, iconSize);
    const glm::vec2 centre(128.0f, 128.0f);
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, centre, 118.0f); }, solidPaint(inkDark));
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, centre, 112.0f); },
              radialGradient(faceLight, faceDark, centre - glm::vec2(0.0f, 40.0f), 150.0f));
    fillShape(canvas, [&](glm::vec2 p) { return ringDistance(p, centre, 106.0f, 5.0f); },
              verticalGradient(boostLight, boostDark, 20.0f, 236.0f));
    const std::vector<glm::vec2> bolt = {{146.0f, 30.0f}, {72.0f, 140.0f}, {120.0f, 140.0f}, {98.0f, 228.0f},
                                         {186.0f, 110.0f}, {136.0f, 110.0f}, {172.0f, 30.0f}};
    Mask boltMask = shapeMask(iconSize, iconSize, [&](glm::vec2 p) { return polygonDistance(p, bolt); });
    drawLettering(canvas, boltMask, rgb(255, 244, 150), boostDark, 30.0f, 228.0f, 5.0f, 5, 3);
    return canvas;
}

} // namespace

bool generateHudImages(const std::string& dataDir) {
    Font font;
    std::string error;
    if (!loadFont(spriteFontPath, font, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    GaugeGeometry gauge;
    if (!measureGauge(gauge, error)) {
        std::fprintf(stderr, "cannot draw the boost gauge: %s\n", error.c_str());
        return false;
    }
    struct Output {
        const char* file;
        Canvas canvas;
        int channels;
    };
    const std::vector<Output> outputs = {
        {"UserInterface/getready.png",
         drawBanner(font, {{"GET", "READY"}, rgb(255, 240, 130), rgb(255, 150, 24)}), 4},
        {"UserInterface/letroll.png",
         drawBanner(font, {{"LET\xE2\x80\x99S", "ROLL!"}, rgb(200, 255, 130), rgb(34, 184, 70)}), 4},
        {"UserInterface/youwon.png", drawWonBanner(font), 4},
        {"UserInterface/youlost.png",
         drawBanner(font, {{"TIME\xE2\x80\x99S UP", "YOU LOST"}, rgb(255, 150, 128), rgb(204, 28, 40)}), 4},
        {"UserInterface/time.png", drawClockIcon(), 4},
        {"UserInterface/timeP.png", drawBar(timeLight, timeDark), 3},
        {"UserInterface/boost_gauge.png", drawGaugeDial(font, gauge), 4},
        {"UserInterface/boost_gauge_pointer.png", drawGaugePointer(), 4},
        {"UserInterface/boost.png", drawBoostIcon(), 4},
        {"UserInterface/boostP.png", drawBar(boostLight, boostDark), 3},
        {"UserInterface/digits.png", drawDigitAtlas(font), 4},
        {"UserInterface/best.png", drawBestLabel(font), 4},
        {"UserInterface/newrecord.png", drawNewRecord(font), 4},
        {"UserInterface/medals.png", drawMedalLabels(font), 4},
        {"UserInterface/paused.png", drawBanner(font, {{"PAUSED"}, timeLight, timeDark}), 4},
    };
    bool ok = true;
    std::printf("gauge: pivot (%.4f, %.4f), needle %.4f..%.4f from it, %.4f thick, points at %.1f deg at boost 0\n",
                gauge.pivot.x, gauge.pivot.y, gauge.needleNear, gauge.needleFar, gauge.needleThickness,
                glm::degrees(gauge.zeroAngle));
    for (const Output& out : outputs) {
        ok = saveDataPng(dataDir, out.file, canvasToImage(out.canvas, out.channels)) && ok;
    }
    return ok;
}
