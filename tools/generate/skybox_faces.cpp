// The mountain sky box: six cube-map faces shaded as a function of the view direction (sky, sun, clouds, a ring
// of snowy ranges, the valley floor), and a panorama preview resampled from the written faces.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <stb_image.h>
#include <stb_perlin.h>

#include "tools/generate/generators.h"
#include "core/image_io.h"

namespace {

constexpr int faceSize = 1024; // pixels, square
constexpr int faceQuality = 90;
constexpr float pi = 3.14159265f;

// In upload order: face i goes to GL_TEXTURE_CUBE_MAP_POSITIVE_X + i.
const std::array<const char*, 6> faceFiles = {"posx.jpg", "negx.jpg", "posy.jpg", "negy.jpg", "posz.jpg", "negz.jpg"};
constexpr const char* faceFolder = "Skybox/mountain-skyboxes/Maskonaive/";

// The sun stands where the scene's light comes from: the light travels along (0, -1, -1).
const glm::vec3 sunDirection = glm::normalize(glm::vec3(0.0f, 1.0f, 1.0f));
constexpr float sunRadius = 0.022f; // radians, drawn larger than life so it reads at a distance

// Sky colours; everything but the sun's disc stays below 0.95 so reflections of the sky do not bloom.
const glm::vec3 zenithColour(0.20f, 0.40f, 0.74f);
const glm::vec3 horizonColour(0.70f, 0.80f, 0.90f);
const glm::vec3 sunGlowColour(1.00f, 0.90f, 0.70f);
const glm::vec3 cloudLit(0.94f, 0.94f, 0.95f);
const glm::vec3 cloudShade(0.58f, 0.63f, 0.72f);
constexpr float cloudScale = 1.7f;       // noise cycles per unit of the cloud plane
constexpr float cloudPlaneLift = 0.18f;  // keeps the flattening towards the horizon finite

// The ranges around the course, farthest first. Heights are elevation angles in radians above the horizon.
struct RangeLayer {
    float base;         // foot of the peaks
    float relief;       // peaks reach base + relief
    float noiseRadius;  // of the circle the ridge noise is read on: more = more peaks around the ring
    float seed;         // third noise coordinate, one per layer
    float snowline;     // radians; above it the rock turns white (above pi: no snow)
    float haze;         // how much of the horizon colour veils the layer
    float reliefFrequency; // noise cycles per radian of the rock faces' relief
    glm::vec3 rockDark, rockLight;
};
const std::array<RangeLayer, 4> rangeLayers = {{
    {0.045f, 0.34f, 3.2f, 11.5f, 0.135f, 0.40f, 26.0f, {0.30f, 0.33f, 0.40f}, {0.52f, 0.55f, 0.62f}},
    {0.030f, 0.20f, 4.5f, 27.3f, 0.105f, 0.27f, 36.0f, {0.24f, 0.26f, 0.28f}, {0.46f, 0.46f, 0.47f}},
    {0.012f, 0.075f, 6.0f, 41.9f, 0.080f, 0.18f, 48.0f, {0.10f, 0.17f, 0.10f}, {0.26f, 0.31f, 0.20f}},
    {-0.006f, 0.040f, 8.0f, 55.1f, 10.0f, 0.07f, 60.0f, {0.07f, 0.13f, 0.06f}, {0.18f, 0.25f, 0.12f}},
}};
constexpr float rangeBrightest = 0.90f;  // sunlit snow; only the sun's disc is whiter
constexpr int ridgeSamples = 32768;      // around the ring, per layer; far finer than a texel
constexpr int slopeWindow = 96;          // samples either side for the skyline's slope
const glm::vec3 snowColour(0.93f, 0.94f, 0.97f);
const glm::vec3 meadowColour(0.20f, 0.31f, 0.11f);
const glm::vec3 forestColour(0.07f, 0.15f, 0.07f);
constexpr float valleyTop = -0.015f; // radians: the nearest range's foot fades into the valley floor below this

// Preview panorama, equirectangular.
constexpr int previewWidth = 2048;
constexpr int previewHeight = 1024;

// Direction of face coordinates (s, t), both 0..1, with t growing down the stored rows: the inverse of the
// cube-map lookup, whose major axis ma gives sc and tc per face as
//   +X: (-z, -y)  -X: (+z, -y)  +Y: (+x, +z)  -Y: (+x, -z)  +Z: (+x, -y)  -Z: (-x, -y)
// with s = (sc / |ma| + 1) / 2 and t = (tc / |ma| + 1) / 2. Row 0 of an uploaded image is t = 0.
glm::vec3 faceDirection(int face, float s, float t) {
    const float sc = 2.0f * s - 1.0f;
    const float tc = 2.0f * t - 1.0f;
    switch (face) {
    case 0: return {1.0f, -tc, -sc};
    case 1: return {-1.0f, -tc, sc};
    case 2: return {sc, 1.0f, tc};
    case 3: return {sc, -1.0f, -tc};
    case 4: return {sc, -tc, 1.0f};
    default: return {-sc, -tc, -1.0f};
    }
}

// The face and (s, t) the cube-map lookup reads for a direction.
void lookUpFace(const glm::vec3& d, int& face, float& s, float& t) {
    const glm::vec3 a = glm::abs(d);
    float sc, tc, ma;
    if (a.x >= a.y && a.x >= a.z) {
        face = d.x >= 0.0f ? 0 : 1;
        sc = d.x >= 0.0f ? -d.z : d.z;
        tc = -d.y;
        ma = a.x;
    } else if (a.y >= a.z) {
        face = d.y >= 0.0f ? 2 : 3;
        sc = d.x;
        tc = d.y >= 0.0f ? d.z : -d.z;
        ma = a.y;
    } else {
        face = d.z >= 0.0f ? 4 : 5;
        sc = d.z >= 0.0f ? d.x : -d.x;
        tc = -d.y;
        ma = a.z;
    }
    s = (sc / ma + 1.0f) * 0.5f;
    t = (tc / ma + 1.0f) * 0.5f;
}

// Ridge height of each range around the ring, tabulated once: azimuth 0 looks along +z, towards the sun.
struct RidgeTable {
    std::array<std::vector<float>, rangeLayers.size()> heights;

