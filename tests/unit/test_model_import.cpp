// Model files on the CPU: material texture paths and the Assimp import into Vertex floats and indices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "render/model_import.h"
#include "tests/support/temp_files.h"

namespace {

using testfiles::TempDir;

TEST(MaterialTexturePath, WindowsAbsolutePathKeepsOnlyTheLastComponent) {
    EXPECT_EQ(materialTexturePath("C:\\Users\\artist\\golf\\ball_diffuse.png"), "Textures/ball_diffuse.png");
}

TEST(MaterialTexturePath, BareNameIsPutInTexturesFolder) {
    EXPECT_EQ(materialTexturePath("flag.png"), "Textures/flag.png");
}

TEST(MaterialTexturePath, ForwardSlashesAreKeptWhole) {
    EXPECT_EQ(materialTexturePath("maps/flag.png"), "Textures/maps/flag.png");
    EXPECT_EQ(materialTexturePath("/abs/maps/flag.png"), "Textures//abs/maps/flag.png");
}

TEST(MaterialTexturePath, MixedSeparatorsSplitAtTheLastBackslashOnly) {
    EXPECT_EQ(materialTexturePath("D:\\art\\maps/flag.png"), "Textures/maps/flag.png");
    EXPECT_EQ(materialTexturePath("folder\\"), "Textures/");
}

// Reads the floats of vertex v of a mesh: field offsets are in floats, as laid out in Vertex.
struct VertexView {
    const ImportedMesh& mesh;
    float at(std::size_t v, std::size_t floatOffset) const { return mesh.vertices[v * floatsPerVertex + floatOffset]; }
};
constexpr std::size_t positionAt = 0, texCoordAt = 3, normalAt = 5, tangentAt = 8, bitangentAt = 11;

// One quad in the z = 0 plane facing +z, no texture coordinates, one material.
const char* plainQuadObj = "v 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1 4//1\n";

TEST(ImportModelFile, MeshWithoutTexCoordsGetsZeroUvAndZeroTangents) {
    TempDir dir;
    const std::string path = dir.write("quad.obj", plainQuadObj);
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    ASSERT_EQ(model.meshes.size(), 1u);
    const ImportedMesh& mesh = model.meshes[0];
    ASSERT_EQ(mesh.vertices.size(), 4u * floatsPerVertex);
    const VertexView view{mesh};
    for (std::size_t v = 0; v < 4; ++v) {
        EXPECT_EQ(view.at(v, texCoordAt), 0.0f);
        EXPECT_EQ(view.at(v, texCoordAt + 1), 0.0f);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(view.at(v, tangentAt + i), 0.0f) << "vertex " << v;
            EXPECT_EQ(view.at(v, bitangentAt + i), 0.0f) << "vertex " << v;
        }
    }
}

TEST(ImportModelFile, NormalsPointIntoTheSurface) {
    TempDir dir;
    const std::string path = dir.write("quad.obj", plainQuadObj);
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    const VertexView view{model.meshes.at(0)};
    for (std::size_t v = 0; v < 4; ++v) {
        EXPECT_FLOAT_EQ(view.at(v, normalAt + 0), 0.0f);
        EXPECT_FLOAT_EQ(view.at(v, normalAt + 1), 0.0f);
        EXPECT_FLOAT_EQ(view.at(v, normalAt + 2), -1.0f);
    }
}

TEST(ImportModelFile, QuadIsTriangulatedAndPositionsKept) {
    TempDir dir;
    const std::string path = dir.write("quad.obj", plainQuadObj);
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    const ImportedMesh& mesh = model.meshes.at(0);
    ASSERT_EQ(mesh.indices.size(), 6u);
    const VertexView view{mesh};
    float area = 0.0f;
    for (std::size_t t = 0; t < 2; ++t) {
        const uint32_t a = mesh.indices[3 * t], b = mesh.indices[3 * t + 1], c = mesh.indices[3 * t + 2];
        ASSERT_LT(std::max({a, b, c}), 4u);
        const float abx = view.at(b, positionAt) - view.at(a, positionAt);
        const float aby = view.at(b, positionAt + 1) - view.at(a, positionAt + 1);
        const float acx = view.at(c, positionAt) - view.at(a, positionAt);
        const float acy = view.at(c, positionAt + 1) - view.at(a, positionAt + 1);
        area += 0.5f * (abx * acy - aby * acx);
    }
    // Both triangles keep the file's counter-clockwise order and together cover the 2 x 1 quad.
    EXPECT_FLOAT_EQ(area, 2.0f);
}

