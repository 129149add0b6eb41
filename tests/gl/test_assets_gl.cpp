// Pictures and models onto the GPU: every row arrives exactly, whatever the channels, and a model finds its material
// textures (or says which it could not).
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>
#include <vector>

#include "gl/model.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"

namespace {

// Bytes whose every one differs from its neighbours, so a shifted, padded or flipped row shows.
std::vector<uint16_t> pattern(std::size_t count) {
    std::vector<uint16_t> values(count);
    for (std::size_t i = 0; i < count; ++i) values[i] = uint16_t((17 + i * 23) % 256);
    return values;
}

TEST(Textures, ArriveExactlyForEveryChannelCountAndOddWidths) {
    struct Case {
        int channels;
        bool clampedRgb;  // the HUD bars' loader: always three channels
        GLenum readAs;
        int readChannels;
    };
    const Case cases[] = {{1, false, GL_RED, 1}, {2, false, GL_RG, 2}, {3, false, GL_RGB, 3}, {4, false, GL_RGBA, 4},
                          {1, true, GL_RGB, 3},  {4, true, GL_RGB, 3}};
    TempDir dir;
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.channels) + " channels" + (c.clampedRgb ? ", clamped RGB" : "");
        const std::vector<uint16_t> values = pattern(5 * 3 * c.channels); // 5 x 3: rows of odd byte length
        Texture texture(dir.path("t.png"));
        ASSERT_TRUE(writePng(texture.filePath, 5, 3, c.channels, 8, values));
        ASSERT_TRUE(c.clampedRgb ? texture.loadClampedRgb() : texture.load()) << what;
        std::vector<uint8_t> expected; // the file's rows in order, grey spread to RGB, alpha dropped for RGB
        for (std::size_t p = 0; p < 15; ++p)
            for (int k = 0; k < c.readChannels; ++k) expected.push_back(uint8_t(values[p * c.channels + (c.channels == 1 ? 0 : k)]));
        std::vector<uint8_t> stored(expected.size());
        glBindTexture(GL_TEXTURE_2D, texture.textureId);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, c.readAs, GL_UNSIGNED_BYTE, stored.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(stored, expected) << what;
        texture.clear();
    }
    for (const std::string& path : {dir.path("none.png"), dir.write("fake.png", "no picture")}) {
        Texture texture(path);
        EXPECT_EQ(stdoutOf([&] { EXPECT_FALSE(texture.load()); }), "Failed to find: " + path + "\n");
        EXPECT_EQ(texture.textureId, 0u);
    }
}

TEST(Models, FindTheirMaterialTexturesBySlashOrBackslashAndNameTheMissingOnes) {
    TempDir dir;
    WorkingDirectory inDir(dir.root);
    for (const char* image : {"Textures/ball.png", "Textures/maps/grass.png", "Textures/specular.png"})
        ASSERT_TRUE(writePng(dir.path(image), 2, 2, 3, 8, pattern(12)));
    dir.write("Models/m.mtl", "newmtl windows\nmap_Kd C:\\Users\\art\\ball.png\nmap_Ks specular.png\nnorm gone.png\n"
                              "newmtl relative\nmap_Kd maps/grass.png\n");
    dir.write("Models/m.obj", "mtllib m.mtl\nv -1 -1 0\nv 3 -1 0\nv -1 3 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n"
                              "o first\nusemtl windows\nf 1/1/1 2/2/1 3/3/1\n"
                              "o second\nusemtl relative\nf 1/1/1 3/3/1 2/2/1\n");
    Model model;
    EXPECT_EQ(stdoutOf([&] { model.loadModel("Models/m.obj"); }),
              "Failed to find: Textures/gone.png\nFailed to load normalmap at: Textures/gone.png\n");
    ASSERT_EQ(model.meshList.size(), 2u);
    EXPECT_EQ(model.textureList.at(model.meshMaterial[0]).filePath, "Textures/ball.png");
    EXPECT_EQ(model.textureList.at(model.meshMaterial[1]).filePath, "Textures/maps/grass.png");
    for (uint32_t m : model.meshMaterial) EXPECT_NE(model.textureList.at(m).textureId, 0u);
    EXPECT_NE(model.specularMap.textureId, 0u);
    EXPECT_EQ(model.normalMap.textureId, 0u);
    model.clear();

    const std::string printed = stdoutOf([&] { model.loadModel("Models/absent.obj"); });
    EXPECT_EQ(printed.rfind("Model (Models/absent.obj) failed to load: ", 0), 0u) << printed;
    EXPECT_TRUE(model.meshList.empty());
}

} // namespace
