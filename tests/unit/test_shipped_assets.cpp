// The scene and the files it is made of. The shipped pictures and models as the game reads them: formats the loaders
// need, sprites with clean margins, models with their own textures facing outwards, the flag on its stick, and sky
// faces that join without seams; model files into plain vertices and material texture paths as the GL layer uploads
// them, and shader sources as the compiler receives them, with the failure a missing file raises. The markers still
// to collect and how they turn, the spark bursts, and the bloom blur's paired fetches, which linear filtering splits
// back into the kernel's two taps.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "core/bloom_weights.h"
#include "core/hud_text.h"
#include "core/model_import.h"
#include "core/particles.h"
#include "core/scene_layout.h"
#include "core/shader_file.h"
#include "core/sky_faces.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

TEST(ShippedSprites, HaveTheChannelsTheirLoadersNeedBannersKeepClearMarginsAndTheNeedlePointsLeft) {
    // A banner has lettering that must keep clear of the edges.
    struct Sprite { const char* name; int channels; bool banner = false; };
    const Sprite sprites[] = {{"getready.png", 4, true}, {"letroll.png", 4, true}, {"youwon.png", 4, true},
                              {"youlost.png", 4, true}, {"paused.png", 4, true}, {"time.png", 4},
                              {"boost_gauge.png", 4}, {"boost_gauge_pointer.png", 4}, {"timeP.png", 3}, {"boostP.png", 3},
                              {"digits.png", 4}, {"best.png", 4}, {"newrecord.png", 4}, {"medals.png", 4}};
    for (const Sprite& s : sprites) {
        const Picture p = loadPicture(dataFile(std::string("UserInterface/") + s.name));
        ASSERT_TRUE(p.loaded()) << s.name;
        EXPECT_EQ(p.fileChannels, s.channels) << s.name;
        if (!s.banner) continue;
        const int margin = p.width / 32;
        int opaqueInMargin = 0, left = p.width, right = -1;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const bool inMargin = std::min({x, y, p.width - 1 - x, p.height - 1 - y}) < margin;
                opaqueInMargin += inMargin && p.at(x, y)[3] > 0 ? 1 : 0;
                if (p.at(x, y)[3] == 255) left = std::min(left, x), right = std::max(right, x);
            }
        EXPECT_EQ(opaqueInMargin, 0) << s.name;
        EXPECT_GT(right - left, p.width * 3 / 4) << s.name << ": lettering across the middle";
    }

    // The gauge needle has its tip at the left end, where the HUD puts it.
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

TEST(ShippedSprites, DigitAtlasCellsStayApartAndFitTheirStepsAndTheSparkIsBlackAtItsEdges) {
    const Picture atlas = loadPicture(dataFile("UserInterface/digits.png"));
    ASSERT_TRUE(atlas.loaded());
    ASSERT_EQ(atlas.width, glyphCellWidth * glyphCellCount);
    ASSERT_EQ(atlas.height, glyphCellHeight);
    // A clear gutter at every cell's sides, so sampling (and the mipmaps) of one glyph never shows its neighbour.
    const int gutter = 4;
    for (int cell = 0; cell < glyphCellCount; ++cell) {
        int covered = 0, solidLeft = glyphCellWidth, solidRight = -1;
        for (int y = 0; y < atlas.height; ++y)
            for (int x = 0; x < glyphCellWidth; ++x) {
                const int a = atlas.at(cell * glyphCellWidth + x, y)[3];
                covered += (x < gutter || x >= glyphCellWidth - gutter) && a > 0 ? 1 : 0;
                if (a == 255) solidLeft = std::min(solidLeft, x), solidRight = std::max(solidRight, x);
            }
        EXPECT_EQ(covered, 0) << "cell " << cell;
        ASSERT_GE(solidRight, solidLeft) << "cell " << cell << " is empty";
        const float step = (cell == glyphPoint ? pointAdvance : digitAdvance) * static_cast<float>(glyphCellWidth);
        EXPECT_LE(static_cast<float>(solidRight - solidLeft + 1), step) << "cell " << cell << " overlaps its neighbours";
        EXPECT_NEAR((solidLeft + solidRight) * 0.5, glyphCellWidth * 0.5, 3.0) << "cell " << cell << " is centred";
    }

    // The spark glows in the middle and is black at the edges, since it is added on.
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
    for (const ImportedMesh& mesh : model.meshes)
        for (std::size_t v = 0; v < mesh.vertices.size() / floatsPerVertex; ++v) {
            const glm::vec3 p(placement * glm::vec4(position(mesh, v), 1.0f));
            b = {glm::min(b[0], p), glm::max(b[1], p)};
        }
    return b;
}

