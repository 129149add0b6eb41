// The shipped pictures and models as the game reads them: formats the loaders need, sprites with clean margins,
// models with their own textures facing outwards, the flag on its stick, and sky faces that join without seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "core/course.h"
#include "core/hud_text.h"
#include "core/model_import.h"
#include "core/scene_layout.h"
#include "core/sky_faces.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

TEST(ShippedSprites, HaveTheChannelsTheirLoadersNeedAndBannersKeepClearMargins) {
    struct Sprite {
        const char* name;
        int channels;
        bool banner; // lettering that must keep clear of the edges
    };
    const Sprite sprites[] = {{"getready.png", 4, true}, {"letroll.png", 4, true}, {"youwon.png", 4, true},
                              {"youlost.png", 4, true}, {"paused.png", 4, true}, {"time.png", 4, false},
                              {"boost_gauge.png", 4, false}, {"boost_gauge_pointer.png", 4, false},
                              {"timeP.png", 3, false}, {"boostP.png", 3, false}, {"digits.png", 4, false},
                              {"best.png", 4, false}, {"newrecord.png", 4, false}, {"medals.png", 4, false}};
    for (const Sprite& s : sprites) {
        const Picture p = loadPicture(dataFile(std::string("UserInterface/") + s.name));
        ASSERT_TRUE(p.loaded()) << s.name;
        EXPECT_EQ(p.fileChannels, s.channels) << s.name;
        if (!s.banner) continue;
        const int margin = p.width / 32;
        int opaqueInMargin = 0, left = p.width, right = -1;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const bool inMargin = std::min({x, y, p.width - 1 - x, p.height - 1 - y}) < margin;
                opaqueInMargin += inMargin && p.at(x, y)[3] > 0 ? 1 : 0;
                if (p.at(x, y)[3] == 255) left = std::min(left, x), right = std::max(right, x);
            }
        }
        EXPECT_EQ(opaqueInMargin, 0) << s.name;
        EXPECT_GT(right - left, p.width * 3 / 4) << s.name << ": lettering across the middle";
    }
}

TEST(ShippedSprites, TheGaugeNeedleHasItsTipAtTheLeftEndWhereTheHudPutsIt) {
    const Picture needle = loadPicture(dataFile("UserInterface/boost_gauge_pointer.png"));
    ASSERT_TRUE(needle.loaded());
    auto solidRows = [&](int x) {
        int rows = 0;
        for (int y = 0; y < needle.height; ++y) rows += needle.at(x, y)[3] > 128 ? 1 : 0;
        return rows;
    };
    EXPECT_GT(solidRows(needle.width / 20), 0) << "the needle reaches the left end";
    EXPECT_GT(solidRows(needle.width * 9 / 10), 3 * solidRows(needle.width / 20)) << "thick at the base";
}

TEST(ShippedSprites, DigitAtlasCellsStayApartAndItsDigitsFitTheirSteps) {
    const Picture atlas = loadPicture(dataFile("UserInterface/digits.png"));
    ASSERT_TRUE(atlas.loaded());
    ASSERT_EQ(atlas.width, glyphCellWidth * glyphCellCount);
    ASSERT_EQ(atlas.height, glyphCellHeight);
    // A clear gutter at every cell's sides, so sampling (and the mipmaps) of one glyph never shows its neighbour.
    const int gutter = 4;
    for (int cell = 0; cell < glyphCellCount; ++cell) {
        int covered = 0, solidLeft = glyphCellWidth, solidRight = -1;
        for (int y = 0; y < atlas.height; ++y) {
            for (int x = 0; x < glyphCellWidth; ++x) {
                const int a = atlas.at(cell * glyphCellWidth + x, y)[3];
                covered += (x < gutter || x >= glyphCellWidth - gutter) && a > 0 ? 1 : 0;
                if (a == 255) solidLeft = std::min(solidLeft, x), solidRight = std::max(solidRight, x);
            }
        }
        EXPECT_EQ(covered, 0) << "cell " << cell;
        ASSERT_GE(solidRight, solidLeft) << "cell " << cell << " is empty";
        const float step = (cell == glyphPoint ? pointAdvance : digitAdvance) * static_cast<float>(glyphCellWidth);
        EXPECT_LE(static_cast<float>(solidRight - solidLeft + 1), step) << "cell " << cell << " overlaps its neighbours";
        EXPECT_NEAR((solidLeft + solidRight) * 0.5, glyphCellWidth * 0.5, 3.0) << "cell " << cell << " is centred";
    }
}

