// The course surface maps (grass diffuse, specular and normal map) and the particle spark sprite.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <stb_perlin.h>

#include "tools/generate/course_designs.h"
#include "tools/generate/generators.h"
#include "tools/generate/image_io.h"
#include "tools/generate/seeded_random.h"

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

// The spark: a hot white core, a warm halo and four soft rays, fading to pure black well inside the square.
constexpr int sparkSize = 128;        // pixels, square
constexpr float sparkCore = 0.10f;    // of the half size
constexpr float sparkHalo = 0.36f;
constexpr float sparkRayLength = 0.85f;
constexpr float sparkRayWidth = 0.035f;
constexpr float sparkFadeStart = 0.70f; // everything is black beyond sparkFadeEnd
constexpr float sparkFadeEnd = 0.92f;
constexpr int sparkQuality = 95;
const glm::vec3 sparkWarm(1.0f, 0.78f, 0.38f);

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

struct GrassMaps {
    Image8 diffuse, specular, normals;
};

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

Image8 paintSpark() {
    Image8 image = makeRgbImage(sparkSize, sparkSize);
    const float half = sparkSize * 0.5f;
    for (int y = 0; y < sparkSize; ++y) {
        for (int x = 0; x < sparkSize; ++x) {
            // Offsets in half sizes from the centre, which lies between the four middle pixels.
            const float dx = (x + 0.5f - half) / half;
            const float dy = (y + 0.5f - half) / half;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float core = std::exp(-(r * r) / (sparkCore * sparkCore));
            const float halo = 0.65f * std::exp(-(r * r) / (sparkHalo * sparkHalo));
            // Rays along the axes, thinning and fading with distance.
            const float along = std::max(std::fabs(dx), std::fabs(dy));
            const float across = std::min(std::fabs(dx), std::fabs(dy));
            const float rayWidth = sparkRayWidth * (1.0f - 0.7f * std::min(along / sparkRayLength, 1.0f));
            const float ray = 0.6f * std::exp(-(across * across) / (rayWidth * rayWidth)) *
                              std::max(0.0f, 1.0f - along / sparkRayLength);
            const float fade = 1.0f - glm::smoothstep(sparkFadeStart, sparkFadeEnd, r);
            const glm::vec3 light = (glm::vec3(core) + (halo + ray) * sparkWarm) * fade;
            setRgb(image, x, y, glm::min(light, glm::vec3(1.0f)));
        }
    }
    return image;
}

} // namespace

Image8 paintGrassDiffuse(const GrassTint& tint, uint32_t seed) {
    return paintGrass(tint, seed).diffuse;
}

bool generateSurfaceTextures(const std::string& dataDir) {
    const GrassMaps grass = paintGrass(valleyDesign().grass, valleyDesign().grassSeed);
    bool ok = saveDataPng(dataDir, "Textures/gras.png", grass.diffuse);
    ok = saveDataPng(dataDir, "Textures/gras_specular.png", grass.specular) && ok;
    ok = saveDataPng(dataDir, "Textures/gras_normals.png", grass.normals) && ok;
    ok = saveDataJpeg(dataDir, "Textures/particle.jpg", paintSpark(), sparkQuality) && ok;
    return ok;
}