ImportedModel importShipped(const char* file) { return importModelFile(dataFile(file).c_str()); }

TEST(ShippedModels, ImportWithTheirOwnTexturesAndSolidOnesFaceOutwards) {
    // Solid ones are drawn with back faces culled.
    const std::pair<const char*, bool> models[] = {{"Models/Golf_Ball_sale.obj", true}, {"Models/flag.obj", false},
                                                   {"Models/flag1.obj", false}, {"Models/stick.obj", true},
                                                   {"Models/ico.obj", true}};
    for (const auto& c : models) {
        const ImportedModel model = importShipped(c.first);
        ASSERT_TRUE(model.ok) << c.first << ": " << model.error;
        ASSERT_FALSE(model.meshes.empty()) << c.first;
        for (const ImportedMesh& mesh : model.meshes) {
            ASSERT_LT(mesh.materialIndex, model.materials.size()) << c.first;
            const ImportedMaterial& m = model.materials[mesh.materialIndex];
            // Without textures of its own a model would be drawn with whatever the previous draw left bound.
            for (const std::string& texture : {m.diffusePath, m.specularPath, m.normalPath})
                EXPECT_TRUE(fs::is_regular_file(dataFile(texture))) << c.first << ": '" << texture << "'";
            int inward = 0;
            for (std::size_t i = 0; c.second && i + 2 < mesh.indices.size(); i += 3) {
                const glm::vec3 a = position(mesh, mesh.indices[i]);
                const glm::vec3 facing = glm::cross(position(mesh, mesh.indices[i + 1]) - a,
                                                    position(mesh, mesh.indices[i + 2]) - a);
                inward += glm::dot(facing, -normal(mesh, mesh.indices[i])) < 0.0f ? 1 : 0; // normals point inwards
            }
            EXPECT_EQ(inward, 0) << c.first;
        }
    }
}

