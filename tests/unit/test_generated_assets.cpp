// The shipped course surface maps, spark sprite, sky box faces and models: formats the loaders need, models that
// import with their own textures and face outwards, normal maps that read the way the importer's tangents run,
// flag and stick that meet where the scene draws them, and sky box faces that join without seams.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/trigonometric.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>
#include <gtest/gtest.h>
#include <stb_image.h>

#include "app/race_state.h"
#include "render/model_import.h"
#include "render/scene_layout.h"
#include "tests/support/cube_map_lookup.h"

namespace {

const std::string dataDir = KELVARA_DATA_DIR;

struct Picture {
    int width = 0;
    int height = 0;
    int fileChannels = 0; // as stored in the file
    std::vector<unsigned char> rgb;

    bool loaded() const { return width > 0; }
    glm::vec3 at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// Decoded as RGB; fileChannels keeps what the file itself holds.
Picture loadPicture(const std::string& relativePath) {
    Picture p;
    const std::string path = dataDir + "/" + relativePath;
    unsigned char* pixels = stbi_load(path.c_str(), &p.width, &p.height, &p.fileChannels, 3);
    if (pixels == nullptr) {
        ADD_FAILURE() << "cannot decode " << path << ": " << stbi_failure_reason();
        p.width = p.height = 0;
        return p;
    }
    p.rgb.assign(pixels, pixels + static_cast<std::size_t>(p.width) * p.height * 3);
    stbi_image_free(pixels);
    return p;
}

glm::vec3 meanColour(const Picture& p) {
    glm::dvec3 sum(0.0);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            sum += glm::dvec3(p.at(x, y));
        }
    }
    return glm::vec3(sum / static_cast<double>(p.width * p.height));
}

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// ---- course surface and spark -------------------------------------------------------------------------------

TEST(GrassMaps, AreThreeChannelImagesOfOneSize) {
    const Picture diffuse = loadPicture("Textures/gras.png");
    const Picture specular = loadPicture("Textures/gras_specular.png");
    const Picture normals = loadPicture("Textures/gras_normals.png");
    ASSERT_TRUE(diffuse.loaded() && specular.loaded() && normals.loaded());
    for (const Picture* p : {&diffuse, &specular, &normals}) {
        EXPECT_EQ(p->fileChannels, 3);
        EXPECT_EQ(p->width, diffuse.width);
        EXPECT_EQ(p->height, diffuse.height);
    }
}

TEST(GrassMaps, DiffuseStaysBelowTheGlowAndSpecularIsDull) {
    const Picture diffuse = loadPicture("Textures/gras.png");
    const Picture specular = loadPicture("Textures/gras_specular.png");
    ASSERT_TRUE(diffuse.loaded() && specular.loaded());
    // Fully sunlit grass gets 1.1 times its texel; the bloom starts at a luminance of 0.95.
    float brightest = 0.0f;
    for (int y = 0; y < diffuse.height; ++y) {
        for (int x = 0; x < diffuse.width; ++x) {
            brightest = std::max(brightest, glm::dot(diffuse.at(x, y), glm::vec3(0.2126f, 0.7152f, 0.0722f)));
        }
    }
    EXPECT_LT(brightest, 0.75f * 255.0f);
    const glm::vec3 mean = meanColour(diffuse);
    EXPECT_GT(mean.g, mean.r) << "grass is green";
    EXPECT_GT(mean.g, mean.b);
    EXPECT_GT(mean.g, 40.0f) << "not black";
    EXPECT_LT(meanColour(specular).r, 64.0f);
}

TEST(GrassMaps, NormalMapIsFlatOnAverageWithSomeRelief) {
    const Picture normals = loadPicture("Textures/gras_normals.png");
    ASSERT_TRUE(normals.loaded());
    const glm::vec3 mean = meanColour(normals);
    EXPECT_NEAR(mean.r, 128.0f, 4.0f);
    EXPECT_NEAR(mean.g, 128.0f, 4.0f);
    EXPECT_GT(mean.b, 235.0f);
    // Relief: a good share of texels leans noticeably, and none points into the ground.
    int leaning = 0;
    for (int y = 0; y < normals.height; ++y) {
        for (int x = 0; x < normals.width; ++x) {
            const glm::vec3 n = normals.at(x, y) / 127.5f - 1.0f;
            ASSERT_GT(n.z, 0.3f) << "texel " << x << ", " << y;
            leaning += glm::length(glm::vec2(n.x, n.y)) > 0.15f ? 1 : 0;
        }
    }
    EXPECT_GT(leaning, normals.width * normals.height / 10);
}

