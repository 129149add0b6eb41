// The five models of Models/ with their materials and textures: the dimpled ball, the goal flag and a smaller
// spare flag, the banded flag stick and the glowing checkpoint cage.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <stb_perlin.h>

#include "core/canvas.h"
#include "tools/generate/generators.h"
#include "core/image_io.h"
#include "tools/generate/obj_writer.h"
#include "tools/generate/text.h"

namespace {

constexpr float pi = 3.14159265f;

// Ball: drawn with the physics body's transform. The collision surface lies half a unit above the drawn grass, so
// the body's centre rests a full unit above it: a ball of radius 1 is seen resting on the grass.
constexpr float ballRadius = 1.0f;        // model units = world units
constexpr int ballSegments = 48;          // around the axis
constexpr int ballRings = 32;             // pole to pole
constexpr int ballMapWidth = 1024;        // pixels; the maps wrap once around the ball (u) and pole to pole (v)
constexpr int ballMapHeight = 512;
constexpr int dimpleCount = 332;
constexpr float dimpleRadius = 0.086f;    // radians of the ball's surface
constexpr float dimpleWallSlope = 0.75f;  // at the dimple's rim, rise per unit across
constexpr int ballSupersampling = 3;      // per axis, for the dimple rims
constexpr float ballWhite = 0.84f;        // fully lit it stays just under the glow threshold; highlights glow
constexpr float dimpleShade = 0.06f;      // darker at the bottom of a dimple
constexpr float ballSpecular = 0.55f;
constexpr float dimpleSpecular = 0.40f;
const glm::vec3 ballLogoColour(0.12f, 0.18f, 0.42f); // muted: strongly coloured shiny texels would glow
constexpr float ballLogoCapHeight = 34.0f; // pixels of the ball map

// Goal flag: the flag program holds the edge at y = -1.2 and waves the rest along z; the pass turns the model a
// quarter turn about z, so model x points up and model +y points to world -x, away from the stick.
constexpr float flagHoldY = -1.2f;
constexpr float flagLength = 9.0f; // model units along y, away from the stick
constexpr float flagHeight = 6.0f; // model units along x, centred on the flag's anchor
constexpr int flagColumns = 60;    // grid cells along the length
constexpr int flagRows = 30;
constexpr int flagMapWidth = 768;  // pixels, the cloth's aspect
constexpr int flagMapHeight = 512;
// The spare flag: the same cloth, smaller and coarser.
constexpr float spareFlagLength = 4.5f;
constexpr float spareFlagHeight = 3.0f;
constexpr int spareFlagColumns = 20;
constexpr int spareFlagRows = 10;

// Flag stick, drawn at goal + (1.2, 6, 0) scaled by 0.09: from the bottom of the goal hollow, about 3 world units
// below the goal, to just above the cloth's top edge at goal + 28.
constexpr float stickScale = 0.09f;
constexpr float stickBottom = (-3.0f - 6.0f) / stickScale;          // model units
constexpr float stickTop = (25.0f + 3.3f - 6.0f) / stickScale;
constexpr float stickRadius = 1.7f;                                 // model units: 0.15 world units
constexpr float stickKnobRadius = 4.0f;
constexpr int stickSegments = 24;
constexpr float stickBandLength = 1.5f / stickScale;               // model units: one red and one white band per 3
constexpr int stickMapWidth = 32;
constexpr int stickMapHeight = 64;
const glm::vec3 stickRed(0.62f, 0.20f, 0.18f); // chroma under the scene program's self-lighting threshold
const glm::vec3 stickWhite(0.86f, 0.86f, 0.84f);

// Checkpoint cage: an icosahedron of struts with a node at every corner, drawn ten times larger and turning.
constexpr float cageRadius = 0.40f;    // model units, to the node centres
constexpr float cageNodeRadius = 0.05f;
constexpr float cageStrutRadius = 0.022f;
constexpr int cageStrutSides = 8;
constexpr int cageMapWidth = 256;
constexpr int cageMapHeight = 128;
// Strongly coloured on purpose: shiny texels this saturated light up by themselves and feed the bloom.
const glm::vec3 cageCyan(0.10f, 0.86f, 1.00f);
const glm::vec3 cageOrange(1.00f, 0.52f, 0.06f);

constexpr const char* flatNormalsFile = "flat_normals.png";

Image8 solidRgb(int width, int height, const glm::vec3& colour) {
    Image8 image = makeRgbImage(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            setRgb(image, x, y, colour);
        }
    }
    return image;
}