TEST(ShippedModels, TheBallTouchesTheGrassTheFlagHangsFromItsStickInTheHollowAndTheMarkerCagesTheReach) {
    const auto [low, high] = bounds(importShipped("Models/Golf_Ball_sale.obj"));
    expectVecNear(low, glm::vec3(-1.0f), 0.02f, "low");
    expectVecNear(high, glm::vec3(1.0f), 0.02f, "high");

    // The flag hangs from the stick, which stands in the goal hollow.
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

    // The marker is an open cage about the checkpoint's reach.
    const auto cage = bounds(importShipped("Models/ico.obj"), markerModelMatrix(course.checkpoints[1], 1, 0.0f));
    const glm::vec3 size = cage[1] - cage[0];
    EXPECT_GT(size.x, 8.0f);
    EXPECT_LT(size.x, 2.0f * course.reachRadius) << "and no larger";
    EXPECT_LT(glm::distance((cage[0] + cage[1]) * 0.5f, course.checkpoints[1]), 0.5f);
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
    const int n = faces[0].width;
    for (int face = 0; face < skyboxFaceCount; ++face) {
        for (int edge = 0; edge < 4; ++edge) {
            double difference = 0.0; // each edge texel against the one just across the edge
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

// A material's maps are looked up in the textures folder by what follows the last backslash, a folder after it kept
// (a plain relative folder: test_assets_gl.cpp). A file that cannot be read says why.
TEST(ImportModelFile, GivesTrianglesWithInwardNormalsFlippedUvsAndTheMaterialsMapsOrSaysWhyNot) {
    TempDir dir;
    dir.write("m.mtl", "newmtl plain\nKd 1 1 1\nnewmtl mapped\nmap_Kd C:\\art\\ball.png\nmap_Ks specular.png\n"
                       "norm D:\\art\\maps/n.png\n");
    // A quad facing +z with texture coordinates, then a line, which is no triangle.
    const std::string path = dir.write("m.obj", "mtllib m.mtl\nv 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\n"
                                                "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                                                "usemtl mapped\nf 1/1/1 2/2/1 3/3/1 4/4/1\nl 1 3\n");
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    ASSERT_EQ(model.meshes.size(), 1u);
    const ImportedMesh& mesh = model.meshes[0];
    EXPECT_EQ(mesh.indices.size(), 6u) << "two triangles, no line";
    for (uint32_t v : mesh.indices) {
        const float* f = &mesh.vertices[std::size_t(v) * floatsPerVertex];
        EXPECT_FLOAT_EQ(f[7], -1.0f) << "normal points into the surface";
        EXPECT_FLOAT_EQ(f[4], 1.0f - f[1]) << "v runs down the picture";
        EXPECT_FLOAT_EQ(f[8], 1.0f) << "tangent along u";
    }
    const ImportedMaterial& m = model.materials.at(mesh.materialIndex);
    EXPECT_EQ(m.diffusePath, "Textures/ball.png");
    EXPECT_EQ(m.specularPath, "Textures/specular.png");
    EXPECT_EQ(m.normalPath, "Textures/maps/n.png");

    const ImportedModel none = importModelFile("/nonexistent/model.obj");
    EXPECT_FALSE(none.ok);
    EXPECT_FALSE(none.error.empty());
    EXPECT_TRUE(none.meshes.empty());
}

TEST(ReadShaderFile, EveryLineEndsInANewlineAFinalNewlineAddsAnEmptyLineAndAMissingFileThrows) {
    const std::pair<const char*, const char*> cases[] = {
        {"first\nsecond\n", "first\nsecond\n\n"},
        {"first\nsecond", "first\nsecond\n"},
        {"", "\n"},
        {"void main() {\n\n    x = 1;\n}", "void main() {\n\n    x = 1;\n}\n"},
    };
    TempDir dir;
    for (const auto& [text, expected] : cases) EXPECT_EQ(readShaderFile(dir.write("a.vert", text).c_str()), expected);

    // A missing file or a folder throws, naming the path.
    for (const std::string& path : {dir.path("missing.vert"), dir.root.string()}) {
        std::unique_ptr<FileNotFoundException> error;
        try {
            readShaderFile(path.c_str());
        } catch (FileNotFoundException* e) {
            error.reset(e);
        }
        ASSERT_NE(error, nullptr) << path;
        EXPECT_STREQ(error->what(), "Failed to load shader file. File doesn't exist.");
        EXPECT_STREQ(error->getFileName(), path.c_str());
    }
}

TEST(Markers, StandOnTheCheckpointsBetweenStartAndGoalUntilCollectedTurningOneRadianPerSecond) {
    for (const std::size_t count : {2u, 5u, 10u}) { // however long the course
        std::vector<bool> reached(count, false);
        if (count > 3) reached[3] = true;
        for (std::size_t i = 0; i < count + 1; ++i) {
            const bool expected = i != 0 && i != 3 && i < count - 1;
            EXPECT_EQ(checkpointHasMarker(i, reached), expected) << count << " checkpoints, checkpoint " << i;
        }
        reached.assign(count, true);
        for (std::size_t i = 0; i < count; ++i) EXPECT_FALSE(checkpointHasMarker(i, reached)) << i;
    }

    // They turn about their checkpoint, one radian per second.
    const glm::vec3 checkpoint(45.8f, -22.4f, 80.9f);
    auto heading = [&](float time) {
        const glm::vec4 x = markerModelMatrix(checkpoint, 2, time) * glm::vec4(1.0f, 0.0f, 0.0f, 0.0f);
        return std::atan2(-x.z, x.x);
    };
    EXPECT_NEAR(std::remainder(heading(0.5f) - heading(0.0f), 6.2831853f), 0.5f, 1e-4f);
    const glm::vec4 centre = markerModelMatrix(checkpoint, 2, 0.7f) * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_LT(glm::distance(glm::vec3(centre), checkpoint), 1e-3f);
}

long active(const ParticlePool& pool) {
    return std::count_if(pool.slots.begin(), pool.slots.end(), [](const Particle& p) { return p.active; });
}

TEST(Sparks, BurstsNeverReplaceLiveSparksAndSparksRiseFallDieAfterOneSecondAndDrawFarthestFirst) {
    ParticlePool full;
    spawnParticles(full, glm::vec3(0.0f), 900);
    spawnParticles(full, glm::vec3(5.0f), 200);
    EXPECT_EQ(active(full), long(particlePoolSize));
    EXPECT_EQ(full.slots[10].position, glm::vec3(0.0f));
    EXPECT_EQ(full.slots[999].position, glm::vec3(5.0f));
    ParticlePool pool;
    spawnParticles(pool, glm::vec3(std::nanf(""), 0.0f, 0.0f), 10);
    spawnParticles(pool, glm::vec3(0.0f), 0);
    EXPECT_EQ(active(pool), 0) << "a broken ball position throws no sparks";

    // Sparks rise, fall and die after one second, and are drawn farthest first.
    spawnParticles(pool, glm::vec3(0.0f), 50);
    const glm::vec3 eye(0.0f, 0.0f, 10.0f);
    float highest = 0.0f;
    for (int frame = 0; frame < 3; ++frame) updateParticles(pool, 0.25f, eye);
    for (const Particle& p : pool.slots) highest = std::max(highest, p.position.y);
    EXPECT_GT(highest, 0.0f) << "thrown upwards";
    EXPECT_EQ(active(pool), 50);
    std::vector<uint32_t> order;
    particleDrawOrder(pool, order);
    ASSERT_EQ(order.size(), 50u) << "every live spark, once";
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_TRUE(pool.slots[order[i]].active);
        if (i > 0) {
            EXPECT_GE(glm::distance(pool.slots[order[i - 1]].position, eye),
                      glm::distance(pool.slots[order[i]].position, eye));
        }
    }
    updateParticles(pool, 0.25f, eye);
    EXPECT_EQ(active(pool), 0);
    particleDrawOrder(pool, order);
    EXPECT_TRUE(order.empty());
}

TEST(BloomFetches, EachPairedFetchFiltersBackIntoTheKernelsTwoTaps) {
    const std::array<float, 5> w = computeBloomWeights();
    const BloomFetches f = pairBloomTaps(w);
    EXPECT_EQ(f.offsets[0], 0.0f);
    EXPECT_EQ(f.weights[0], w[0]);
    for (std::size_t pair = 1; pair < 3; ++pair) {
        const std::size_t near = 2 * pair - 1;
        // A fetch at texel near + t reads the near texel with 1 - t of its weight and the next with t.
        const float t = f.offsets[pair] - float(near);
        ASSERT_GT(t, 0.0f);
        ASSERT_LT(t, 1.0f);
        EXPECT_NEAR(f.weights[pair] * (1.0f - t), w[near], 1e-6f) << "tap " << near;
        EXPECT_NEAR(f.weights[pair] * t, w[near + 1], 1e-6f) << "tap " << near + 1;
    }
}

} // namespace
