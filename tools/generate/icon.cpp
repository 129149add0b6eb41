// The application icon: a white golf ball beside a red flag on a green, in the sizes desktops look for.
#include <algorithm>
#include <cmath>
#include <string>

#include <glm/geometric.hpp>

#include "core/canvas.h"
#include "tools/generate/generators.h"

namespace {

constexpr int masterSize = 1024;                 // pixels; every size is boxed down from this one
constexpr int iconSizes[] = {256, 128, 64, 48, 32, 16};
const Colour grassTop = rgb(120, 206, 84);
const Colour grassBottom = rgb(34, 120, 44);
const Colour edgeDark = rgb(14, 58, 24);
const Colour ballLight = rgb(255, 255, 255);
const Colour ballShade = rgb(170, 182, 200);
const Colour dimple = rgb(120, 132, 150, 0.45f);
const Colour flagRed = rgb(226, 40, 36);
const Colour stickGrey = rgb(236, 236, 232);
const Colour holeDark = rgb(10, 30, 14);

Canvas drawMaster() {
    Canvas c = makeCanvas(masterSize, masterSize);
    const float s = static_cast<float>(masterSize);
    const glm::vec2 middle(s * 0.5f, s * 0.5f);
    // The green: a rounded square with a darker rim, so it stands out on light and dark panels alike.
    fillShape(c, [&](glm::vec2 p) { return roundedRectDistance(p, middle, glm::vec2(s * 0.46f), s * 0.16f); },
              solidPaint(edgeDark));
    fillShape(c, [&](glm::vec2 p) { return roundedRectDistance(p, middle, glm::vec2(s * 0.43f), s * 0.14f); },
              verticalGradient(grassTop, grassBottom, s * 0.1f, s * 0.9f));
    // The hole with its flag, back right.
    const glm::vec2 hole(s * 0.66f, s * 0.70f);
    fillShape(c, [&](glm::vec2 p) {
        const glm::vec2 d = (p - hole) / glm::vec2(1.0f, 0.42f);
        return std::sqrt(d.x * d.x + d.y * d.y) * 0.42f - s * 0.055f;
    }, solidPaint(holeDark));
    const glm::vec2 top(hole.x, s * 0.17f);
    fillShape(c, [&](glm::vec2 p) { return segmentDistance(p, hole, top, s * 0.014f); }, solidPaint(stickGrey));
    fillShape(c, [&](glm::vec2 p) {
        return polygonDistance(p, {top, {top.x + s * 0.22f, top.y + s * 0.08f}, {top.x, top.y + s * 0.17f}});
    }, verticalGradient(flagRed, rgb(168, 20, 24), top.y, top.y + s * 0.17f));
    // The ball, front left, lit from the upper left with a few dimples.
    const glm::vec2 ball(s * 0.38f, s * 0.60f);
    const float radius = s * 0.20f;
    fillShape(c, [&](glm::vec2 p) { return circleDistance(p, ball + glm::vec2(s * 0.03f, s * 0.04f), radius); },
              solidPaint(rgb(0, 0, 0, 0.35f)));
    fillShape(c, [&](glm::vec2 p) { return circleDistance(p, ball, radius); },
              radialGradient(ballLight, ballShade, ball - glm::vec2(radius * 0.4f), radius * 1.5f));
    for (int row = -2; row <= 2; ++row) {
        for (int column = -2; column <= 2; ++column) {
            const glm::vec2 at = ball + glm::vec2(column + (row % 2 != 0 ? 0.5f : 0.0f), row) * (radius * 0.36f);
            if (glm::length(at - ball) < radius * 0.8f) {
                fillShape(c, [&](glm::vec2 p) { return circleDistance(p, at, radius * 0.08f); }, solidPaint(dimple));
            }
        }
    }
    return c;
}

// Box filter down by a whole factor: every output pixel averages its block of premultiplied colour.
Canvas shrink(const Canvas& from, int size) {
    Canvas to = makeCanvas(size, size);
    const int factor = from.width / size;
    const float area = static_cast<float>(factor * factor);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            for (int channel = 0; channel < 4; ++channel) {
                float sum = 0.0f;
                for (int dy = 0; dy < factor; ++dy) {
                    for (int dx = 0; dx < factor; ++dx) {
                        const int sx = x * factor + dx, sy = y * factor + dy;
                        sum += from.rgba[(static_cast<std::size_t>(sy) * from.width + sx) * 4 + channel];
                    }
                }
                to.rgba[(static_cast<std::size_t>(y) * size + x) * 4 + channel] = sum / area;
            }
        }
    }
    return to;
}

} // namespace

bool generateIcon(const std::string& dataDir) {
    const Canvas master = drawMaster();
    bool ok = true;
    for (int size : iconSizes) {
        const std::string file = "Icons/kelvara-golf-" + std::to_string(size) + ".png";
        ok = saveDataPng(dataDir, file, canvasToImage(shrink(master, size), 4)) && ok;
    }
    return ok;
}
