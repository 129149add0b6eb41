// The courses' pictures: the grass maps and the menu's small shaded map of a course.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <stb_perlin.h>

#include "core/canvas.h"
#include "core/course_design.h"
#include "core/route.h"
#include "core/seeded_random.h"

namespace {

// The terrain stretches one copy of the grass over 20 world units and mirrors it at every edge, so the picture
// need not wrap, but its edges meet their own mirror image.
constexpr int grassSize = 512;          // pixels, square
constexpr int bladeCount = 15000;
constexpr float bladeLengthMin = 7.0f;  // pixels (one pixel is 4 cm of ground)
constexpr float bladeLengthMax = 16.0f;
constexpr float bladeWidthMin = 1.1f;   // pixels at the root; blades taper to a point
constexpr float bladeWidthMax = 2.2f;
constexpr float patchScale = 1.0f / 150.0f; // noise cycles per pixel of the light and dark patches
constexpr float reliefStrength = 2.2f;  // normal-map slope per unit of height per pixel: a modest relief
constexpr float specularBase = 0.06f;   // soil and roots
constexpr float specularTip = 0.20f;    // sunlit blade tips, still dull

constexpr float dryBladeShare = 0.06f;

struct FloatImage {
    int size = 0;
    std::vector<float> values;

    explicit FloatImage(int s) : size(s), values(static_cast<std::size_t>(s) * s, 0.0f) {}
    float& at(int x, int y) { return values[static_cast<std::size_t>(y) * size + x]; }
    // Reads past an edge as the mirror image, as the terrain repeats the picture.
    float mirrored(int x, int y) const {
        x = x < 0 ? -x - 1 : (x >= size ? 2 * size - x - 1 : x);
        y = y < 0 ? -y - 1 : (y >= size ? 2 * size - y - 1 : y);
        return values[static_cast<std::size_t>(y) * size + x];
    }
};


} // namespace

Colour terrainColour(double y, double slope) {
    // Low meadows to high rock and snow, darker where steep.
    Colour c = y < -40.0 ? mix(rgb(70, 120, 60), rgb(96, 150, 70), static_cast<float>((y + 80.0) / 40.0))
             : y < 30.0  ? mix(rgb(96, 150, 70), rgb(150, 160, 90), static_cast<float>((y + 40.0) / 70.0))
             : y < 75.0  ? mix(rgb(150, 160, 90), rgb(140, 120, 100), static_cast<float>((y - 30.0) / 45.0))
                         : mix(rgb(140, 120, 100), rgb(240, 240, 245), static_cast<float>((y - 75.0) / 25.0));
    return mix(c, rgb(110, 100, 90), static_cast<float>(std::clamp(slope / 2.5, 0.0, 0.6)));
}

// Paints blades one over the other in a fixed random order: each blade is a tapering stroke that rises from its
// root to its tip, so the height field it leaves gives the normal map its relief.
GrassMaps paintGrass(const GrassTint& colours, uint32_t grassSeed) {
    const int n = grassSize;
    std::vector<glm::vec3> colour(static_cast<std::size_t>(n) * n);
    FloatImage height(n);
    FloatImage shine(n);

    // Soil between the blades, mottled.
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float mottle = stb_perlin_fbm_noise3(x / 24.0f, y / 24.0f, 3.5f, 2.0f, 0.5f, 3);
            colour[static_cast<std::size_t>(y) * n + x] = colours.soil * (1.0f + 0.25f * mottle);
        }
    }

    SeededRandom random(grassSeed);
    for (int b = 0; b < bladeCount; ++b) {
        const glm::vec2 root(random.range(-8.0f, n + 8.0f), random.range(-8.0f, n + 8.0f));
        const float angle = random.range(0.0f, 6.2831853f);
        const float length = random.range(bladeLengthMin, bladeLengthMax);
        const float width = random.range(bladeWidthMin, bladeWidthMax);
        const glm::vec2 tip = root + length * glm::vec2(std::cos(angle), std::sin(angle));
        // Patches of lusher and paler grass, so a large lawn does not look printed.
        const float patch = 0.5f + 0.5f * stb_perlin_fbm_noise3(root.x * patchScale, root.y * patchScale, 0.7f,
                                                                2.0f, 0.5f, 4);
        glm::vec3 tint = glm::mix(colours.dark, colours.light,
                                  glm::clamp(0.25f + 0.6f * patch + random.range(-0.25f, 0.25f), 0.0f, 1.0f));
        if (random.unit() < dryBladeShare) {
            tint = glm::mix(tint, colours.dry, 0.7f);
        }
        const float rise = random.range(0.6f, 1.0f);

        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(root.x, tip.x) - width - 1)));
        const int x1 = std::min(n - 1, static_cast<int>(std::ceil(std::max(root.x, tip.x) + width + 1)));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(root.y, tip.y) - width - 1)));
        const int y1 = std::min(n - 1, static_cast<int>(std::ceil(std::max(root.y, tip.y) + width + 1)));
        const glm::vec2 axis = tip - root;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const glm::vec2 p(x + 0.5f, y + 0.5f);
                const float t = glm::clamp(glm::dot(p - root, axis) / glm::dot(axis, axis), 0.0f, 1.0f);
                const float halfWidth = 0.5f * width * (1.0f - t) + 0.15f;
                const float coverage = glm::clamp(halfWidth - glm::length(p - (root + t * axis)) + 0.5f, 0.0f, 1.0f);
                if (coverage <= 0.0f) {
                    continue;
                }
                // Blades lighten towards their tips, where they catch more sky.
                const glm::vec3 bladeColour = tint * (0.85f + 0.3f * t);
                const std::size_t i = static_cast<std::size_t>(y) * n + x;
                colour[i] = glm::mix(colour[i], bladeColour, coverage);
                height.at(x, y) = glm::mix(height.at(x, y), rise * (0.35f + 0.65f * t), coverage);
                shine.at(x, y) = glm::mix(shine.at(x, y), t, coverage);
            }
        }
    }

    GrassMaps maps{makeRgbImage(n, n), makeRgbImage(n, n), makeRgbImage(n, n)};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const float h = height.at(x, y);
            // Deep gaps between blades get less light.
            const float occlusion = 0.80f + 0.20f * glm::clamp(h, 0.0f, 1.0f);
            setRgb(maps.diffuse, x, y, colour[static_cast<std::size_t>(y) * n + x] * occlusion);
            const float s = specularBase + (specularTip - specularBase) * shine.at(x, y) * h;
            setRgb(maps.specular, x, y, glm::vec3(s));
            // Red follows the columns (the tangent), green the rows (the bitangent); a surface z = h(x, y) has
            // the normal (-dh/dx, -dh/dy, 1).
            const float dx = (height.mirrored(x + 1, y) - height.mirrored(x - 1, y)) * 0.5f;
            const float dy = (height.mirrored(x, y + 1) - height.mirrored(x, y - 1)) * 0.5f;
            const glm::vec3 normal = glm::normalize(glm::vec3(-reliefStrength * dx, -reliefStrength * dy, 1.0f));
            setRgb(maps.normals, x, y, normal * 0.5f + 0.5f);
        }
    }
    return maps;
}

