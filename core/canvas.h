// The sprite drawing surface of the generator: anti-aliased shapes from signed distances, coverage masks for
// lettering, outlines and shadows, and the conversion to 8-bit pixels with clean alpha edges.
#pragma once

#include <functional>
#include <vector>

#include <glm/vec2.hpp>

#include "core/image_io.h"

// Straight (not premultiplied) colour, every channel 0..1.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

// Colour from 0..255 channel values, opacity 0..1.
Colour rgb(int r, int g, int b, float opacity = 1.0f);
Colour mix(const Colour& from, const Colour& to, float t);

// Premultiplied RGBA floats. Pixel (x, y) covers [x, x+1) x [y, y+1) with y growing downwards, so row 0 is the
// top row of the written image; shape coordinates are in these pixel units.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;
};
Canvas makeCanvas(int width, int height);

// A coverage value 0..1 per pixel, laid out like a Canvas.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> coverage;

    float at(int x, int y) const; // 0 outside the mask
};
Mask makeMask(int width, int height);

// Colour of a shape at a pixel centre.
using Paint = std::function<Colour(glm::vec2)>;
// Signed distance in pixels from a pixel centre to a shape's edge, negative inside.
using Distance = std::function<float(glm::vec2)>;

Paint solidPaint(const Colour& colour);
// top at y0, bottom at y1, clamped beyond.
Paint verticalGradient(const Colour& top, const Colour& bottom, float y0, float y1);
Paint radialGradient(const Colour& inner, const Colour& outer, glm::vec2 centre, float radius);

float circleDistance(glm::vec2 p, glm::vec2 centre, float radius);
float ringDistance(glm::vec2 p, glm::vec2 centre, float radius, float halfThickness);
float roundedRectDistance(glm::vec2 p, glm::vec2 centre, glm::vec2 halfSize, float cornerRadius);
// A capsule: every point within halfWidth of the segment a-b.
float segmentDistance(glm::vec2 p, glm::vec2 a, glm::vec2 b, float halfWidth);
// Any simple polygon, corners in order (either winding).
float polygonDistance(glm::vec2 p, const std::vector<glm::vec2>& corners);

// Coverage of a shape, anti-aliased over one pixel across its edge.
Mask shapeMask(int width, int height, const Distance& distance);
// Paints over the canvas where the mask covers it ("over" compositing), scaled by opacity.
void fillMask(Canvas& canvas, const Mask& mask, const Paint& paint, float opacity = 1.0f);
void fillShape(Canvas& canvas, const Distance& distance, const Paint& paint, float opacity = 1.0f);

// Grows the covered area by radius pixels with a round, anti-aliased brush: the outline behind lettering.
Mask dilateMask(const Mask& mask, float radius);
// Softens a mask with two box passes of the given radius (pixels): shadows and glows.
Mask blurMask(const Mask& mask, int radius);
Mask shiftMask(const Mask& mask, int dx, int dy);
// Pixelwise a * (1 - b): the part of a not covered by b.
Mask subtractMask(const Mask& a, const Mask& b);

// 8-bit pixels with 3 or 4 channels. With 4, fully transparent pixels take the colour of the nearest covered
// ones, so filtering and mipmaps never pull a dark fringe into the edges. With 3 the canvas should be opaque;
// whatever alpha is left is dropped.
Image8 canvasToImage(const Canvas& canvas, int channels);