TEST(ImportModelFile, TexCoordsAreFlippedVerticallyAndGiveTangents) {
    TempDir dir;
    const std::string path = dir.write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                                  "vt 0.25 0.75\nvt 0.5 0.75\nvt 0.25 1\n"
                                                  "vn 0 0 1\nf 1/1/1 2/2/1 3/3/1\n");
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    const ImportedMesh& mesh = model.meshes.at(0);
    ASSERT_EQ(mesh.vertices.size(), 3u * floatsPerVertex);
    const VertexView view{mesh};
    for (std::size_t v = 0; v < 3; ++v) {
        const float x = view.at(v, positionAt), y = view.at(v, positionAt + 1);
        // u follows x and v runs against y after the flip: (0,0)->(0.25,0.25), (1,0)->(0.5,0.25), (0,1)->(0.25,0).
        EXPECT_FLOAT_EQ(view.at(v, texCoordAt), 0.25f + 0.25f * x);
        EXPECT_FLOAT_EQ(view.at(v, texCoordAt + 1), 0.25f - 0.25f * y);
        const float tangentLength = std::hypot(view.at(v, tangentAt), view.at(v, tangentAt + 1),
                                               view.at(v, tangentAt + 2));
        EXPECT_NEAR(tangentLength, 1.0f, 1e-4f) << "vertex " << v;
    }
}

TEST(ImportModelFile, LineElementsDoNotEnterTheTriangleList) {
    TempDir dir;
    const std::string path = dir.write("mixed.obj", std::string(plainQuadObj) + "l 1 3\n");
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    std::size_t indexCount = 0;
    for (const ImportedMesh& mesh : model.meshes) {
        EXPECT_EQ(mesh.indices.size() % 3, 0u);
        indexCount += mesh.indices.size();
    }
    EXPECT_EQ(indexCount, 6u);
}

TEST(ImportModelFile, MaterialTexturesAreFoundByKindAndPlacedInTexturesFolder) {
    TempDir dir;
    dir.write("two.mtl", "newmtl shiny\n"
                         "map_Kd C:\\Users\\art\\golf\\ball.png\n"
                         "map_Ks ball_spec.png\n"
                         "norm ball_normal.png\n"
                         "newmtl plain\n"
                         "map_Kd maps/grass.png\n"
                         "map_Kn grass_normal.png\n"
                         "map_bump grass_height.png\n");
    const std::string path = dir.write("two.obj", "mtllib two.mtl\n"
                                                  "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvn 0 0 1\n"
                                                  "o first\nusemtl shiny\nf 1//1 2//1 3//1\n"
                                                  "o second\nusemtl plain\nf 1//1 3//1 4//1\n");
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    ASSERT_EQ(model.meshes.size(), 2u);

    const ImportedMaterial& shiny = model.materials.at(model.meshes[0].materialIndex);
    EXPECT_EQ(shiny.diffusePath, "Textures/ball.png");
    EXPECT_EQ(shiny.specularPath, "Textures/ball_spec.png");
    EXPECT_EQ(shiny.normalPath, "Textures/ball_normal.png");

    // A bump (height) map is not a normal map; map_Kn is.
    const ImportedMaterial& plain = model.materials.at(model.meshes[1].materialIndex);
    EXPECT_EQ(plain.diffusePath, "Textures/maps/grass.png");
    EXPECT_EQ(plain.specularPath, "");
    EXPECT_EQ(plain.normalPath, "Textures/grass_normal.png");
}

TEST(ImportModelFile, MeshesFollowFileOrderWithTheirMaterialNumbers) {
    TempDir dir;
    dir.write("m.mtl", "newmtl red\nKd 1 0 0\nnewmtl blue\nKd 0 0 1\n");
    const std::string path = dir.write("m.obj", "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nvn 0 0 1\n"
                                                "o a\nusemtl blue\nf 1//1 2//1 3//1\n"
                                                "o b\nusemtl red\nf 4//1 2//1 3//1\n");
    const ImportedModel model = importModelFile(path.c_str());
    ASSERT_TRUE(model.ok) << model.error;
    ASSERT_EQ(model.meshes.size(), 2u);
    EXPECT_NE(model.meshes[0].materialIndex, model.meshes[1].materialIndex);
    for (const ImportedMesh& mesh : model.meshes) {
        EXPECT_LT(mesh.materialIndex, model.materials.size());
        EXPECT_TRUE(model.materials[mesh.materialIndex].diffusePath.empty());
    }
    // The second object alone uses the far corner.
    const VertexView second{model.meshes[1]};
    bool hasFarCorner = false;
    for (std::size_t v = 0; v < model.meshes[1].vertices.size() / floatsPerVertex; ++v) {
        hasFarCorner = hasFarCorner || second.at(v, positionAt) == 5.0f;
    }
    EXPECT_TRUE(hasFarCorner);
}

TEST(ImportModelFile, UnreadableFileReportsTheImportersError) {
    TempDir dir;
    const std::string missing = dir.path("nothing.obj").string();
    const ImportedModel model = importModelFile(missing.c_str());
    EXPECT_FALSE(model.ok);
    EXPECT_FALSE(model.error.empty());
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_TRUE(model.materials.empty());
}

TEST(ImportModelFile, TextThatIsNoModelGivesNothingToDraw) {
    TempDir dir;
    const std::string garbage = dir.write("garbage.obj", "this is not a model\n\x01\x02\x03");
    const ImportedModel model = importModelFile(garbage.c_str());
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_TRUE(model.ok || !model.error.empty());
}

} // namespace