// ---- shapes -------------------------------------------------------------------------------------------------

// A point of the unit sphere from texture coordinates: u once around the y axis, v from the south pole (0) to
// the north pole (1). With u to the right and v up, the surface is seen from outside, so counter-clockwise
// quads in (u, v) are counter-clockwise on the sphere.
glm::vec3 spherePoint(float u, float v) {
    const float theta = pi * (1.0f - v); // from the north pole
    const float phi = 2.0f * pi * u;
    return {std::sin(theta) * std::cos(phi), std::cos(theta), -std::sin(theta) * std::sin(phi)};
}

// A latitude-longitude sphere; uvOf maps its own (u, v) to the texture coordinate written for the corner.
template <typename UvOf>
void addSphere(ObjPart& part, glm::vec3 centre, float radius, int segments, int rings, UvOf uvOf) {
    std::vector<uint32_t> grid;
    for (int j = 0; j <= rings; ++j) {
        const float v = 1.0f - static_cast<float>(j) / rings;
        for (int i = 0; i <= segments; ++i) {
            // At the poles each segment gets its own corner, at the segment's middle, so the map is not twisted.
            float u = static_cast<float>(i) / segments;
            if (j == 0 || j == rings) {
                u = (static_cast<float>(i) + 0.5f) / segments;
            }
            const glm::vec3 n = spherePoint(u, v);
            grid.push_back(part.add({centre + radius * n, uvOf(u, v), n}));
        }
    }
    const auto at = [&](int i, int j) { return grid[static_cast<std::size_t>(j * (segments + 1) + i)]; };
    for (int j = 0; j < rings; ++j) {
        for (int i = 0; i < segments; ++i) {
            const uint32_t topLeft = at(i, j), topRight = at(i + 1, j);
            const uint32_t bottomLeft = at(i, j + 1), bottomRight = at(i + 1, j + 1);
            if (j != rings - 1) {
                part.triangle(bottomLeft, bottomRight, topRight);
            }
            if (j != 0) {
                part.triangle(bottomLeft, topRight, topLeft);
            }
        }
    }
}

// An open tube around the segment from a to b (ends hidden elsewhere); u runs around it, v from a to b.
template <typename UvOf>
void addTube(ObjPart& part, glm::vec3 a, glm::vec3 b, float radius, int sides, UvOf uvOf) {
    const glm::vec3 axis = glm::normalize(b - a);
    const glm::vec3 helper = std::fabs(axis.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    const glm::vec3 side = glm::normalize(glm::cross(helper, axis));
    const glm::vec3 other = glm::cross(axis, side);
    std::vector<uint32_t> ring;
    for (int end = 0; end < 2; ++end) {
        for (int i = 0; i <= sides; ++i) {
            const float u = static_cast<float>(i) / sides;
            const float angle = 2.0f * pi * u;
            const glm::vec3 n = std::cos(angle) * side + std::sin(angle) * other;
            ring.push_back(part.add({(end == 0 ? a : b) + radius * n, uvOf(u, static_cast<float>(end)), n}));
        }
    }
    for (int i = 0; i < sides; ++i) {
        const uint32_t a0 = ring[static_cast<std::size_t>(i)], a1 = ring[static_cast<std::size_t>(i + 1)];
        const uint32_t b0 = ring[static_cast<std::size_t>(sides + 1 + i)];
        const uint32_t b1 = ring[static_cast<std::size_t>(sides + 2 + i)];
        part.quad(a0, a1, b1, b0);
    }
}

// A flat sheet in the model's x-y plane facing +z: along runs over y from the held edge, up over x.
void addCloth(ObjPart& part, float length, float height, int columns, int rows) {
    std::vector<uint32_t> grid;
    for (int r = 0; r <= rows; ++r) {
        const float v = static_cast<float>(r) / rows; // bottom edge 0, top edge 1
        for (int c = 0; c <= columns; ++c) {
            const float u = static_cast<float>(c) / columns; // 0 at the stick
            grid.push_back(part.add({{(v - 0.5f) * height, flagHoldY + u * length, 0.0f}, {u, v}, {0, 0, 1}}));
        }
    }
    const auto at = [&](int c, int r) { return grid[static_cast<std::size_t>(r * (columns + 1) + c)]; };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            part.quad(at(c, r), at(c + 1, r), at(c + 1, r + 1), at(c, r + 1));
        }
    }
}