TEST(SparkSprite, IsASquareRgbJpegGlowingInTheMiddleAndBlackAtTheEdges) {
    const Picture spark = loadPicture("Textures/particle.jpg");
    ASSERT_TRUE(spark.loaded());
    EXPECT_EQ(spark.fileChannels, 3);
    EXPECT_EQ(spark.width, spark.height);
    EXPECT_TRUE(isPowerOfTwo(spark.width));
    const int c = spark.width / 2;
    EXPECT_GT(spark.at(c, c).r, 240.0f);
    // Drawn additively: anything above black along the border would show the quad's square outline.
    float border = 0.0f;
    for (int i = 0; i < spark.width; ++i) {
        for (const glm::vec3& v : {spark.at(i, 0), spark.at(i, spark.height - 1), spark.at(0, i),
                                   spark.at(spark.width - 1, i)}) {
            border = std::max({border, v.r, v.g, v.b});
        }
    }
    EXPECT_LE(border, 6.0f);
}

// ---- sky box ------------------------------------------------------------------------------------------------

const std::array<const char*, 6> faceNames = {"posx", "negx", "posy", "negy", "posz", "negz"};

std::array<Picture, 6> loadFaces() {
    std::array<Picture, 6> faces;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        faces[i] = loadPicture(std::string("Skybox/mountain-skyboxes/Maskonaive/") + faceNames[i] + ".jpg");
    }
    return faces;
}

using cubemap::FacePoint;
using cubemap::lookUp;
glm::vec3 faceDirection(int face, float s, float t) { return cubemap::direction(face, s, t); }

glm::vec3 sampleFaces(const std::array<Picture, 6>& faces, const glm::vec3& d) {
    const FacePoint p = lookUp(d);
    const Picture& f = faces[static_cast<std::size_t>(p.face)];
    const int x = std::clamp(static_cast<int>(p.s * f.width), 0, f.width - 1);
    const int y = std::clamp(static_cast<int>(p.t * f.height), 0, f.height - 1);
    return f.at(x, y);
}

TEST(SkyboxFaces, AreSixSquareRgbJpegsOfOneSize) {
    const std::array<Picture, 6> faces = loadFaces();
    for (std::size_t i = 0; i < faces.size(); ++i) {
        ASSERT_TRUE(faces[i].loaded()) << faceNames[i];
        EXPECT_EQ(faces[i].fileChannels, 3) << faceNames[i];
        EXPECT_EQ(faces[i].width, faces[i].height) << faceNames[i];
        EXPECT_EQ(faces[i].width, faces[0].width) << faceNames[i];
    }
    EXPECT_GE(faces[0].width, 512);
}

TEST(SkyboxFaces, NeighbouringFacesAgreeAlongEverySharedEdge) {
    const std::array<Picture, 6> faces = loadFaces();
    for (const Picture& f : faces) {
        ASSERT_TRUE(f.loaded());
    }
    const int n = faces[0].width;
    // Each edge texel of each face against the texel just across the edge on the face the lookup picks there. A
    // face stored turned or mirrored puts unrelated sky, mountains or ground side by side along some edge.
    for (int face = 0; face < 6; ++face) {
        for (int edge = 0; edge < 4; ++edge) {
            double difference = 0.0;
            double reversedDifference = 0.0; // the same edge read backwards: shows the edge has content to compare
            for (int i = 0; i < n; ++i) {
                const float along = (i + 0.5f) / n;
                const float inside = 0.5f / n, outside = -0.5f / n;
                glm::vec2 in, out, backwards;
                switch (edge) {
                case 0: in = {along, inside}; out = {along, outside}; backwards = {1 - along, outside}; break;
                case 1: in = {along, 1 - inside}; out = {along, 1 - outside}; backwards = {1 - along, 1 - outside}; break;
                case 2: in = {inside, along}; out = {outside, along}; backwards = {outside, 1 - along}; break;
                default: in = {1 - inside, along}; out = {1 - outside, along}; backwards = {1 - outside, 1 - along}; break;
                }
                const glm::vec3 here = sampleFaces(faces, faceDirection(face, in.x, in.y));
                ASSERT_EQ(lookUp(faceDirection(face, in.x, in.y)).face, face);
                const glm::vec3 across = sampleFaces(faces, faceDirection(face, out.x, out.y));
                const glm::vec3 mirrored = sampleFaces(faces, faceDirection(face, backwards.x, backwards.y));
                difference += glm::length(here - across);
                reversedDifference += glm::length(here - mirrored);
            }
            difference /= n;
            reversedDifference /= n;
            EXPECT_LT(difference, 8.0) << faceNames[face] << " edge " << edge;
            if (face != 2 && face != 3 && edge >= 2) {
                // The side faces' vertical edges cross sky, mountains and valley: read backwards they must differ.
                EXPECT_GT(reversedDifference, 4.0 * difference + 10.0) << faceNames[face] << " edge " << edge;
            }
        }
    }
}

