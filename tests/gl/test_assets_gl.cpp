// Pictures, models and programs onto the GPU: every row arrives exactly, whatever the channels; a model finds its
// material textures (or says which it could not); the shipped programs offer every uniform the passes set, and a
// broken source says which step failed before the build throws.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>
#include <vector>

#include "gl/model.h"
#include "gl/shader.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"

namespace {

// Bytes whose every one differs from its neighbours, so a shifted, padded or flipped row shows.
std::vector<uint16_t> pattern(std::size_t count) {
    std::vector<uint16_t> values(count);
    for (std::size_t i = 0; i < count; ++i) values[i] = uint16_t((17 + i * 23) % 256);
    return values;
}

TEST(Textures, ArriveExactlyForEveryChannelCountAndModelsFindTheirMaterialTexturesOrNameTheMissing) {
    // clampedRgb: the HUD bars' loader, always three channels.
    struct Case { int channels; bool clampedRgb; GLenum readAs; int readChannels; };
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

    // Models find their material textures by slash or backslash and name the missing ones.
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

TEST(Shaders, TheShippedProgramsOfferEveryUniformThePassesSetAndABrokenSourceNamesTheFailedStep) {
    const std::vector<const char*> light = {"directionalLight.colour", "directionalLight.ambientIntensity",
                                            "directionalLight.direction", "directionalLight.diffuseIntensity"};
    Shader sky;
    Programs shipped;
    {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        ASSERT_NO_THROW(sky.createFromFiles("Shaders/skybox.vert", "Shaders/skybox.frag"));
        ASSERT_NO_THROW(createPrograms(shipped));
    }
    struct Program { const char* name; GLuint id; std::vector<const char*> uniforms; };
    const Program programs[] = {
        {"scene", shipped.scene.programId,
         {"model", "view", "projection", "eyePosition", "lightSpaceMatrix", "material.specularIntensity",
          "material.shininess", "material.reflectivity", "diffuseMap", "specularMap", "normalMap", "shadowMap",
          "environmentMap", "debugNormals", "smoothShadows"}},
        {"flag", shipped.flag.programId,
         {"model", "view", "projection", "eyePosition", "FragPosLightSpace", "animateTime", "velocity", "k", "amp",
          "diffuseMap", "specularMap", "shadowMap", "debugNormals"}},
        {"terrain", shipped.terrain.programId,
         {"model", "normalMatrix", "view", "projection", "lightSpaceMatrix", "eyeGrid", "morphStart", "morphEnd",
          "eyePosition", "material.specularIntensity", "material.shininess", "diffuseMap", "specularMap", "normalMap",
          "shadowMap", "debugNormals", "smoothShadows"}},
        {"depth", shipped.depth.programId, {"model", "view", "projection"}},
        {"hud", shipped.hud.programId, {"model", "flip", "opacity", "brightness", "contrast", "textureRect"}},
        {"blur", shipped.blur.programId, {"model", "horizontal", "weight", "offset"}},
        {"combine", shipped.buffer.programId, {"model", "exposure", "renderedTexture", "bloomBlur"}},
        {"depth picture", shipped.depthDebug.programId, {"model"}},
        {"sky", sky.programId, {"view", "projection"}},
    };
    for (const Program& p : programs) {
        std::vector<const char*> names = p.uniforms;
        const std::string lit = p.name;
        if (lit == "scene" || lit == "flag" || lit == "terrain") names.insert(names.end(), light.begin(), light.end());
        for (const char* name : names) EXPECT_NE(glGetUniformLocation(p.id, name), -1) << p.name << " program: " << name;
    }
    sky.clear();
    releasePrograms(shipped);

    // A broken source names the step that failed, then the build throws.
    const std::string vertex = "#version 330 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n";
    const std::string fragmentHead = "#version 330 core\nout vec4 c;\n";
    struct Case { std::string vertex, fragment, thrown, printedStart; };
    const Case cases[] = {
        {vertex, fragmentHead + "void main() { c = oops; }\n", "Shader compilation failed.\n",
         "Error compiling the 35632 shader: '"},
        {"#version 330 core\nvoid main() { gl_Position = nope; }\n", "broken too, never reached",
         "Shader compilation failed.\n", "Error compiling the 35633 shader: '"},
        {vertex, fragmentHead + "void helper() { c = vec4(1.0); }\n", "Shader program linking failed.\n",
         "Error linking program: '"},
        // Both samplers read unit 0 when the program is validated, and they differ in type.
        {vertex, fragmentHead + "uniform sampler2D a;\nuniform samplerCube b;\n"
                                "void main() { c = texture(a, vec2(0.5)) + texture(b, vec3(1.0)); }\n",
         "Shader program validation failed.\n", "Error validating program: '"},
    };
    for (const Case& c : cases) {
        Shader shader;
        std::string thrown;
        const std::string printed = stdoutOf([&] {
            try {
                shader.buildProgram(c.vertex, c.fragment);
            } catch (ShaderCompilationException* e) {
                thrown = e->what();
                delete e;
            }
        });
        EXPECT_EQ(thrown, c.thrown);
        EXPECT_EQ(printed.rfind(c.printedStart, 0), 0u) << printed;
        EXPECT_EQ(printed.find("Error", 1), std::string::npos) << "one step reported: " << printed;
        EXPECT_GT(printed.size(), c.printedStart.size() + 3) << "with the driver's log";
        shader.clear();
    }
}

} // namespace