    RidgeTable() {
        for (std::size_t k = 0; k < rangeLayers.size(); ++k) {
            const RangeLayer& layer = rangeLayers[k];
            heights[k].resize(ridgeSamples);
            for (int i = 0; i < ridgeSamples; ++i) {
                // Noise read on a circle, so the ring closes on itself without a seam.
                const float azimuth = 2.0f * pi * static_cast<float>(i) / ridgeSamples;
                const float x = std::cos(azimuth) * layer.noiseRadius;
                const float z = std::sin(azimuth) * layer.noiseRadius;
                const float ridged = stb_perlin_ridge_noise3(x, z, layer.seed, 2.0f, 0.5f, 1.0f, 6);
                const float rolling = 0.5f + 0.5f * stb_perlin_fbm_noise3(x * 0.5f, z * 0.5f, layer.seed + 3.0f,
                                                                          2.0f, 0.5f, 3);
                // Sharp ridges on broad massifs, with low saddles between them.
                const float shape = glm::clamp(0.35f * ridged * ridged + 0.75f * rolling * rolling, 0.0f, 1.2f);
                heights[k][static_cast<std::size_t>(i)] = layer.base + layer.relief * shape;
            }
        }
    }

    // Linear between samples; also the slope along the ring in radians of height per radian of azimuth.
    float at(std::size_t layer, float azimuth, float* slope = nullptr) const {
        float f = azimuth / (2.0f * pi) * ridgeSamples;
        f -= std::floor(f / ridgeSamples) * ridgeSamples;
        const int i0 = static_cast<int>(f) % ridgeSamples;
        const int i1 = (i0 + 1) % ridgeSamples;
        const float w = f - std::floor(f);
        const std::vector<float>& h = heights[layer];
        if (slope != nullptr) {
            // Over about a degree either side, so single jags of the skyline do not streak the face below them.
            const int a = (i0 + ridgeSamples - slopeWindow) % ridgeSamples;
            const int b = (i0 + slopeWindow) % ridgeSamples;
            *slope = (h[static_cast<std::size_t>(b)] - h[static_cast<std::size_t>(a)]) /
                     (2.0f * slopeWindow * 2.0f * pi / ridgeSamples);
        }
        return h[static_cast<std::size_t>(i0)] * (1.0f - w) + h[static_cast<std::size_t>(i1)] * w;
    }
};

glm::vec3 skyColour(const glm::vec3& d) {
    const float up = std::max(d.y, 0.0f);
    glm::vec3 colour = glm::mix(horizonColour, zenithColour, glm::smoothstep(0.0f, 1.0f, std::pow(up, 0.55f)));

    // Soft clouds on a plane above the valley, thinning out towards the horizon and the zenith's blue.
    if (d.y > 0.0f) {
        const float lift = d.y + cloudPlaneLift;
        const glm::vec2 p(d.x / lift * cloudScale, d.z / lift * cloudScale);
        const float density = stb_perlin_fbm_noise3(p.x, p.y, 0.37f, 2.0f, 0.5f, 5);
        // Denser cloud towards the sun means this point lies in the cloud's shade.
        const glm::vec2 towardSun = glm::normalize(glm::vec2(sunDirection.x, sunDirection.z)) * 0.08f;
        const float ahead = stb_perlin_fbm_noise3(p.x + towardSun.x, p.y + towardSun.y, 0.37f, 2.0f, 0.5f, 5);
        float cover = glm::smoothstep(0.02f, 0.42f, density + 0.05f);
        cover *= glm::smoothstep(0.015f, 0.16f, d.y) * (1.0f - 0.35f * glm::smoothstep(0.6f, 1.0f, d.y));
        const glm::vec3 cloud = glm::mix(cloudShade, cloudLit, glm::clamp(0.65f + 2.2f * (density - ahead), 0.0f, 1.0f));
        colour = glm::mix(colour, cloud, cover * 0.9f);
    }

    // Glow around the sun, then its disc, drawn over thin cloud.
    const float toSun = glm::dot(d, sunDirection);
    const float glow = 0.22f * std::pow(std::max(toSun, 0.0f), 8.0f) + 0.35f * std::pow(std::max(toSun, 0.0f), 90.0f);
    colour = glm::mix(colour, sunGlowColour, glm::clamp(glow, 0.0f, 0.8f));
    const float disc = glm::smoothstep(std::cos(sunRadius * 1.15f), std::cos(sunRadius * 0.85f), toSun);
    colour = glm::mix(colour, glm::vec3(1.0f, 0.99f, 0.96f), disc);
    return colour;
}

glm::vec3 valleyColour(const glm::vec3& d) {
    // Fields and woods on the valley floor, read on the ground plane; the plane's far part melts into the haze.
    const float down = std::max(-d.y, 0.004f);
    const glm::vec2 ground(d.x / down, d.z / down);
    const float woods = stb_perlin_fbm_noise3(ground.x * 0.9f, ground.y * 0.9f, 5.3f, 2.0f, 0.5f, 4);
    glm::vec3 colour = glm::mix(meadowColour, forestColour, 0.25f + 0.5f * glm::smoothstep(-0.2f, 0.3f, woods));
    colour *= 0.85f + 0.3f * stb_perlin_noise3(ground.x * 2.0f, ground.y * 2.0f, 9.1f, 0, 0, 0);
    const float haze = std::exp(-down * 9.0f);
    return glm::mix(colour, horizonColour * 0.92f, haze * 0.85f);
}

glm::vec3 rangeColour(std::size_t k, const RidgeTable& ridges, const glm::vec3& d, float azimuth, float elevation) {
    const RangeLayer& layer = rangeLayers[k];
    float slope = 0.0f;
    ridges.at(k, azimuth, &slope);
    // The range's face is a relief of ridged noise seen head-on: its normal faces the viewer, leans back as the
    // slopes rise, turns with the skyline's slope and with the relief's gradient. Lit by the sun over sky light.
    const glm::vec3 outward(std::sin(azimuth), 0.0f, std::cos(azimuth));
    const glm::vec3 along(std::cos(azimuth), 0.0f, -std::sin(azimuth));
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const float frequency = layer.reliefFrequency;
    const auto relief = [&](const glm::vec3& p) {
        return stb_perlin_ridge_noise3(p.x * frequency, p.y * frequency * 1.6f, p.z * frequency + layer.seed, 2.0f,
                                       0.5f, 1.0f, 3);
    };
    constexpr float step = 0.0015f; // radians
    const float here = relief(d);
    const float gradAlong = (relief(d + along * step) - here) / (step * frequency);
    const float gradUp = (relief(d + up * step) - here) / (step * frequency);
    const glm::vec3 normal = glm::normalize(-outward + up * (0.55f - 0.25f * gradUp) -
                                            along * (0.9f * slope + 0.25f * gradAlong));
    const float sun = std::max(glm::dot(normal, sunDirection), 0.0f);
    const float grain = stb_perlin_noise3(d.x * 150.0f, d.y * 150.0f, d.z * 150.0f, 0, 0, 0);
    glm::vec3 rock = glm::mix(layer.rockDark, layer.rockLight, glm::clamp(0.3f * here + 0.25f * grain, 0.0f, 1.0f));

    // Snow above the snowline, lower in the gullies, and only where the face is flat enough to hold it.
    const float gullies = stb_perlin_fbm_noise3(d.x * 120.0f, d.y * 30.0f, d.z * 120.0f, 2.0f, 0.5f, 3);
    const float snow = glm::smoothstep(layer.snowline - 0.012f, layer.snowline + 0.012f,
                                       elevation + 0.02f * gullies + 0.01f * here) *
                       glm::smoothstep(0.12f, 0.32f, normal.y);
    rock = glm::mix(rock, snowColour, snow);
    glm::vec3 colour = rock * (0.40f + 0.70f * sun);

    // Haze: stronger for far ranges and at the foot of each range.
    const float foot = 1.0f - glm::smoothstep(0.0f, 0.07f, elevation - layer.base + 0.02f);
    const float haze = glm::clamp(layer.haze + 0.3f * foot, 0.0f, 0.9f);
    colour = glm::mix(colour, horizonColour, haze);
    return glm::min(colour, glm::vec3(rangeBrightest));
}

glm::vec3 directionColour(const glm::vec3& direction, const RidgeTable& ridges, float pixelAngle) {
    const glm::vec3 d = glm::normalize(direction);
    const float elevation = std::asin(glm::clamp(d.y, -1.0f, 1.0f));
    const float azimuth = std::atan2(d.x, d.z);
    glm::vec3 colour = d.y > -0.05f ? skyColour(d) : glm::vec3(0.0f);
    // Ranges from far to near; each edge is smoothed over about one texel.
    for (std::size_t k = 0; k < rangeLayers.size(); ++k) {
        const float cover = glm::smoothstep(-pixelAngle, pixelAngle, ridges.at(k, azimuth) - elevation);
        if (cover > 0.0f) {
            colour = glm::mix(colour, rangeColour(k, ridges, d, azimuth, elevation), cover);
        }
    }
    if (elevation < valleyTop + 0.02f) {
        colour = glm::mix(colour, valleyColour(d), glm::smoothstep(valleyTop + 0.02f, valleyTop - 0.01f, elevation));
    }
    return colour;
}

Image8 renderFace(int face, const RidgeTable& ridges) {
    Image8 image = makeRgbImage(faceSize, faceSize);
    const float pixelAngle = 0.5f * pi / faceSize; // at the face's centre; smaller towards its corners
    for (int row = 0; row < faceSize; ++row) {
        for (int column = 0; column < faceSize; ++column) {
            const float s = (column + 0.5f) / faceSize;
            const float t = (row + 0.5f) / faceSize;
            setRgb(image, column, row, directionColour(faceDirection(face, s, t), ridges, pixelAngle));
        }
    }
    return image;
}

struct LoadedFace {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels; // RGB
};

} // namespace

