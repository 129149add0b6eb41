// Previews of what the generator wrote, for a person to look at: a shaded map of the course with its route, and
// the HUD sprites placed on a mock screen exactly as the game's HUD layout places them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_inverse.hpp>
#include <glm/mat2x2.hpp>
#include <stb_image.h>

#include "core/race_state.h"
#include "core/terrain.h"
#include "core/hud_layout.h"
#include "core/shader_file.h"
#include "core/canvas.h"
#include "core/course.h"
#include "core/route.h"
#include "tools/generate/course_designs.h"
#include "tools/generate/generators.h"
#include "core/image_io.h"

namespace {

constexpr int screenSize = 512;  // pixels of one mock screen
constexpr int mapScale = 2;      // preview pixels per heightmap sample

struct Sprite {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<unsigned char> pixels;
};

bool loadSprite(const std::string& path, Sprite& sprite) {
    unsigned char* data = stbi_load(path.c_str(), &sprite.width, &sprite.height, &sprite.channels, 0);
    if (data == nullptr) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    sprite.pixels.assign(data, data + static_cast<std::size_t>(sprite.width) * sprite.height * sprite.channels);
    stbi_image_free(data);
    return true;
}

// Bilinear sample (clamped), straight RGBA 0..1; three-channel images are opaque.
Colour sampleSprite(const Sprite& s, float u, float v) {
    float x = u * static_cast<float>(s.width) - 0.5f;
    float y = v * static_cast<float>(s.height) - 0.5f;
    int x0 = static_cast<int>(std::floor(x));
    int y0 = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(x0);
    float fy = y - static_cast<float>(y0);
    float out[4] = {0, 0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        int px = std::clamp(x0 + (k & 1), 0, s.width - 1);
        int py = std::clamp(y0 + (k >> 1), 0, s.height - 1);
        float w = ((k & 1) ? fx : 1 - fx) * ((k >> 1) ? fy : 1 - fy);
        const unsigned char* p = &s.pixels[(static_cast<std::size_t>(py) * s.width + px) * s.channels];
        float a = s.channels == 4 ? p[3] / 255.0f : 1.0f;
        for (int c = 0; c < 3; ++c) {
            out[c] += w * a * p[c] / 255.0f; // premultiplied while filtering
        }
        out[3] += w * a;
    }
    if (out[3] <= 0.0f) {
        return {0, 0, 0, 0};
    }
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3], out[3]};
}

// Draws a sprite the way the HUD does: the unit quad (-0.5..0.5, v = 0 at the top) through model, blended by
// alpha times opacity, culled when the model mirrors it.
void drawSprite(Canvas& screen, const Sprite& s, const glm::mat4& model, float opacity) {
    glm::mat2 linear{glm::vec2(model[0]), glm::vec2(model[1])};
    if (glm::determinant(linear) <= 0.0f) {
        return;
    }
    glm::mat2 inverse = glm::inverse(linear);
    glm::vec2 offset(model[3]);
    float alphaScale = std::clamp(opacity, 0.0f, 1.0f);
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            glm::vec2 ndc((x + 0.5f) / screen.width * 2.0f - 1.0f, 1.0f - (y + 0.5f) / screen.height * 2.0f);
            glm::vec2 q = inverse * (ndc - offset);
            if (std::fabs(q.x) > 0.5f || std::fabs(q.y) > 0.5f) {
                continue;
            }
            Colour c = sampleSprite(s, q.x + 0.5f, 0.5f - q.y);
            float a = c.a * alphaScale;
            float* px = &screen.rgba[(static_cast<std::size_t>(y) * screen.width + x) * 4];
            px[0] = c.r * a + px[0] * (1 - a);
            px[1] = c.g * a + px[1] * (1 - a);
            px[2] = c.b * a + px[2] * (1 - a);
            px[3] = 1.0f;
        }
    }
}

// Something like a frame of the game behind the HUD: sky over a green course.
Canvas mockScreen(int size) {
    Canvas c = makeCanvas(size, size);
    fillShape(c, [](glm::vec2) { return -1.0f; },
              [size](glm::vec2 p) {
                  float t = p.y / static_cast<float>(size);
                  return t < 0.45f ? mix(rgb(120, 170, 230), rgb(200, 225, 245), t / 0.45f)
                                   : mix(rgb(90, 150, 60), rgb(40, 90, 30), (t - 0.45f) / 0.55f);
              });
    return c;
}