// ---- textures -----------------------------------------------------------------------------------------------

struct BallMaps {
    Image8 diffuse, specular, normals;
};

std::vector<glm::vec3> dimpleCentres() {
    // A Fibonacci spiral spreads the dimples evenly without a seam or crowded poles.
    std::vector<glm::vec3> centres;
    const float golden = pi * (3.0f - std::sqrt(5.0f));
    for (int k = 0; k < dimpleCount; ++k) {
        const float y = 1.0f - 2.0f * (static_cast<float>(k) + 0.5f) / dimpleCount;
        const float r = std::sqrt(std::max(0.0f, 1.0f - y * y));
        const float a = golden * static_cast<float>(k);
        centres.push_back({r * std::cos(a), y, r * std::sin(a)});
    }
    return centres;
}

// Coverage of the ball's lettering in map pixels; it sits on the equator twice, half a turn apart.
Mask ballLogo(std::string& error) {
    Mask mask = makeMask(ballMapWidth, ballMapHeight);
    Font font;
    if (!loadFont(spriteFontPath, font, error)) {
        return mask;
    }
    for (float u : {0.25f, 0.75f}) {
        drawTextCentred(mask, font, "KELVARA", ballLogoCapHeight,
                        glm::vec2(u * ballMapWidth, 0.5f * ballMapHeight));
    }
    return mask;
}

// The maps are read with v growing down the rows (the importer flips v), and the importer's tangent follows u
// and its bitangent the rows, so the normal map's red runs along u and its green down the rows.
BallMaps paintBall(const Mask& logo) {
    const std::vector<glm::vec3> centres = dimpleCentres();
    BallMaps maps{makeRgbImage(ballMapWidth, ballMapHeight), makeRgbImage(ballMapWidth, ballMapHeight),
                  makeRgbImage(ballMapWidth, ballMapHeight)};
    const float cosRadius = std::cos(dimpleRadius);
    for (int row = 0; row < ballMapHeight; ++row) {
        for (int column = 0; column < ballMapWidth; ++column) {
            glm::vec3 tangentNormal(0.0f);
            float depth = 0.0f;
            for (int sy = 0; sy < ballSupersampling; ++sy) {
                for (int sx = 0; sx < ballSupersampling; ++sx) {
                    const float u = (column + (sx + 0.5f) / ballSupersampling) / ballMapWidth;
                    const float rowDown = (row + (sy + 0.5f) / ballSupersampling) / ballMapHeight;
                    const glm::vec3 n = spherePoint(u, 1.0f - rowDown);
                    const float phi = 2.0f * pi * u;
                    const float theta = pi * rowDown;
                    const glm::vec3 tangent(-std::sin(phi), 0.0f, -std::cos(phi));
                    const glm::vec3 down(std::cos(theta) * std::cos(phi), -std::sin(theta),
                                         -std::cos(theta) * std::sin(phi));
                    float best = -2.0f;
                    glm::vec3 centre(0.0f);
                    for (const glm::vec3& c : centres) {
                        const float d = glm::dot(c, n);
                        if (d > best) {
                            best = d;
                            centre = c;
                        }
                    }
                    glm::vec3 surface = n;
                    if (best > cosRadius) {
                        // A round-bottomed cup: the wall's slope grows linearly from the middle to the rim, and
                        // the normal leans towards the middle.
                        const float angle = std::acos(std::min(best, 1.0f));
                        const glm::vec3 towardCentre = centre - n * best;
                        if (glm::dot(towardCentre, towardCentre) > 1e-12f) {
                            surface = glm::normalize(n + glm::normalize(towardCentre) * dimpleWallSlope *
                                                             (angle / dimpleRadius));
                        }
                        depth += 1.0f - (angle / dimpleRadius) * (angle / dimpleRadius);
                    }
                    tangentNormal += glm::vec3(glm::dot(surface, tangent), glm::dot(surface, down), glm::dot(surface, n));
                }
            }
            const float samples = static_cast<float>(ballSupersampling * ballSupersampling);
            depth /= samples;
            setRgb(maps.normals, column, row, glm::normalize(tangentNormal) * 0.5f + 0.5f);
            const float ink = logo.at(column, row);
            const glm::vec3 white(ballWhite * (1.0f - dimpleShade * depth));
            setRgb(maps.diffuse, column, row, glm::mix(white, ballLogoColour, ink));
            setRgb(maps.specular, column, row, glm::vec3(glm::mix(ballSpecular, dimpleSpecular, depth)));
        }
    }
    return maps;
}

