// The sprite drawing surface: signed-distance shapes, coverage masks and the conversion to 8-bit pixels.
#include "core/canvas.h"

#include <algorithm>
#include <cmath>

#include <glm/geometric.hpp>

namespace {

// How far (pixels) the colour of covered pixels is spread into transparent ones; the mipmap chain of a 512 image
// averages blocks up to this size before the sprite is too small to matter.
constexpr int bleedPasses = 24;

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

uint8_t toByte(float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); }

} // namespace

Colour rgb(int r, int g, int b, float opacity) {
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f, opacity};
}

Colour mix(const Colour& from, const Colour& to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Canvas makeCanvas(int width, int height) {
    Canvas canvas;
    canvas.width = std::max(0, width);
    canvas.height = std::max(0, height);
    canvas.rgba.assign(static_cast<std::size_t>(canvas.width) * static_cast<std::size_t>(canvas.height) * 4, 0.0f);
    return canvas;
}

float Mask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0.0f;
    }
    return coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
}

Mask makeMask(int width, int height) {
    Mask mask;
    mask.width = std::max(0, width);
    mask.height = std::max(0, height);
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0.0f);
    return mask;
}

Paint solidPaint(const Colour& colour) {
    return [colour](glm::vec2) { return colour; };
}

Paint verticalGradient(const Colour& top, const Colour& bottom, float y0, float y1) {
    return [=](glm::vec2 p) {
        float t = y1 > y0 ? clamp01((p.y - y0) / (y1 - y0)) : 0.0f;
        return mix(top, bottom, t);
    };
}

Paint radialGradient(const Colour& inner, const Colour& outer, glm::vec2 centre, float radius) {
    return [=](glm::vec2 p) {
        float t = radius > 0.0f ? clamp01(glm::length(p - centre) / radius) : 1.0f;
        return mix(inner, outer, t);
    };
}

float circleDistance(glm::vec2 p, glm::vec2 centre, float radius) { return glm::length(p - centre) - radius; }

float ringDistance(glm::vec2 p, glm::vec2 centre, float radius, float halfThickness) {
    return std::fabs(glm::length(p - centre) - radius) - halfThickness;
}

float roundedRectDistance(glm::vec2 p, glm::vec2 centre, glm::vec2 halfSize, float cornerRadius) {
    glm::vec2 q = glm::abs(p - centre) - halfSize + glm::vec2(cornerRadius);
    glm::vec2 outside = glm::max(q, glm::vec2(0.0f));
    return glm::length(outside) + std::min(std::max(q.x, q.y), 0.0f) - cornerRadius;
}

float segmentDistance(glm::vec2 p, glm::vec2 a, glm::vec2 b, float halfWidth) {
    glm::vec2 ab = b - a;
    float lengthSquared = glm::dot(ab, ab);
    float t = lengthSquared > 0.0f ? clamp01(glm::dot(p - a, ab) / lengthSquared) : 0.0f;
    return glm::length(p - (a + ab * t)) - halfWidth;
}

float polygonDistance(glm::vec2 p, const std::vector<glm::vec2>& corners) {
    if (corners.size() < 3) {
        return 1e9f;
    }
    // Distance to the nearest edge; the sign flips once for every edge a ray from p crosses (inside: odd).
    float best = glm::dot(p - corners[0], p - corners[0]);
    float sign = 1.0f;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i, ++i) {
        glm::vec2 e = corners[j] - corners[i];
        glm::vec2 w = p - corners[i];
        glm::vec2 b = w - e * clamp01(glm::dot(w, e) / glm::dot(e, e));
        best = std::min(best, glm::dot(b, b));
        bool c1 = p.y >= corners[i].y;
        bool c2 = p.y < corners[j].y;
        bool c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) {
            sign = -sign;
        }
    }
    return sign * std::sqrt(best);
}

Mask shapeMask(int width, int height, const Distance& distance) {
    Mask mask = makeMask(width, height);
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float d = distance(glm::vec2(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
            mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                          static_cast<std::size_t>(x)] = clamp01(0.5f - d);
        }
    }
    return mask;
}

void fillMask(Canvas& canvas, const Mask& mask, const Paint& paint, float opacity) {
    int width = std::min(canvas.width, mask.width);
    int height = std::min(canvas.height, mask.height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float cover = mask.at(x, y) * opacity;
            if (cover <= 0.0f) {
                continue;
            }
            Colour c = paint(glm::vec2(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
            float a = clamp01(c.a * cover);
            float* px = &canvas.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width) +
                                      static_cast<std::size_t>(x)) * 4];
            px[0] = c.r * a + px[0] * (1.0f - a);
            px[1] = c.g * a + px[1] * (1.0f - a);
            px[2] = c.b * a + px[2] * (1.0f - a);
            px[3] = a + px[3] * (1.0f - a);
        }
    }
}

void fillShape(Canvas& canvas, const Distance& distance, const Paint& paint, float opacity) {
    fillMask(canvas, shapeMask(canvas.width, canvas.height, distance), paint, opacity);
}