Image8 paintGrassDiffuse(const GrassTint& tint, uint32_t seed) {
    return paintGrass(tint, seed).diffuse;
}

Image8 coursePicture(const HeightGrid& grid, const Course& course, int size) {
    const double step = static_cast<double>(grid.width) / size; // samples per picture pixel
    auto h = [&](double x, double z) {
        int ix = std::clamp(static_cast<int>(x), 0, grid.width - 1);
        int iz = std::clamp(static_cast<int>(z), 0, grid.height - 1);
        return 100.0 * grid.samples[static_cast<std::size_t>(iz) * grid.width + ix] / 32767.0;
    };
    Canvas map = makeCanvas(size, size);
    const glm::dvec3 light = glm::normalize(glm::dvec3(-1.0, 1.6, -1.0));
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            // The pixel's middle on the grid, with the slope measured across the whole pixel.
            double x = (px + 0.5) * step;
            double z = (py + 0.5) * step;
            double dx = (h(x + step, z) - h(x - step, z)) / (2.0 * step);
            double dz = (h(x, z + step) - h(x, z - step)) / (2.0 * step);
            glm::dvec3 normal = glm::normalize(glm::dvec3(-dx, 1.0, -dz));
            double shade = 0.35 + 0.75 * std::max(0.0, glm::dot(normal, light));
            Colour c = terrainColour(h(x, z), std::sqrt(dx * dx + dz * dz));
            std::size_t i = (static_cast<std::size_t>(py) * size + static_cast<std::size_t>(px)) * 4;
            map.rgba[i] = static_cast<float>(std::min(1.0, c.r * shade));
            map.rgba[i + 1] = static_cast<float>(std::min(1.0, c.g * shade));
            map.rgba[i + 2] = static_cast<float>(std::min(1.0, c.b * shade));
            map.rgba[i + 3] = 1.0f;
        }
    }
    const float scale = static_cast<float>(size) / static_cast<float>(grid.width);
    auto toMap = [&](glm::vec2 world) {
        return (world + glm::vec2(static_cast<float>(grid.width / 2), static_cast<float>(grid.height / 2))) * scale;
    };
    std::vector<glm::vec2> line;
    for (const RouteSample& sample : sampleRoute(course.route, 2.0f).samples) {
        line.push_back(toMap(sample.position));
    }
    fillShape(map,
              [&line](glm::vec2 p) {
                  float d = 1e9f;
                  for (std::size_t j = 0; j + 1 < line.size(); ++j) {
                      d = std::min(d, segmentDistance(p, line[j], line[j + 1], 0.6f));
                  }
                  return d;
              },
              solidPaint(rgb(255, 255, 255, 0.85f)));
    for (std::size_t i = 0; i < course.checkpoints.size(); ++i) {
        glm::vec2 c = toMap(glm::vec2(course.checkpoints[i].x, course.checkpoints[i].z));
        Colour colour = i == 0 ? rgb(40, 120, 255) : i == course.goalIndex() ? rgb(255, 40, 40) : rgb(255, 210, 0);
        float radius = i == 0 || i == course.goalIndex() ? 3.0f : 2.0f;
        fillShape(map, [&](glm::vec2 p) { return circleDistance(p, c, radius); }, solidPaint(colour));
    }
    return canvasToImage(map, 3);
}