// The hole under the pin, seen at a slant: a circle squashed to a third of its height.
float ellipseLikeHole(glm::vec2 p, glm::vec2 centre, float emblemRadius) {
    const glm::vec2 q = p - centre;
    return circleDistance(glm::vec2(q.x, q.y * 3.0f), glm::vec2(0.0f), 0.36f * emblemRadius) / 3.0f;
}

// Red cloth with a yellow band at the stick, yellow hems and a golf emblem (a pennant on its pin over the hole in a
// yellow disc), and a faint weave. u = 0 (left) is held by the stick; the top row is the flag's upper edge.
Image8 paintFlag() {
    const float w = static_cast<float>(flagMapWidth), h = static_cast<float>(flagMapHeight);
    Canvas canvas = makeCanvas(flagMapWidth, flagMapHeight);
    fillShape(canvas, [&](glm::vec2 p) { return roundedRectDistance(p, {w * 0.5f, h * 0.5f}, {w, h}, 0.0f); },
              verticalGradient(rgb(220, 34, 30), rgb(176, 18, 22), 0.0f, h));
    const Colour yellow = rgb(255, 206, 36);
    fillShape(canvas, [&](glm::vec2 p) { return roundedRectDistance(p, {w * 0.05f, h * 0.5f}, {w * 0.05f, h}, 0.0f); },
              solidPaint(yellow));
    fillShape(canvas, [&](glm::vec2 p) { return roundedRectDistance(p, {w * 0.5f, h * 0.06f}, {w, h * 0.025f}, 0.0f); },
              solidPaint(yellow));
    fillShape(canvas, [&](glm::vec2 p) { return roundedRectDistance(p, {w * 0.5f, h * 0.94f}, {w, h * 0.025f}, 0.0f); },
              solidPaint(yellow));
    const glm::vec2 emblem(w * 0.56f, h * 0.5f);
    const float r = h * 0.30f;
    const Colour red = rgb(196, 22, 26);
    fillShape(canvas, [&](glm::vec2 p) { return circleDistance(p, emblem, r); }, solidPaint(yellow));
    const glm::vec2 pinFoot = emblem + glm::vec2(-0.30f * r, 0.62f * r);
    const glm::vec2 pinTop = emblem + glm::vec2(-0.30f * r, -0.70f * r);
    fillShape(canvas, [&](glm::vec2 p) { return ellipseLikeHole(p, pinFoot, r); }, solidPaint(red));
    fillShape(canvas, [&](glm::vec2 p) { return segmentDistance(p, pinFoot, pinTop, 0.055f * r); }, solidPaint(red));
    const std::vector<glm::vec2> pennant = {pinTop, pinTop + glm::vec2(0.95f * r, 0.28f * r),
                                            pinTop + glm::vec2(0.0f, 0.56f * r)};
    fillShape(canvas, [&](glm::vec2 p) { return polygonDistance(p, pennant); }, solidPaint(red));
    Image8 image = canvasToImage(canvas, 3);
    // A faint weave so the cloth does not look like plastic up close.
    for (int y = 0; y < flagMapHeight; ++y) {
        for (int x = 0; x < flagMapWidth; ++x) {
            const float weave = 0.94f + 0.03f * static_cast<float>((x / 2 + y / 2) % 2) +
                                0.03f * stb_perlin_noise3(x / 40.0f, y / 40.0f, 2.5f, 0, 0, 0);
            for (int c = 0; c < 3; ++c) {
                uint8_t& byte = image.pixels[(static_cast<std::size_t>(y) * flagMapWidth + x) * 3 + c];
                byte = unitToByte(byte / 255.0f * weave);
            }
        }
    }
    return image;
}