Mask dilateMask(const Mask& mask, float radius) {
    Mask out = makeMask(mask.width, mask.height);
    int reach = static_cast<int>(std::ceil(radius + 0.5f));
    // The brush: weight of a source pixel at each offset, 1 inside the radius, fading over the last pixel.
    std::vector<float> brush;
    std::vector<int> brushX;
    std::vector<int> brushY;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            float w = clamp01(radius + 0.5f - std::sqrt(static_cast<float>(dx * dx + dy * dy)));
            if (w > 0.0f) {
                brush.push_back(w);
                brushX.push_back(dx);
                brushY.push_back(dy);
            }
        }
    }
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float best = 0.0f;
            for (std::size_t k = 0; k < brush.size() && best < 1.0f; ++k) {
                best = std::max(best, mask.at(x + brushX[k], y + brushY[k]) * brush[k]);
            }
            out.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                         static_cast<std::size_t>(x)] = best;
        }
    }
    return out;
}

Mask blurMask(const Mask& mask, int radius) {
    if (radius <= 0) {
        return mask;
    }
    Mask a = mask;
    Mask b = makeMask(mask.width, mask.height);
    float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                float sum = 0.0f;
                for (int k = -radius; k <= radius; ++k) {
                    sum += a.at(x + k, y);
                }
                b.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(b.width) +
                           static_cast<std::size_t>(x)] = sum * norm;
            }
        }
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                float sum = 0.0f;
                for (int k = -radius; k <= radius; ++k) {
                    sum += b.at(x, y + k);
                }
                a.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(a.width) +
                           static_cast<std::size_t>(x)] = sum * norm;
            }
        }
    }
    return a;
}

Mask shiftMask(const Mask& mask, int dx, int dy) {
    Mask out = makeMask(mask.width, mask.height);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                         static_cast<std::size_t>(x)] = mask.at(x - dx, y - dy);
        }
    }
    return out;
}

Mask subtractMask(const Mask& a, const Mask& b) {
    Mask out = a;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                         static_cast<std::size_t>(x)] *= 1.0f - b.at(x, y);
        }
    }
    return out;
}

Image8 canvasToImage(const Canvas& canvas, int channels) {
    Image8 image;
    image.width = canvas.width;
    image.height = canvas.height;
    image.channels = channels == 3 ? 3 : 4;
    std::size_t count = static_cast<std::size_t>(canvas.width) * static_cast<std::size_t>(canvas.height);

    // Straight colour of every pixel that keeps some alpha after rounding; the others are filled in below.
    std::vector<float> colour(count * 3, 0.0f);
    std::vector<uint8_t> alpha(count, 0);
    std::vector<bool> known(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        float a = canvas.rgba[i * 4 + 3];
        alpha[i] = toByte(a);
        if (image.channels == 3 || alpha[i] > 0) {
            for (int c = 0; c < 3; ++c) {
                colour[i * 3 + c] = a > 0.0f ? canvas.rgba[i * 4 + c] / a : 0.0f;
            }
            known[i] = true;
        }
    }
    if (image.channels == 4) {
        int width = canvas.width;
        int height = canvas.height;
        for (int pass = 0; pass < bleedPasses; ++pass) {
            std::vector<std::size_t> filled;
            std::vector<float> filledColour;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                    static_cast<std::size_t>(x);
                    if (known[i]) {
                        continue;
                    }
                    float sum[3] = {0.0f, 0.0f, 0.0f};
                    int n = 0;
                    for (int dy = -1; dy <= 1; ++dy) {
                        for (int dx = -1; dx <= 1; ++dx) {
                            int nx = x + dx;
                            int ny = y + dy;
                            if (nx < 0 || ny < 0 || nx >= width || ny >= height) {
                                continue;
                            }
                            std::size_t j = static_cast<std::size_t>(ny) * static_cast<std::size_t>(width) +
                                            static_cast<std::size_t>(nx);
                            if (known[j]) {
                                for (int c = 0; c < 3; ++c) {
                                    sum[c] += colour[j * 3 + c];
                                }
                                ++n;
                            }
                        }
                    }
                    if (n > 0) {
                        filled.push_back(i);
                        for (float s : sum) {
                            filledColour.push_back(s / static_cast<float>(n));
                        }
                    }
                }
            }
            if (filled.empty()) {
                break;
            }
            for (std::size_t k = 0; k < filled.size(); ++k) {
                known[filled[k]] = true;
                for (int c = 0; c < 3; ++c) {
                    colour[filled[k] * 3 + c] = filledColour[k * 3 + c];
                }
            }
        }
        // Far from every covered pixel: the mean colour, which is what the smallest mip levels show anyway.
        float mean[3] = {0.0f, 0.0f, 0.0f};
        double weight = 0.0;
        for (std::size_t i = 0; i < count; ++i) {
            for (int c = 0; c < 3; ++c) {
                mean[c] += canvas.rgba[i * 4 + c];
            }
            weight += canvas.rgba[i * 4 + 3];
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!known[i]) {
                for (int c = 0; c < 3; ++c) {
                    colour[i * 3 + c] = weight > 0.0 ? static_cast<float>(mean[c] / weight) : 0.0f;
                }
            }
        }
    }

    image.pixels.resize(count * static_cast<std::size_t>(image.channels));
    for (std::size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            image.pixels[i * static_cast<std::size_t>(image.channels) + static_cast<std::size_t>(c)] =
                toByte(colour[i * 3 + c]);
        }
        if (image.channels == 4) {
            image.pixels[i * 4 + 3] = alpha[i];
        }
    }
    return image;
}