bool generateSkybox(const std::string& dataDir) {
    const RidgeTable ridges;
    bool ok = true;
    for (int face = 0; face < static_cast<int>(faceFiles.size()); ++face) {
        ok = saveDataJpeg(dataDir, std::string(faceFolder) + faceFiles[static_cast<std::size_t>(face)],
                          renderFace(face, ridges), faceQuality) &&
             ok;
    }
    return ok;
}

bool writeSkyPreview(const std::string& dataDir, const std::string& outDir) {
    // Resampled from the written files through the cube-map lookup, so a seam or a turned face shows here.
    std::array<LoadedFace, 6> faces;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const std::string path = dataDir + "/" + faceFolder + faceFiles[i];
        int channels = 0;
        unsigned char* data = stbi_load(path.c_str(), &faces[i].width, &faces[i].height, &channels, 3);
        if (data == nullptr) {
            std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), stbi_failure_reason());
            return false;
        }
        faces[i].pixels.assign(data, data + static_cast<std::size_t>(faces[i].width) * faces[i].height * 3);
        stbi_image_free(data);
    }
    Image8 panorama;
    panorama.width = previewWidth;
    panorama.height = previewHeight;
    panorama.channels = 3;
    panorama.pixels.resize(static_cast<std::size_t>(previewWidth) * previewHeight * 3);
    for (int y = 0; y < previewHeight; ++y) {
        const float elevation = pi * (0.5f - (y + 0.5f) / previewHeight);
        for (int x = 0; x < previewWidth; ++x) {
            // The middle of the panorama looks along +z, towards the sun; +x lies to its right.
            const float azimuth = 2.0f * pi * ((x + 0.5f) / previewWidth - 0.5f);
            const glm::vec3 d(std::cos(elevation) * std::sin(azimuth), std::sin(elevation),
                              std::cos(elevation) * std::cos(azimuth));
            int face = 0;
            float s = 0.0f, t = 0.0f;
            lookUpFace(d, face, s, t);
            const LoadedFace& f = faces[static_cast<std::size_t>(face)];
            const int column = std::clamp(static_cast<int>(s * f.width), 0, f.width - 1);
            const int row = std::clamp(static_cast<int>(t * f.height), 0, f.height - 1);
            const std::size_t from = (static_cast<std::size_t>(row) * f.width + column) * 3;
            const std::size_t to = (static_cast<std::size_t>(y) * previewWidth + x) * 3;
            for (int c = 0; c < 3; ++c) {
                panorama.pixels[to + static_cast<std::size_t>(c)] = f.pixels[from + static_cast<std::size_t>(c)];
            }
        }
    }
    const std::string path = outDir + "/kelvara-sky-panorama.png";
    std::string error;
    if (!writePng8(path, panorama, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}
