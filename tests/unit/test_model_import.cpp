// Model files into plain vertices and material texture paths, as the GL layer uploads them.
#include <gtest/gtest.h>

#include <string>

#include "core/model_import.h"
#include "tests/support/files.h"

namespace {

TEST(MaterialTexturePath, KeepsWhatFollowsTheLastBackslashInTheTexturesFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Users\\artist\\golf\\ball_diffuse.png", "Textures/ball_diffuse.png"},
        {"flag.png", "Textures/flag.png"},
        {"maps/flag.png", "Textures/maps/flag.png"},
        {"D:\\art\\maps/flag.png", "Textures/maps/flag.png"},
    };
    for (const auto& [inMaterial, expected] : cases) EXPECT_EQ(materialTexturePath(inMaterial), expected) << inMaterial;
}

TEST(ImportModelFile, GivesTrianglesWithInwardNormalsFlippedUvsAndTheMaterialsMaps) {
    TempDir dir;
    dir.write("m.mtl", "newmtl plain\nKd 1 1 1\nnewmtl mapped\nmap_Kd C:\\art\\ball.png\nmap_Ks specular.png\nnorm n.png\n");
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
    EXPECT_EQ(m.normalPath, "Textures/n.png");
}

TEST(ImportModelFile, AFileThatCannotBeReadSaysWhy) {
    const ImportedModel model = importModelFile("/nonexistent/model.obj");
    EXPECT_FALSE(model.ok);
    EXPECT_FALSE(model.error.empty());
    EXPECT_TRUE(model.meshes.empty());
}

} // namespace