TEST(ShippedSprites, TheSparkGlowsInTheMiddleAndIsBlackAtTheEdgesSinceItIsAddedOn) {
    const Picture spark = loadPicture(dataFile("Textures/particle.jpg"), 3);
    ASSERT_TRUE(spark.loaded());
    const int n = spark.width - 1;
    EXPECT_GT(spark.at(n / 2, n / 2)[0], 240);
    int border = 0;
    for (int i = 0; i <= n; ++i)
        for (const unsigned char* c : {spark.at(i, 0), spark.at(i, n), spark.at(0, i), spark.at(n, i)})
            border = std::max({border, int(c[0]), int(c[1]), int(c[2])});
    EXPECT_LE(border, 6);
}

glm::vec3 position(const ImportedMesh& mesh, std::size_t v) { return glm::make_vec3(&mesh.vertices[v * floatsPerVertex]); }
glm::vec3 normal(const ImportedMesh& mesh, std::size_t v) { return glm::make_vec3(&mesh.vertices[v * floatsPerVertex + 5]); }

// Low and high corners of the model placed by the given matrix.
std::array<glm::vec3, 2> bounds(const ImportedModel& model, const glm::mat4& placement = glm::mat4(1.0f)) {
    std::array<glm::vec3, 2> b = {glm::vec3(1e9f), glm::vec3(-1e9f)};
    for (const ImportedMesh& mesh : model.meshes) {
        for (std::size_t v = 0; v < mesh.vertices.size() / floatsPerVertex; ++v) {
            const glm::vec3 p(placement * glm::vec4(position(mesh, v), 1.0f));
            b = {glm::min(b[0], p), glm::max(b[1], p)};
        }
    }
    return b;
}

ImportedModel importShipped(const char* file) { return importModelFile(dataFile(file).c_str()); }

TEST(ShippedModels, ImportWithTheirOwnTexturesAndSolidOnesFaceOutwards) {
    struct Case {
        const char* file;
        bool solid; // drawn with back faces culled
    };
    for (const Case c : {Case{"Models/Golf_Ball_sale.obj", true}, Case{"Models/flag.obj", false},
                         Case{"Models/flag1.obj", false}, Case{"Models/stick.obj", true}, Case{"Models/ico.obj", true}}) {
        const ImportedModel model = importShipped(c.file);
        ASSERT_TRUE(model.ok) << c.file << ": " << model.error;
        ASSERT_FALSE(model.meshes.empty()) << c.file;
        for (const ImportedMesh& mesh : model.meshes) {
            ASSERT_LT(mesh.materialIndex, model.materials.size()) << c.file;
            const ImportedMaterial& m = model.materials[mesh.materialIndex];
            // Without textures of its own a model would be drawn with whatever the previous draw left bound.
            for (const std::string& texture : {m.diffusePath, m.specularPath, m.normalPath})
                EXPECT_TRUE(fs::is_regular_file(dataFile(texture))) << c.file << ": '" << texture << "'";
            int inward = 0;
            for (std::size_t i = 0; c.solid && i + 2 < mesh.indices.size(); i += 3) {
                const glm::vec3 a = position(mesh, mesh.indices[i]);
                const glm::vec3 facing = glm::cross(position(mesh, mesh.indices[i + 1]) - a,
                                                    position(mesh, mesh.indices[i + 2]) - a);
                inward += glm::dot(facing, -normal(mesh, mesh.indices[i])) < 0.0f ? 1 : 0; // normals point inwards
            }
            EXPECT_EQ(inward, 0) << c.file;
        }
    }
}

TEST(ShippedModels, TheBallIsTwoUnitsAcrossSoItTouchesTheGrass) {
    const auto [low, high] = bounds(importShipped("Models/Golf_Ball_sale.obj"));
    expectVecNear(low, glm::vec3(-1.0f), 0.02f, "low");
    expectVecNear(high, glm::vec3(1.0f), 0.02f, "high");
}

TEST(ShippedModels, TheFlagHangsFromTheStickWhichStandsInTheGoalHollow) {
    const Course course = shippedCourse();
    const auto cloth = bounds(importShipped("Models/flag.obj"), flagModelMatrix(course.goal()));
    const auto pole = bounds(importShipped("Models/stick.obj"), stickModelMatrix(course.goal()));
    const float poleX = 0.5f * (pole[0].x + pole[1].x);
    EXPECT_NEAR(std::min(std::fabs(cloth[0].x - poleX), std::fabs(cloth[1].x - poleX)), 0.0f, 0.2f) << "held edge";
    EXPECT_GT(pole[1].y, cloth[1].y);
    EXPECT_LT(pole[1].y, cloth[1].y + 2.0f);
    const float goalY = course.goal().y;
    EXPECT_LT(pole[0].y, goalY - 2.5f) << "reaches into the hollow";
    EXPECT_GT(pole[0].y, goalY - 10.0f);
}