// One red band over one white band, top to bottom; the stick repeats it along its length.
Image8 paintStick() {
    Image8 image = makeRgbImage(stickMapWidth, stickMapHeight);
    for (int y = 0; y < stickMapHeight; ++y) {
        for (int x = 0; x < stickMapWidth; ++x) {
            setRgb(image, x, y, y < stickMapHeight / 2 ? stickRed : stickWhite);
        }
    }
    return image;
}

// Left half cyan for the struts, right half orange for the nodes; both brighten towards the middle row.
Image8 paintCage() {
    Image8 image = makeRgbImage(cageMapWidth, cageMapHeight);
    for (int y = 0; y < cageMapHeight; ++y) {
        const float middle = 1.0f - std::fabs((y + 0.5f) / cageMapHeight - 0.5f) * 2.0f;
        for (int x = 0; x < cageMapWidth; ++x) {
            const glm::vec3 base = x < cageMapWidth / 2 ? cageCyan : cageOrange;
            setRgb(image, x, y, base * (0.82f + 0.18f * middle));
        }
    }
    return image;
}

// ---- models -------------------------------------------------------------------------------------------------

std::vector<ObjPart> ballParts() {
    ObjPart ball{"ball", "ball", {}, {}};
    addSphere(ball, glm::vec3(0.0f), ballRadius, ballSegments, ballRings,
              [](float u, float v) { return glm::vec2(u, v); });
    return {ball};
}

std::vector<ObjPart> flagParts(float length, float height, int columns, int rows) {
    ObjPart cloth{"cloth", "cloth", {}, {}};
    // The flag program keeps the edge at flagHoldY still; the cloth is sized here, anchored there.
    addCloth(cloth, length, height, columns, rows);
    return {cloth};
}

std::vector<ObjPart> stickParts() {
    ObjPart stick{"stick", "stick", {}, {}};
    const auto bands = [](float u, float v) {
        return glm::vec2(u, (stickBottom + v * (stickTop - stickBottom)) / (2.0f * stickBandLength));
    };
    addTube(stick, {0.0f, stickBottom, 0.0f}, {0.0f, stickTop, 0.0f}, stickRadius, stickSegments, bands);
    // The knob takes its colour from the white band.
    addSphere(stick, {0.0f, stickTop + stickKnobRadius * 0.75f, 0.0f}, stickKnobRadius, stickSegments, 12,
              [](float u, float v) { return glm::vec2(u, 0.05f + 0.4f * v); });
    return {stick};
}

std::vector<ObjPart> cageParts() {
    // The twelve corners of an icosahedron: the cyclic permutations of (0, +-1, +-golden ratio).
    const float g = (1.0f + std::sqrt(5.0f)) * 0.5f;
    std::vector<glm::vec3> corners;
    for (float a : {-1.0f, 1.0f}) {
        for (float b : {-g, g}) {
            corners.push_back(glm::normalize(glm::vec3(0.0f, a, b)) * cageRadius);
            corners.push_back(glm::normalize(glm::vec3(a, b, 0.0f)) * cageRadius);
            corners.push_back(glm::normalize(glm::vec3(b, 0.0f, a)) * cageRadius);
        }
    }
    ObjPart struts{"struts", "cage", {}, {}};
    ObjPart nodes{"nodes", "cage", {}, {}};
    float shortest = 1e9f;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        for (std::size_t j = i + 1; j < corners.size(); ++j) {
            shortest = std::min(shortest, glm::distance(corners[i], corners[j]));
        }
    }
    // Every pair at the shortest distance is an edge: thirty of them.
    for (std::size_t i = 0; i < corners.size(); ++i) {
        for (std::size_t j = i + 1; j < corners.size(); ++j) {
            if (glm::distance(corners[i], corners[j]) < shortest * 1.01f) {
                addTube(struts, corners[i], corners[j], cageStrutRadius, cageStrutSides,
                        [](float u, float v) { return glm::vec2(0.04f + 0.42f * u, 0.1f + 0.8f * v); });
            }
        }
    }
    for (const glm::vec3& corner : corners) {
        addSphere(nodes, corner, cageNodeRadius, 12, 8,
                  [](float u, float v) { return glm::vec2(0.54f + 0.42f * u, 0.1f + 0.8f * v); });
    }
    return {struts, nodes};
}

