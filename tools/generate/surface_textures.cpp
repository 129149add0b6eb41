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
#include "core/image_io.h"
#include "core/seeded_random.h"

namespace {

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

bool generateSurfaceTextures(const std::string& dataDir) {
    const GrassMaps grass = paintGrass(valleyDesign().grass, valleyDesign().grassSeed);
    bool ok = saveDataPng(dataDir, "Textures/gras.png", grass.diffuse);
    ok = saveDataPng(dataDir, "Textures/gras_specular.png", grass.specular) && ok;
    ok = saveDataPng(dataDir, "Textures/gras_normals.png", grass.normals) && ok;
    ok = saveDataJpeg(dataDir, "Textures/particle.jpg", paintSpark(), sparkQuality) && ok;
    return ok;
}
