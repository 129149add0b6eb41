// The shared look of the HUD sprites: outlined, shadowed lettering and the sparkles around it.
#include "tools/generate/hud_style.h"

#include <cmath>
#include <vector>

#include <glm/trigonometric.hpp>

void drawLettering(Canvas& canvas, const Mask& text, const Colour& top, const Colour& bottom, float yTop,
                   float yBottom, float outline, int shadowOffset, int shadowBlur) {
    Mask outlined = dilateMask(text, outline);
    Mask shadow = blurMask(shiftMask(outlined, shadowOffset / 2, shadowOffset), shadowBlur);
    fillMask(canvas, shadow, solidPaint(shadowColour));
    fillMask(canvas, outlined, solidPaint(inkDark));
    fillMask(canvas, text, verticalGradient(top, bottom, yTop, yBottom));
    // A thin light edge along the top of every letter gives the fill some depth.
    Mask rim = subtractMask(text, shiftMask(text, 0, 3));
    fillMask(canvas, rim, solidPaint(rgb(255, 255, 255, 0.55f)));
}

void drawSparkle(Canvas& canvas, glm::vec2 centre, float radius) {
    std::vector<glm::vec2> corners;
    for (int k = 0; k < 8; ++k) {
        float angle = static_cast<float>(k) * glm::radians(45.0f);
        float r = (k % 2 == 0) ? radius : radius * 0.28f;
        corners.push_back(centre + r * glm::vec2(std::sin(angle), -std::cos(angle)));
    }
    Mask mask = shapeMask(canvas.width, canvas.height, [&](glm::vec2 p) { return polygonDistance(p, corners); });
    fillMask(canvas, dilateMask(mask, 3.0f), solidPaint(inkDark));
    fillMask(canvas, mask, solidPaint(rgb(255, 246, 190)));
}