void paste(Canvas& dst, const Canvas& src, int left, int top) {
    for (int y = 0; y < src.height; ++y) {
        for (int x = 0; x < src.width; ++x) {
            int dx = left + x;
            int dy = top + y;
            if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) {
                continue;
            }
            for (int c = 0; c < 4; ++c) {
                dst.rgba[(static_cast<std::size_t>(dy) * dst.width + dx) * 4 + c] =
                    src.rgba[(static_cast<std::size_t>(y) * src.width + x) * 4 + c];
            }
        }
    }
}

bool writeHudPreview(const std::string& dataDir, const std::string& outDir) {
    const char* files[] = {"youlost.png", "youwon.png", "getready.png", "letroll.png",
                           "time.png", "boost_gauge.png", "boost_gauge_pointer.png", "timeP.png"};
    Sprite sprites[8];
    for (int i = 0; i < 8; ++i) {
        if (!loadSprite((std::filesystem::path(dataDir) / "UserInterface" / files[i]).string(), sprites[i])) {
            return false;
        }
    }
    struct Moment {
        RacePhase phase;
        float elapsed; // seconds since the reset
        float boost;
        float timer;
    };
    const Moment moments[] = {
        {RacePhase::GetReady, 1.0f, 0.5f, 20.0f}, {RacePhase::Rolling, 2.3f, 0.0f, 19.7f},
        {RacePhase::Rolling, 8.0f, 1.0f, 26.0f},  {RacePhase::Rolling, 9.0f, 1.5f, 8.0f},
        {RacePhase::Won, 30.0f, 0.25f, 12.0f},    {RacePhase::Lost, 30.0f, 0.75f, -0.01f},
    };
    Canvas sheet = makeCanvas(screenSize * 3, screenSize * 2);
    for (int m = 0; m < 6; ++m) {
        RaceState race;
        race.phase = moments[m].phase;
        race.boost = moments[m].boost;
        race.timer = moments[m].timer;
        race.raceStart = 100.0f;
        FrameClock clock;
        clock.totalTime = race.raceStart + moments[m].elapsed;
        HudLayout layout = layoutHud(race, clock, Course{}.countdown);
        Canvas screen = mockScreen(screenSize);
        for (std::size_t d = 0; d < layout.count; ++d) {
            const HudDraw& draw = layout.draws[d];
            drawSprite(screen, sprites[static_cast<int>(draw.sprite)], draw.model, draw.opacity);
        }
        paste(sheet, screen, (m % 3) * screenSize, (m / 3) * screenSize);
    }
    std::string path = (std::filesystem::path(outDir) / "kelvara-hud-preview.png").string();
    std::string error;
    if (!writePng8(path, canvasToImage(sheet, 3), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s: get ready, let's roll (boost 0), boost 1, boost 1.5, won, lost\n", path.c_str());

    // Close-ups of the gauge on a full-size screen, boost 0 to 2 in quarter steps.
    const int fullScreen = 1024;
    const int crop = 300; // the corner from device x, y = -1 to about -0.41
    const int columns = 3;
    Canvas gauges = makeCanvas(crop * columns, crop * 3);
    for (int k = 0; k < 9; ++k) {
        RaceState race;
        race.phase = RacePhase::Rolling;
        race.boost = 0.25f * static_cast<float>(k);
        FrameClock clock;
        clock.totalTime = 10.0f;
        HudLayout layout = layoutHud(race, clock, Course{}.countdown);
        Canvas screen = mockScreen(fullScreen);
        for (std::size_t d = 0; d < layout.count; ++d) {
            const HudDraw& draw = layout.draws[d];
            if (draw.sprite == HudSprite::GaugeDial || draw.sprite == HudSprite::GaugePointer) {
                drawSprite(screen, sprites[static_cast<int>(draw.sprite)], draw.model, draw.opacity);
            }
        }
        Canvas corner = makeCanvas(crop, crop);
        for (int y = 0; y < crop; ++y) {
            for (int x = 0; x < crop; ++x) {
                for (int c = 0; c < 4; ++c) {
                    corner.rgba[(static_cast<std::size_t>(y) * crop + x) * 4 + c] =
                        screen.rgba[(static_cast<std::size_t>(fullScreen - crop + y) * fullScreen + x) * 4 + c];
                }
            }
        }
        paste(gauges, corner, (k % columns) * crop, (k / columns) * crop);
    }
    path = (std::filesystem::path(outDir) / "kelvara-gauge-preview.png").string();
    if (!writePng8(path, canvasToImage(gauges, 3), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s: boost 0, 0.25, ... 2 row by row\n", path.c_str());
    return true;
}

bool writeCoursePreview(const std::string& dataDir, const std::string& outDir) {
    HeightGrid grid;
    if (!readWrittenHeightmap(dataDir, grid)) {
        return false;
    }
    auto h = [&](int x, int z) {
        x = std::clamp(x, 0, grid.width - 1);
        z = std::clamp(z, 0, grid.height - 1);
        return 100.0 * grid.samples[static_cast<std::size_t>(z) * grid.width + x] / 32767.0;
    };
    Canvas map = makeCanvas(grid.width * mapScale, grid.height * mapScale);
    const glm::dvec3 light = glm::normalize(glm::dvec3(-1.0, 1.6, -1.0)); // from the north-west, high
    for (int z = 0; z < grid.height; ++z) {
        for (int x = 0; x < grid.width; ++x) {
            double dx = (h(x + 1, z) - h(x - 1, z)) * 0.5;
            double dz = (h(x, z + 1) - h(x, z - 1)) * 0.5;
            glm::dvec3 normal = glm::normalize(glm::dvec3(-dx, 1.0, -dz));
            double shade = 0.35 + 0.75 * std::max(0.0, glm::dot(normal, light));
            Colour c = terrainColour(h(x, z), std::sqrt(dx * dx + dz * dz));
            for (int k = 0; k < mapScale * mapScale; ++k) {
                std::size_t i = (static_cast<std::size_t>(z * mapScale + k / mapScale) * map.width +
                                 static_cast<std::size_t>(x * mapScale + k % mapScale)) * 4;
                map.rgba[i] = static_cast<float>(std::min(1.0, c.r * shade));
                map.rgba[i + 1] = static_cast<float>(std::min(1.0, c.g * shade));
                map.rgba[i + 2] = static_cast<float>(std::min(1.0, c.b * shade));
                map.rgba[i + 3] = 1.0f;
            }
        }
    }
    auto toMap = [&](glm::vec2 world) {
        return (world + glm::vec2(static_cast<float>(grid.width / 2), static_cast<float>(grid.height / 2))) *
               static_cast<float>(mapScale);
    };
    Course course;
    if (!loadCourse(dataDir, defaultCourseId, course)) {
        return false;
    }
    const std::vector<glm::vec3>& checkpoints = course.checkpoints;
    const std::size_t goalIndex = course.goalIndex();
    SampledRoute route = sampleRoute(course.route, 2.0f);
    for (std::size_t j = 0; j + 1 < route.samples.size(); j += 2) {
        glm::vec2 a = toMap(route.samples[j].position);
        glm::vec2 b = toMap(route.samples[j + 1].position);
        Mask dash = makeMask(map.width, map.height);
        int x0 = static_cast<int>(std::min(a.x, b.x)) - 3;
        int y0 = static_cast<int>(std::min(a.y, b.y)) - 3;
        for (int y = y0; y < y0 + 10; ++y) {
            for (int x = x0; x < x0 + 10; ++x) {
                if (x >= 0 && y >= 0 && x < map.width && y < map.height) {
                    float d = segmentDistance(glm::vec2(x + 0.5f, y + 0.5f), a, b, 1.0f);
                    dash.coverage[static_cast<std::size_t>(y) * map.width + x] = std::clamp(0.5f - d, 0.0f, 1.0f);
                }
            }
        }
        fillMask(map, dash, solidPaint(rgb(255, 255, 255, 0.8f)));
    }
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
        glm::vec2 c = toMap(glm::vec2(checkpoints[i].x, checkpoints[i].z));
        Colour colour = i == 0 ? rgb(40, 120, 255) : i == goalIndex ? rgb(255, 40, 40) : rgb(255, 210, 0);
        fillShape(map, [&](glm::vec2 p) { return ringDistance(p, c, 5.5f * mapScale, 2.0f); }, solidPaint(colour));
    }
    std::string out = (std::filesystem::path(outDir) / "kelvara-course-preview.png").string();
    std::string error;
    if (!writePng8(out, canvasToImage(map, 3), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s: north up, start blue, goal red, reach circles of the checkpoints yellow\n", out.c_str());
    return true;
}

} // namespace

bool writePreviews(const std::string& dataDir, const std::string& outDir) {
    bool hud = writeHudPreview(dataDir, outDir);
    bool course = writeCoursePreview(dataDir, outDir);
    return hud && course;
}