TEST(SkyboxFaces, SkyAboveValleyBelowAndTheSunWhereTheLightComesFrom) {
    const std::array<Picture, 6> faces = loadFaces();
    for (const Picture& f : faces) {
        ASSERT_TRUE(f.loaded());
    }
    const glm::vec3 up = meanColour(faces[2]);
    const glm::vec3 down = meanColour(faces[3]);
    EXPECT_GT(up.b, up.r + 40.0f) << "blue sky overhead";
    EXPECT_GT(down.g, down.b) << "green valley below";
    EXPECT_LT(glm::length(down), glm::length(up));

    // The brightest patch of sky is the sun's disc, opposite to the light's travel (0, -1, -1). Patches of 8 x 8
    // texels, so single glints of snow do not count.
    constexpr int patch = 8;
    float brightest = -1.0f;
    glm::vec3 brightestDirection(0.0f);
    for (int face = 0; face < 6; ++face) {
        const Picture& f = faces[static_cast<std::size_t>(face)];
        for (int py = 0; py + patch <= f.height; py += patch) {
            for (int px = 0; px + patch <= f.width; px += patch) {
                float sum = 0.0f;
                for (int y = py; y < py + patch; ++y) {
                    for (int x = px; x < px + patch; ++x) {
                        const glm::vec3 c = f.at(x, y);
                        sum += c.r + c.g + c.b;
                    }
                }
                if (sum > brightest) {
                    brightest = sum;
                    brightestDirection = glm::normalize(faceDirection(
                        face, (px + 0.5f * patch) / f.width, (py + 0.5f * patch) / f.height));
                }
            }
        }
    }
    const glm::vec3 sun = glm::normalize(glm::vec3(0.0f, 1.0f, 1.0f));
    EXPECT_GT(glm::dot(brightestDirection, sun), std::cos(glm::radians(3.0f)))
        << "brightest at " << brightestDirection.x << ", " << brightestDirection.y << ", " << brightestDirection.z;

    // Along the horizon a ring of mountains: darker than the sky a little above them, all the way round.
    for (int step = 0; step < 36; ++step) {
        const float azimuth = glm::radians(10.0f * static_cast<float>(step));
        const auto at = [&](float elevationDegrees) {
            const float e = glm::radians(elevationDegrees);
            return sampleFaces(faces, glm::vec3(std::cos(e) * std::sin(azimuth), std::sin(e),
                                                std::cos(e) * std::cos(azimuth)));
        };
        const glm::vec3 mountain = at(1.0f);
        const glm::vec3 skyAbove = at(25.0f);
        EXPECT_LT(mountain.b, skyAbove.b) << "azimuth " << 10 * step;
    }
}

// ---- models -------------------------------------------------------------------------------------------------

constexpr std::size_t positionAt = 0, texCoordAt = 3, normalAt = 5, tangentAt = 8, bitangentAt = 11;

glm::vec3 vec3At(const ImportedMesh& mesh, std::size_t vertex, std::size_t offset) {
    const float* f = &mesh.vertices[vertex * floatsPerVertex + offset];
    return {f[0], f[1], f[2]};
}
glm::vec2 uvAt(const ImportedMesh& mesh, std::size_t vertex) {
    const float* f = &mesh.vertices[vertex * floatsPerVertex + texCoordAt];
    return {f[0], f[1]};
}
std::size_t vertexCount(const ImportedMesh& mesh) { return mesh.vertices.size() / floatsPerVertex; }

const char* const modelFiles[] = {"Models/Golf_Ball_sale.obj", "Models/flag.obj", "Models/flag1.obj",
                                  "Models/stick.obj", "Models/ico.obj"};

ImportedModel importShipped(const std::string& relativePath) {
    const std::string path = dataDir + "/" + relativePath;
    return importModelFile(path.c_str());
}