TEST(ShippedModels, TheMarkerIsAnOpenCageAboutTheCheckpointsReach) {
    const Course course = shippedCourse();
    const auto [low, high] =
        bounds(importShipped("Models/ico.obj"), markerModelMatrix(course.checkpoints[1], 1, 0.0f));
    const glm::vec3 size = high - low;
    EXPECT_GT(size.x, 8.0f);
    EXPECT_LT(size.x, 2.0f * course.reachRadius) << "and no larger";
    EXPECT_LT(glm::distance((low + high) * 0.5f, course.checkpoints[1]), 0.5f);
}

// The graphics library's cube lookup: the face a direction reads (order +x, -x, +y, -y, +z, -z) and the place on it,
// s and t in 0..1 with t = 0 at the face's first stored row; and backwards, a direction through (s, t) of a face.
std::array<float, 3> lookUp(const glm::vec3& d) {
    const glm::vec3 a = glm::abs(d);
    if (a.x >= a.y && a.x >= a.z) return {d.x > 0 ? 0.0f : 1.0f, 0.5f * (-d.z / d.x + 1.0f), 0.5f * (-d.y / a.x + 1.0f)};
    if (a.y >= a.z) return {d.y > 0 ? 2.0f : 3.0f, 0.5f * (d.x / a.y + 1.0f), 0.5f * (d.z / d.y + 1.0f)};
    return {d.z > 0 ? 4.0f : 5.0f, 0.5f * (d.x / d.z + 1.0f), 0.5f * (-d.y / a.z + 1.0f)};
}
glm::vec3 direction(int face, float s, float t) {
    const float sc = 2.0f * s - 1.0f, tc = 2.0f * t - 1.0f;
    const glm::vec3 dirs[] = {{1, -tc, -sc}, {-1, -tc, sc}, {sc, 1, tc}, {sc, -1, -tc}, {sc, -tc, 1}, {-sc, -tc, -1}};
    return dirs[face];
}

TEST(ShippedSky, SixSquareFacesOfOneSizeJoinWithoutSeamsSkyAboveValleyBelow) {
    std::array<Picture, skyboxFaceCount> faces;
    for (int i = 0; i < skyboxFaceCount; ++i) {
        faces[i] = loadPicture(dataFile(skyboxFacePaths[i]), 3);
        ASSERT_TRUE(faces[i].loaded()) << skyboxFacePaths[i];
        EXPECT_EQ(faces[i].width, faces[i].height);
        EXPECT_EQ(faces[i].width, faces[0].width);
    }
    auto sample = [&](const glm::vec3& d) {
        const std::array<float, 3> p = lookUp(d);
        const Picture& f = faces[int(p[0])];
        const unsigned char* c = f.at(std::clamp(int(p[1] * f.width), 0, f.width - 1),
                                      std::clamp(int(p[2] * f.height), 0, f.height - 1));
        return glm::vec3(c[0], c[1], c[2]);
    };
    // Each edge texel against the one just across the edge, on whatever face the lookup picks there.
    const int n = faces[0].width;
    for (int face = 0; face < skyboxFaceCount; ++face) {
        for (int edge = 0; edge < 4; ++edge) {
            double difference = 0.0;
            for (int i = 0; i < n; ++i) {
                const float along = (i + 0.5f) / n, in = 0.5f / n;
                const glm::vec2 inside[] = {{along, in}, {along, 1 - in}, {in, along}, {1 - in, along}};
                const glm::vec2 across[] = {{along, -in}, {along, 1 + in}, {-in, along}, {1 + in, along}};
                difference += glm::distance(sample(direction(face, inside[edge].x, inside[edge].y)),
                                            sample(direction(face, across[edge].x, across[edge].y)));
            }
            EXPECT_LT(difference / n, 8.0) << skyboxFacePaths[face] << " edge " << edge;
        }
    }
    const glm::vec3 up = sample(glm::vec3(0.0f, 1.0f, 0.0f)), down = sample(glm::vec3(0.0f, -1.0f, 0.0f));
    EXPECT_GT(up.b, up.r + 40.0f) << "blue sky overhead";
    EXPECT_GT(down.g, down.b) << "green valley below";
}

} // namespace
