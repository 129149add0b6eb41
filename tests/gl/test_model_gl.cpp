// Meshes and models through a real context: vertex layout as drawn, binding rules, material textures, release.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "render/model.h"
#include "render/model_import.h"
#include "render/shader.h"
#include "tests/support/temp_files.h"

namespace {

using testfiles::TempDir;
using testfiles::WorkingDirectory;

constexpr int targetSize = 4; // pixels

// A small RGBA8 colour target that tests draw into and read back.
struct ColourTarget {
    GLuint framebuffer = 0, texture = 0;
    ColourTarget() {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, targetSize, targetSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        glViewport(0, 0, targetSize, targetSize);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    ~ColourTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &texture);
    }
    bool complete() const { return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }
    std::array<int, 4> centre() const {
        std::array<uint8_t, 4> rgba{};
        glReadPixels(targetSize / 2, targetSize / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }
};

// A triangle far larger than clip space, so it covers every pixel whatever the winding.
std::vector<float> coveringTriangle(const Vertex& attributes) {
    const float corners[3][2] = {{-1.0f, -1.0f}, {3.0f, -1.0f}, {-1.0f, 3.0f}};
    std::vector<float> floats;
    for (const auto& c : corners) {
        Vertex v = attributes;
        v.position[0] = c[0];
        v.position[1] = c[1];
        v.position[2] = 0.0f;
        const float* f = reinterpret_cast<const float*>(&v);
        floats.insert(floats.end(), f, f + floatsPerVertex);
    }
    return floats;
}
const uint32_t triangleIndices[] = {0, 1, 2};

// Program whose colour is the attribute at one location (padded with 1), to read the layout back as pixels.
Shader attributeProbe(int location, int components) {
    const std::string type = components == 2 ? "vec2" : "vec3";
    const std::string pad = components == 2 ? ", 0.0, 1.0" : ", 1.0";
    const std::string vertex = "#version 330 core\n"
                               "layout(location = 0) in vec3 position;\n"
                               "layout(location = " + std::to_string(location) + ") in " + type + " probed;\n"
                               "flat out vec4 value;\n"
                               "void main() { value = vec4(probed" + pad + "); gl_Position = vec4(position, 1.0); }\n";
    const std::string fragment = "#version 330 core\nflat in vec4 value;\nout vec4 colour;\n"
                                 "void main() { colour = value; }\n";
    Shader shader;
    shader.buildProgram(vertex, fragment);
    return shader;
}

Shader whiteProgram() {
    Shader shader;
    shader.buildProgram("#version 330 core\nlayout(location = 0) in vec3 position;\n"
                        "void main() { gl_Position = vec4(position, 1.0); }\n",
                        "#version 330 core\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\n");
    return shader;
}

GLint integerState(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureOnUnit(GLuint unit) {
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE0 + unit);
    const GLint bound = integerState(GL_TEXTURE_BINDING_2D);
    glActiveTexture(static_cast<GLenum>(active));
    return bound;
}

void expectNear(const std::array<int, 4>& actual, const std::array<int, 4>& expected) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1) << "channel " << i;
    }
}