TEST(ShippedModels, ImportWithTrianglesAndTheirOwnTextures) {
    for (const char* file : modelFiles) {
        SCOPED_TRACE(file);
        const ImportedModel model = importShipped(file);
        ASSERT_TRUE(model.ok) << model.error;
        ASSERT_FALSE(model.meshes.empty());
        for (const ImportedMesh& mesh : model.meshes) {
            const std::size_t count = vertexCount(mesh);
            EXPECT_GT(count, 0u);
            EXPECT_GT(mesh.indices.size(), 0u);
            EXPECT_EQ(mesh.indices.size() % 3, 0u);
            EXPECT_LT(*std::max_element(mesh.indices.begin(), mesh.indices.end()), count);
            // Every mesh names a diffuse, a specular and a normal map that exist: without its own, a model would
            // be drawn with whatever the previous draw left bound.
            ASSERT_LT(mesh.materialIndex, model.materials.size());
            const ImportedMaterial& material = model.materials[mesh.materialIndex];
            for (const std::string& texture : {material.diffusePath, material.specularPath, material.normalPath}) {
                ASSERT_FALSE(texture.empty());
                EXPECT_EQ(texture.rfind("Textures/", 0), 0u) << texture;
                EXPECT_TRUE(std::filesystem::is_regular_file(dataDir + "/" + texture)) << texture;
            }
        }
    }
}