bool saveDataText(const std::string& dataDir, const std::string& relativePath, const std::string& text) {
    const std::filesystem::path path = std::filesystem::path(dataDir) / relativePath;
    std::string error;
    if (!ensureDirectory(path.parent_path().string(), error) || !writeTextFile(path.string(), text, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.string().c_str());
    return true;
}

bool saveModel(const std::string& dataDir, const std::string& name, const std::vector<ObjPart>& parts,
               const std::vector<ObjMaterial>& materials) {
    bool ok = saveDataText(dataDir, "Models/" + name + ".mtl", mtlText(materials));
    return saveDataText(dataDir, "Models/" + name + ".obj", objText(name + ".mtl", parts)) && ok;
}

} // namespace

bool generateModels(const std::string& dataDir) {
    bool ok = true;
    std::string error;
    const Mask logo = ballLogo(error);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        ok = false;
    }
    const BallMaps ball = paintBall(logo);
    ok = saveDataPng(dataDir, "Textures/ball_diffuse.png", ball.diffuse) && ok;
    ok = saveDataPng(dataDir, "Textures/ball_specular.png", ball.specular) && ok;
    ok = saveDataPng(dataDir, "Textures/ball_normals.png", ball.normals) && ok;
    ok = saveDataPng(dataDir, "Textures/flag_diffuse.png", paintFlag()) && ok;
    ok = saveDataPng(dataDir, "Textures/flag_specular.png", solidRgb(8, 8, glm::vec3(0.15f))) && ok;
    ok = saveDataPng(dataDir, "Textures/stick_diffuse.png", paintStick()) && ok;
    ok = saveDataPng(dataDir, "Textures/stick_specular.png", solidRgb(8, 8, glm::vec3(0.6f))) && ok;
    ok = saveDataPng(dataDir, "Textures/marker_diffuse.png", paintCage()) && ok;
    ok = saveDataPng(dataDir, "Textures/marker_specular.png", solidRgb(8, 8, glm::vec3(0.8f))) && ok;
    // Models without relief still name a flat normal map: a model that names none draws with whatever map the
    // previous model left bound.
    ok = saveDataPng(dataDir, std::string("Textures/") + flatNormalsFile, solidRgb(8, 8, glm::vec3(128, 128, 255) / 255.0f)) && ok;

    ObjMaterial ballMaterial{"ball", glm::vec3(ballWhite), glm::vec3(ballSpecular), 32.0f,
                             "ball_diffuse.png", "ball_specular.png", "ball_normals.png"};
    ObjMaterial clothMaterial{"cloth", glm::vec3(0.8f, 0.1f, 0.1f), glm::vec3(0.15f), 8.0f,
                              "flag_diffuse.png", "flag_specular.png", flatNormalsFile};
    ObjMaterial stickMaterial{"stick", stickWhite, glm::vec3(0.6f), 32.0f,
                              "stick_diffuse.png", "stick_specular.png", flatNormalsFile};
    ObjMaterial cageMaterial{"cage", cageCyan, glm::vec3(0.8f), 64.0f,
                             "marker_diffuse.png", "marker_specular.png", flatNormalsFile};
    ok = saveModel(dataDir, "Golf_Ball_sale", ballParts(), {ballMaterial}) && ok;
    ok = saveModel(dataDir, "flag", flagParts(flagLength, flagHeight, flagColumns, flagRows), {clothMaterial}) && ok;
    ok = saveModel(dataDir, "flag1", flagParts(spareFlagLength, spareFlagHeight, spareFlagColumns, spareFlagRows),
                   {clothMaterial}) &&
         ok;
    ok = saveModel(dataDir, "stick", stickParts(), {stickMaterial}) && ok;
    ok = saveModel(dataDir, "ico", cageParts(), {cageMaterial}) && ok;
    return ok;
}