TEST(MeshLayout, EveryAttributeReachesItsLocation) {
    // Values of 0.25 steps come back as 64, 128, 191 in an 8-bit target.
    Vertex v{};
    v.texCoord[0] = 0.25f, v.texCoord[1] = 0.75f;
    v.normal[0] = 0.5f, v.normal[1] = 0.0f, v.normal[2] = 1.0f;
    v.tangent[0] = 1.0f, v.tangent[1] = 0.25f, v.tangent[2] = 0.5f;
    v.bitangent[0] = 0.75f, v.bitangent[1] = 1.0f, v.bitangent[2] = 0.0f;
    const std::vector<float> floats = coveringTriangle(v);

    Mesh mesh;
    mesh.createMesh(floats.data(), triangleIndices, static_cast<uint32_t>(floats.size()), 3);
    struct Case { int location, components; std::array<int, 4> expected; };
    const Case cases[] = {
        {1, 2, {64, 191, 0, 255}},
        {2, 3, {128, 0, 255, 255}},
        {3, 3, {255, 64, 128, 255}},
        {4, 3, {191, 255, 0, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("location " + std::to_string(c.location));
        ColourTarget target;
        ASSERT_TRUE(target.complete());
        Shader probe = attributeProbe(c.location, c.components);
        probe.use();
        mesh.draw();
        expectNear(target.centre(), c.expected);
        glUseProgram(0);
        probe.clear();
    }
    mesh.clear();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(MeshBinding, CreateLeavesNothingBoundAndTheArrayWithoutIndexBuffer) {
    const std::vector<float> floats = coveringTriangle(Vertex{});
    Mesh mesh;
    mesh.createMesh(floats.data(), triangleIndices, static_cast<uint32_t>(floats.size()), 3);
    EXPECT_EQ(mesh.indexCount, 3);
    EXPECT_NE(mesh.vao, 0u);
    EXPECT_NE(mesh.vbo, 0u);
    EXPECT_NE(mesh.ibo, 0u);
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integerState(GL_ARRAY_BUFFER_BINDING), 0);

    glBindVertexArray(mesh.vao);
    // Unbound inside the array: every draw has to bind ibo itself.
    EXPECT_EQ(integerState(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    GLint stride = 0, enabled = 0;
    glGetVertexAttribiv(4, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
    glGetVertexAttribiv(4, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(stride, 56);
    EXPECT_EQ(enabled, GL_TRUE);
    glBindVertexArray(0);
    mesh.clear();
}

TEST(MeshBinding, DrawUnbindsArrayAndIndexBuffer) {
    const std::vector<float> floats = coveringTriangle(Vertex{});
    Mesh mesh;
    mesh.createMesh(floats.data(), triangleIndices, static_cast<uint32_t>(floats.size()), 3);
    ColourTarget target;
    Shader white = whiteProgram();
    white.use();
    mesh.draw();
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integerState(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
    expectNear(target.centre(), {255, 255, 255, 255});
    glUseProgram(0);
    white.clear();
    mesh.clear();
}

TEST(MeshClear, ReleasesTheObjectsAndZeroesTheFields) {
    const std::vector<float> floats = coveringTriangle(Vertex{});
    Mesh mesh;
    mesh.createMesh(floats.data(), triangleIndices, static_cast<uint32_t>(floats.size()), 3);
    const GLuint vao = mesh.vao, vbo = mesh.vbo, ibo = mesh.ibo;
    mesh.clear();
    EXPECT_EQ(mesh.vao, 0u);
    EXPECT_EQ(mesh.vbo, 0u);
    EXPECT_EQ(mesh.ibo, 0u);
    EXPECT_EQ(mesh.indexCount, 0);
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsBuffer(vbo));
    EXPECT_FALSE(glIsBuffer(ibo));
    mesh.clear(); // nothing left to delete
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A folder laid out like the game's data: Models/ with .obj/.mtl, Textures/ with the images the materials name.
class ModelFiles : public testing::Test {
protected:
    void writeImage(const std::string& relative) {
        const std::filesystem::path path = dir.path(relative);
        std::filesystem::create_directories(path.parent_path());
        const uint8_t pixels[2 * 2 * 3] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
        ASSERT_NE(stbi_write_png(path.string().c_str(), 2, 2, 3, pixels, 2 * 3), 0);
    }
    // Two triangles covering clip space, each its own object with its own material.
    void writeModel(const std::string& name, const std::string& mtl, const std::string& firstMaterial,
                    const std::string& secondMaterial) {
        dir.write("Models/" + name + ".mtl", mtl);
        dir.write("Models/" + name + ".obj", "mtllib " + name + ".mtl\n"
                  "v -1 -1 0\nv 3 -1 0\nv -1 3 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n"
                  "o first\nusemtl " + firstMaterial + "\nf 1/1/1 2/2/1 3/3/1\n"
                  "o second\nusemtl " + secondMaterial + "\nf 1/1/1 3/3/1 2/2/1\n");
    }
    std::string load(Model& model, const std::string& name) {
        const std::string path = "Models/" + name + ".obj";
        testing::internal::CaptureStdout();
        model.loadModel(path.c_str());
        return testing::internal::GetCapturedStdout();
    }

    TempDir dir;
    WorkingDirectory inDir{dir.root};
};

TEST_F(ModelFiles, MaterialPathsWithBackslashesAndForwardSlashesFindTheirTextures) {
    writeImage("Textures/ball.png");
    writeImage("Textures/maps/grass.png");
    writeModel("paths", "newmtl windows\nmap_Kd C:\\Users\\art\\golf\\ball.png\n"
                        "newmtl relative\nmap_Kd maps/grass.png\n",
               "windows", "relative");
    Model model;
    EXPECT_EQ(load(model, "paths"), "");
    ASSERT_EQ(model.meshList.size(), 2u);
    ASSERT_EQ(model.meshMaterial.size(), 2u);

    const Texture& first = model.textureList.at(model.meshMaterial[0]);
    const Texture& second = model.textureList.at(model.meshMaterial[1]);
    ASSERT_NE(first.textureId, 0u);
    ASSERT_NE(second.textureId, 0u);
    EXPECT_EQ(first.filePath, "Textures/ball.png");
    EXPECT_EQ(second.filePath, "Textures/maps/grass.png");
    EXPECT_NE(first.textureId, 0u);
    EXPECT_NE(second.textureId, 0u);
    EXPECT_EQ(first.unit, 0u);
    EXPECT_EQ(model.specularMap.textureId, 0u);
    EXPECT_EQ(model.normalMap.textureId, 0u);
    model.clear();
}

TEST_F(ModelFiles, MissingMaterialTexturesPrintTwoLinesEachAndStayNull) {
    writeModel("missing", "newmtl a\nmap_Kd gone.png\nmap_Ks gone_specular.png\nnorm gone_normal.png\n"
                          "newmtl b\nKd 1 1 1\n",
               "a", "b");
    Model model;
    EXPECT_EQ(load(model, "missing"), "Failed to find: Textures/gone.png\n"
                                      "Failed to load texture at: Textures/gone.png\n"
                                      "Failed to find: Textures/gone_specular.png\n"
                                      "Failed to load specularmap at: Textures/gone_specular.png\n"
                                      "Failed to find: Textures/gone_normal.png\n"
                                      "Failed to load normalmap at: Textures/gone_normal.png\n");
    ASSERT_EQ(model.meshList.size(), 2u); // the geometry loads all the same
    for (const Texture& t : model.textureList) {
        EXPECT_EQ(t.textureId, 0u);
    }
    EXPECT_EQ(model.specularMap.textureId, 0u);
    EXPECT_EQ(model.normalMap.textureId, 0u);
    model.clear();
}

TEST_F(ModelFiles, LaterMaterialsSpecularAndNormalMapsServeTheWholeModel) {
    writeImage("Textures/spec_a.png");
    writeImage("Textures/spec_b.png");
    writeImage("Textures/normal_a.png");
    writeModel("two", "newmtl a\nmap_Ks spec_a.png\nnorm normal_a.png\n"
                      "newmtl b\nmap_Ks spec_b.png\nnorm normal_b.png\n",
               "a", "b");
    Model model;
    EXPECT_EQ(load(model, "two"), "Failed to find: Textures/normal_b.png\n"
                                  "Failed to load normalmap at: Textures/normal_b.png\n");
    ASSERT_NE(model.specularMap.textureId, 0u);
    EXPECT_EQ(model.specularMap.filePath, "Textures/spec_b.png");
    EXPECT_EQ(model.specularMap.unit, 1u);
    EXPECT_NE(model.specularMap.textureId, 0u);
    // The second material's normal map failed: the model keeps none, not the first one.
    EXPECT_EQ(model.normalMap.textureId, 0u);
    model.clear();
}

TEST_F(ModelFiles, DrawBindsEachTextureOnItsUnitAndReturnsToUnitZero) {
    writeImage("Textures/diffuse.png");
    writeImage("Textures/specular.png");
    writeImage("Textures/normal.png");
    writeModel("lit", "newmtl a\nmap_Kd diffuse.png\nmap_Ks specular.png\nmap_Kn normal.png\nnewmtl b\nKd 1 1 1\n",
               "a", "b");
    Model model;
    EXPECT_EQ(load(model, "lit"), "");
    ASSERT_NE(model.specularMap.textureId, 0u);
    ASSERT_NE(model.normalMap.textureId, 0u);
    EXPECT_EQ(model.normalMap.unit, 2u);

    ColourTarget target;
    Shader white = whiteProgram();
    white.use();
    glActiveTexture(GL_TEXTURE0);
    model.draw();
    const Texture& diffuse = model.textureList.at(model.meshMaterial[0]);
    ASSERT_NE(diffuse.textureId, 0u);
    EXPECT_EQ(textureOnUnit(0), static_cast<GLint>(diffuse.textureId));
    EXPECT_EQ(textureOnUnit(1), static_cast<GLint>(model.specularMap.textureId));
    EXPECT_EQ(textureOnUnit(2), static_cast<GLint>(model.normalMap.textureId));
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    expectNear(target.centre(), {255, 255, 255, 255});
    glUseProgram(0);
    white.clear();
    model.clear();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelFiles, MeshWithoutDiffuseTextureKeepsWhatUnitZeroHolds) {
    writeImage("Textures/diffuse.png");
    writeModel("one", "newmtl a\nmap_Kd diffuse.png\nnewmtl b\nKd 1 1 1\n", "a", "b");
    Model model;
    load(model, "one");
    ASSERT_EQ(model.meshList.size(), 2u);
    ColourTarget target;
    Shader white = whiteProgram();
    white.use();
    GLuint sentinel = 0;
    glGenTextures(1, &sentinel);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sentinel);

    // Material number past the end of the list: drawn without binding a diffuse texture.
    model.meshMaterial[0] = static_cast<uint32_t>(model.textureList.size());
    model.draw();
    EXPECT_EQ(textureOnUnit(0), static_cast<GLint>(sentinel));
    glUseProgram(0);
    white.clear();
    glDeleteTextures(1, &sentinel);
    model.clear();
}

TEST_F(ModelFiles, FailedImportPrintsWithoutLineEndAndDrawsNothing) {
    Model model;
    const std::string printed = load(model, "absent");
    const std::string prefix = "Model (Models/absent.obj) failed to load: ";
    ASSERT_GT(printed.size(), prefix.size());
    EXPECT_EQ(printed.compare(0, prefix.size(), prefix), 0) << printed;
    EXPECT_NE(printed.back(), '\n');
    EXPECT_TRUE(model.meshList.empty());
    EXPECT_TRUE(model.textureList.empty());

    ColourTarget target;
    Shader white = whiteProgram();
    white.use();
    model.draw();
    expectNear(target.centre(), {0, 0, 0, 0});
    glUseProgram(0);
    white.clear();
    model.clear();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelFiles, ClearReleasesMeshesAndTextures) {
    writeImage("Textures/diffuse.png");
    writeImage("Textures/specular.png");
    writeModel("full", "newmtl a\nmap_Kd diffuse.png\nmap_Ks specular.png\nnewmtl b\nKd 1 1 1\n", "a", "b");
    Model model;
    load(model, "full");
    ASSERT_FALSE(model.meshList.empty());
    ASSERT_NE(model.specularMap.textureId, 0u);
    const GLuint vao = model.meshList[0].vao;
    const GLuint specular = model.specularMap.textureId;
    model.clear();
    EXPECT_TRUE(model.meshList.empty());
    EXPECT_TRUE(model.meshMaterial.empty());
    EXPECT_TRUE(model.textureList.empty());
    EXPECT_EQ(model.specularMap.textureId, 0u);
    EXPECT_EQ(model.normalMap.textureId, 0u);
    EXPECT_FALSE(glIsVertexArray(vao));
    EXPECT_FALSE(glIsTexture(specular));
}

TEST_F(ModelFiles, StartupModelsLoadInOrderAndMissingOnesStayEmpty) {
    writeModel("ico", "newmtl a\nKd 1 1 1\nnewmtl b\nKd 1 1 1\n", "a", "b");
    testing::internal::CaptureStdout();
    loadStartupModels();
    const std::string printed = testing::internal::GetCapturedStdout();
    const char* missing[] = {"Models/Golf_Ball_sale.obj", "Models/flag.obj", "Models/flag1.obj", "Models/stick.obj"};
    std::size_t searchFrom = 0;
    for (const char* path : missing) {
        const std::size_t at = printed.find("Model (" + std::string(path) + ") failed to load: ", searchFrom);
        EXPECT_NE(at, std::string::npos) << path << " in: " << printed;
        searchFrom = at == std::string::npos ? searchFrom : at + 1;
    }
    EXPECT_TRUE(ballModel.meshList.empty());
    EXPECT_TRUE(stickModel.meshList.empty());
    EXPECT_EQ(markerModel.meshList.size(), 2u);
    releaseStartupModels();
    EXPECT_TRUE(markerModel.meshList.empty());
}

} // namespace