TEST(ShippedModels, SolidModelsAreWoundCounterClockwiseSeenFromOutside) {
    // Back faces are culled for the ball, stick and markers; the stored normals point into the surface.
    for (const char* file : {"Models/Golf_Ball_sale.obj", "Models/stick.obj", "Models/ico.obj"}) {
        SCOPED_TRACE(file);
        const ImportedModel model = importShipped(file);
        ASSERT_TRUE(model.ok) << model.error;
        for (const ImportedMesh& mesh : model.meshes) {
            int wrong = 0;
            for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
                const uint32_t a = mesh.indices[i], b = mesh.indices[i + 1], c = mesh.indices[i + 2];
                const glm::vec3 pa = vec3At(mesh, a, positionAt);
                const glm::vec3 facing = glm::cross(vec3At(mesh, b, positionAt) - pa, vec3At(mesh, c, positionAt) - pa);
                const glm::vec3 outward = -(vec3At(mesh, a, normalAt) + vec3At(mesh, b, normalAt) + vec3At(mesh, c, normalAt));
                wrong += glm::dot(facing, outward) < 0.0f ? 1 : 0;
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

// The ball's body rests half a unit (its collision radius) above the collision surface, which lies half a unit above
// the drawn grass: drawn with radius 1 it touches the grass.
constexpr float drawnBallRadius = 1.0f;

TEST(ShippedModels, BallIsARoundUnitSphereWithOutwardNormalsFromTheFile) {
    const ImportedModel model = importShipped("Models/Golf_Ball_sale.obj");
    ASSERT_TRUE(model.ok) << model.error;
    glm::vec3 low(1e9f), high(-1e9f);
    for (const ImportedMesh& mesh : model.meshes) {
        for (std::size_t v = 0; v < vertexCount(mesh); ++v) {
            const glm::vec3 p = vec3At(mesh, v, positionAt);
            EXPECT_NEAR(glm::length(p), drawnBallRadius, 0.01f);
            // Stored negated: pointing to the centre.
            EXPECT_GT(glm::dot(vec3At(mesh, v, normalAt), -glm::normalize(p)), 0.99f);
            low = glm::min(low, p);
            high = glm::max(high, p);
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(low[axis], -drawnBallRadius, 0.02f);
        EXPECT_NEAR(high[axis], drawnBallRadius, 0.02f);
    }
}

// The normal maps are painted with red along increasing columns and green along increasing rows; the scene
// program reads red along the vertex tangent and green along the bitangent. So wherever a mapped model has
// texture coordinates, the importer's tangent must follow u and its bitangent v as the texture is read (rows
// down, since the file's v is flipped on import).
TEST(ShippedModels, TangentsFollowTheTextureColumnsAndBitangentsItsRows) {
    const ImportedModel model = importShipped("Models/Golf_Ball_sale.obj");
    ASSERT_TRUE(model.ok) << model.error;
    int checked = 0, agreeing = 0;
    for (const ImportedMesh& mesh : model.meshes) {
        for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
            const uint32_t a = mesh.indices[i], b = mesh.indices[i + 1], c = mesh.indices[i + 2];
            const glm::vec3 e1 = vec3At(mesh, b, positionAt) - vec3At(mesh, a, positionAt);
            const glm::vec3 e2 = vec3At(mesh, c, positionAt) - vec3At(mesh, a, positionAt);
            const glm::vec2 d1 = uvAt(mesh, b) - uvAt(mesh, a), d2 = uvAt(mesh, c) - uvAt(mesh, a);
            const float det = d1.x * d2.y - d1.y * d2.x;
            if (std::fabs(det) < 1e-9f) {
                continue;
            }
            // The directions in space in which u and v grow across this triangle.
            const glm::vec3 alongU = (e1 * d2.y - e2 * d1.y) / det;
            const glm::vec3 alongV = (e2 * d1.x - e1 * d2.x) / det;
            const glm::vec3 p = glm::normalize(vec3At(mesh, a, positionAt));
            if (std::fabs(p.y) > 0.9f) {
                continue; // the poles, where the u direction turns on the spot
            }
            ++checked;
            agreeing += glm::dot(vec3At(mesh, a, tangentAt), alongU) > 0.0f &&
                                glm::dot(vec3At(mesh, a, bitangentAt), alongV) > 0.0f
                            ? 1
                            : 0;
        }
    }
    ASSERT_GT(checked, 1000);
    EXPECT_EQ(agreeing, checked);
}

TEST(BallMaps, DimplesAreHollowsThatShadeDarkerWhereTheyAreDeeper) {
    const Picture normals = loadPicture("Textures/ball_normals.png");
    const Picture diffuse = loadPicture("Textures/ball_diffuse.png");
    ASSERT_TRUE(normals.loaded() && diffuse.loaded());
    ASSERT_EQ(normals.width, diffuse.width);
    ASSERT_EQ(normals.height, diffuse.height);
    EXPECT_EQ(normals.fileChannels, 3);
    // In a hollow the surface leans towards its deepest point: with red along the columns and green along the
    // rows, (red, green) points where the painted dimple shading grows darker. A bump would point the other way.
    // Rows clear of the poles and of the lettering on the equator.
    int leaningIn = 0, leaningOut = 0;
    constexpr int reach = 3;
    for (const int bandCentre : {normals.height * 3 / 10, normals.height * 7 / 10}) {
        for (int y = bandCentre - normals.height / 20; y < bandCentre + normals.height / 20; ++y) {
            for (int x = reach; x < normals.width - reach; ++x) {
                const glm::vec3 n = normals.at(x, y) / 127.5f - 1.0f;
                if (glm::length(glm::vec2(n.x, n.y)) < 0.25f) {
                    continue;
                }
                const glm::vec2 brighter(diffuse.at(x + reach, y).r - diffuse.at(x - reach, y).r,
                                         diffuse.at(x, y + reach).r - diffuse.at(x, y - reach).r);
                if (glm::length(brighter) < 1.5f) {
                    continue;
                }
                (glm::dot(glm::vec2(n.x, n.y), brighter) < 0.0f ? leaningIn : leaningOut) += 1;
            }
        }
    }
    ASSERT_GT(leaningIn + leaningOut, 1000);
    EXPECT_GT(leaningIn, 9 * leaningOut);
}

TEST(ShippedModels, BallStaysUnderTheGlowExceptInItsHighlights) {
    const Picture diffuse = loadPicture("Textures/ball_diffuse.png");
    ASSERT_TRUE(diffuse.loaded());
    float brightest = 0.0f;
    for (int y = 0; y < diffuse.height; ++y) {
        for (int x = 0; x < diffuse.width; ++x) {
            const glm::vec3 c = diffuse.at(x, y);
            brightest = std::max({brightest, c.r, c.g, c.b});
        }
    }
    // Lit at most by 1.1 times its texel without the highlight; the glow starts at 0.95.
    EXPECT_LT(brightest / 255.0f * 1.1f, 0.95f);
    EXPECT_GT(brightest, 180.0f) << "still a white ball";
}

glm::vec3 transformed(const glm::mat4& m, const glm::vec3& p) { return glm::vec3(m * glm::vec4(p, 1.0f)); }

struct WorldBounds {
    glm::vec3 low{1e9f}, high{-1e9f};
};
WorldBounds worldBounds(const ImportedModel& model, const glm::mat4& placement) {
    WorldBounds b;
    for (const ImportedMesh& mesh : model.meshes) {
        for (std::size_t v = 0; v < vertexCount(mesh); ++v) {
            const glm::vec3 w = transformed(placement, vec3At(mesh, v, positionAt));
            b.low = glm::min(b.low, w);
            b.high = glm::max(b.high, w);
        }
    }
    return b;
}

TEST(GoalFlag, ClothLiesInItsPlaneWithTheHeldEdgeWhereTheWaveIsPinned) {
    // The flag program keeps the cloth still at model y = -1.2 and lifts it along z further away.
    for (const char* file : {"Models/flag.obj", "Models/flag1.obj"}) {
        SCOPED_TRACE(file);
        const ImportedModel model = importShipped(file);
        ASSERT_TRUE(model.ok) << model.error;
        float lowY = 1e9f, highY = -1e9f, lowX = 1e9f, highX = -1e9f;
        for (const ImportedMesh& mesh : model.meshes) {
            for (std::size_t v = 0; v < vertexCount(mesh); ++v) {
                const glm::vec3 p = vec3At(mesh, v, positionAt);
                EXPECT_FLOAT_EQ(p.z, 0.0f);
                EXPECT_NEAR(std::fabs(vec3At(mesh, v, normalAt).z), 1.0f, 1e-4f);
                lowY = std::min(lowY, p.y);
                highY = std::max(highY, p.y);
                lowX = std::min(lowX, p.x);
                highX = std::max(highX, p.x);
            }
        }
        EXPECT_NEAR(lowY, -1.2f, 1e-4f);
        EXPECT_GT(highY - lowY, 2.0f) << "long enough for the wave to show";
        EXPECT_NEAR(lowX, -highX, 1e-4f) << "centred on the anchor vertically";
    }
    // Enough vertices along the cloth for the five-unit wave to bend smoothly.
    const ImportedModel flag = importShipped("Models/flag.obj");
    ASSERT_TRUE(flag.ok);
    std::size_t vertices = 0;
    for (const ImportedMesh& mesh : flag.meshes) {
        vertices += vertexCount(mesh);
    }
    EXPECT_GE(vertices, 1000u);
}

TEST(GoalFlag, HangsFromTheStickWhichReachesDownIntoTheGoalHollow) {
    const ImportedModel flag = importShipped("Models/flag.obj");
    const ImportedModel stick = importShipped("Models/stick.obj");
    ASSERT_TRUE(flag.ok && stick.ok);
    const WorldBounds cloth = worldBounds(flag, flagModelMatrix());
    const WorldBounds pole = worldBounds(stick, stickModelMatrix());
    const glm::vec3 goal = checkpoints.back();
    const float poleX = 0.5f * (pole.low.x + pole.high.x);
    // The held edge (the cloth's side nearest the stick) touches the pole.
    const float heldEdge = std::fabs(cloth.high.x - poleX) < std::fabs(cloth.low.x - poleX) ? cloth.high.x : cloth.low.x;
    EXPECT_NEAR(heldEdge, poleX, 0.2f);
    EXPECT_LT(pole.high.x - pole.low.x, 1.0f) << "a slim pole";
    // The pole rises just above the cloth and stands in the hollow pressed about 2.4 units under the goal.
    EXPECT_GT(pole.high.y, cloth.high.y);
    EXPECT_LT(pole.high.y, cloth.high.y + 2.0f);
    EXPECT_LT(pole.low.y, goal.y - 2.5f);
    EXPECT_GT(pole.low.y, goal.y - 10.0f);
}

TEST(CheckpointMarker, IsAHollowCageAboutTheCheckpointReach) {
    const ImportedModel model = importShipped("Models/ico.obj");
    ASSERT_TRUE(model.ok) << model.error;
    float nearest = 1e9f, farthest = 0.0f;
    for (const ImportedMesh& mesh : model.meshes) {
        for (std::size_t v = 0; v < vertexCount(mesh); ++v) {
            const float r = glm::length(vec3At(mesh, v, positionAt));
            nearest = std::min(nearest, r);
            farthest = std::max(farthest, r);
        }
    }
    // Drawn ten times larger: about the 5.5-unit reach, and open so the ball shows inside.
    EXPECT_GT(farthest * 10.0f, 4.0f);
    EXPECT_LT(farthest * 10.0f, 5.5f);
    EXPECT_GT(nearest * 10.0f, 2.5f);
    // Strongly coloured everywhere, so the scene program lets it glow.
    const Picture texture = loadPicture("Textures/marker_diffuse.png");
    ASSERT_TRUE(texture.loaded());
    float palest = 1.0f;
    for (int y = 0; y < texture.height; ++y) {
        for (int x = 0; x < texture.width; ++x) {
            const glm::vec3 c = texture.at(x, y) / 255.0f;
            palest = std::min(palest, std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}));
        }
    }
    EXPECT_GT(palest, 0.6f);
}

} // namespace
