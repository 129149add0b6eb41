// Shader programs through a real context: build failures and their messages, cached locations, the shipped sources.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "render/shader.h"
#include "tests/support/temp_files.h"

namespace {

using testfiles::TempDir;
using testfiles::WorkingDirectory;

const std::string passThroughVertex = "#version 330 core\n"
                                      "layout(location = 0) in vec3 position;\n"
                                      "void main() { gl_Position = vec4(position, 1.0); }\n";
const std::string constantFragment = "#version 330 core\n"
                                     "out vec4 colour;\n"
                                     "void main() { colour = vec4(1.0); }\n";

// Runs a build that must fail with ShaderCompilationException; returns its message and what was printed.
struct BuildFailure {
    std::string message;
    std::string printed;
};
BuildFailure expectBuildFailure(Shader& shader, const std::string& vertex, const std::string& fragment) {
    BuildFailure failure;
    testing::internal::CaptureStdout();
    try {
        shader.buildProgram(vertex, fragment);
        ADD_FAILURE() << "the build succeeded";
    } catch (ShaderCompilationException* e) {
        failure.message = e->what();
        delete e;
    }
    failure.printed = testing::internal::GetCapturedStdout();
    return failure;
}

// A printed log line has the shape <prefix>'<driver log>'\n with a log that says something.
void expectLogLine(const std::string& printed, const std::string& prefix) {
    ASSERT_GE(printed.size(), prefix.size() + 3) << printed;
    EXPECT_EQ(printed.compare(0, prefix.size(), prefix), 0) << printed;
    EXPECT_EQ(printed.substr(printed.size() - 2), "'\n") << printed;
    EXPECT_GT(printed.size(), prefix.size() + 3) << "empty driver log: " << printed;
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(ShaderBuild, MissingFragmentFileIsReportedBeforeAnyGlObjectExists) {
    TempDir dir;
    const std::string vertexPath = dir.write("ok.vert", passThroughVertex);
    const std::string fragmentPath = dir.path("missing.frag").string();

    // Mesa hands out program and shader names from one rising counter: if the failed build had created a
    // program or a stage, the probe made after it would not follow the probe made before it.
    const GLuint before = glCreateProgram();
    Shader shader;
    std::unique_ptr<FileNotFoundException> error;
    try {
        shader.createFromFiles(vertexPath.c_str(), fragmentPath.c_str());
    } catch (FileNotFoundException* e) {
        error.reset(e);
    }
    const GLuint after = glCreateProgram();

    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->getFileName(), fragmentPath.c_str());
    EXPECT_STREQ(error->what(), "Failed to load shader file. File doesn't exist.");
    EXPECT_EQ(shader.programId, 0u);
    EXPECT_EQ(after, before + 1);
    glDeleteProgram(before);
    glDeleteProgram(after);
}

TEST(ShaderBuild, FragmentCompileErrorPrintsStageAndLogThenThrows) {
    Shader shader;
    const BuildFailure failure =
        expectBuildFailure(shader, passThroughVertex, "#version 330 core\nout vec4 c;\nvoid main() { c = oops; }\n");
    EXPECT_EQ(failure.message, "Shader compilation failed.\n");
    expectLogLine(failure.printed, "Error compiling the 35632 shader: '");
    EXPECT_NE(failure.printed.find("oops"), std::string::npos) << failure.printed;
    shader.clear();
}

TEST(ShaderBuild, VertexCompileErrorStopsBeforeTheFragmentStage) {
    Shader shader;
    // The fragment is broken too: only the vertex stage may be reported.
    const BuildFailure failure =
        expectBuildFailure(shader, "#version 330 core\nvoid main() { gl_Position = nope; }\n", "broken");
    EXPECT_EQ(failure.message, "Shader compilation failed.\n");
    expectLogLine(failure.printed, "Error compiling the 35633 shader: '");
    EXPECT_EQ(countOf(failure.printed, "Error compiling"), 1u) << failure.printed;
    shader.clear();
}

TEST(ShaderBuild, LinkFailurePrintsTheProgramLogThenThrows) {
    Shader shader;
    // Compiles (a helper function is fine) but cannot link: the fragment stage has no main.
    const BuildFailure failure = expectBuildFailure(
        shader, passThroughVertex, "#version 330 core\nout vec4 c;\nvoid helper() { c = vec4(1.0); }\n");
    EXPECT_EQ(failure.message, "Shader program linking failed.\n");
    expectLogLine(failure.printed, "Error linking program: '");
    EXPECT_EQ(countOf(failure.printed, "Error"), 1u) << failure.printed;
    EXPECT_NE(shader.programId, 0u); // the program made so far is kept, not deleted
    shader.clear();
}

TEST(ShaderBuild, ValidationFailurePrintsTheProgramLogThenThrows) {
    Shader shader;
    // Both samplers still read unit 0 when validation runs, and they differ in type.
    const BuildFailure failure = expectBuildFailure(shader, passThroughVertex,
                                                    "#version 330 core\n"
                                                    "uniform sampler2D flat2d;\nuniform samplerCube cube;\n"
                                                    "out vec4 c;\n"
                                                    "void main() { c = texture(flat2d, vec2(0.5)) + "
                                                    "texture(cube, vec3(1.0)); }\n");
    EXPECT_EQ(failure.message, "Shader program validation failed.\n");
    expectLogLine(failure.printed, "Error validating program: '");
    shader.clear();
}

TEST(ShaderBuild, ProgramWithoutTheSharedUniformsCachesMinusOneEverywhere) {
    Shader shader;
    testing::internal::CaptureStdout();
    shader.buildProgram(passThroughVertex, constantFragment);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(shader.programId, 0u);
    EXPECT_TRUE(glIsProgram(shader.programId));
    const int32_t locations[] = {shader.projectionLocation,        shader.modelLocation,
                                 shader.viewLocation,              shader.eyePositionLocation,
                                 shader.ambientIntensityLocation,  shader.colourLocation,
                                 shader.diffuseIntensityLocation,  shader.directionLocation,
                                 shader.specularIntensityLocation, shader.shininessLocation,
                                 shader.reflectivityLocation};
    for (int32_t location : locations) {
        EXPECT_EQ(location, -1);
    }
    shader.clear();
}

TEST(ShaderBuild, EachCachedLocationBelongsToItsOwnUniform) {
    // Every uniform has a different type size, so a swapped field would name a different location.
    const std::string fragment = "#version 330 core\n"
                                 "struct DirectionalLight { vec3 colour; float ambientIntensity;"
                                 " vec3 direction; float diffuseIntensity; };\n"
                                 "struct Material { float specularIntensity; float shininess; float reflectivity; };\n"
                                 "uniform DirectionalLight directionalLight;\nuniform Material material;\n"
                                 "uniform vec3 eyePosition;\nuniform mat4 projection;\nuniform mat4 model;\n"
                                 "uniform mat4 view;\nout vec4 c;\n"
                                 "void main() { c = vec4(directionalLight.colour * directionalLight.ambientIntensity"
                                 " + directionalLight.direction * directionalLight.diffuseIntensity + eyePosition"
                                 " * (material.specularIntensity + material.shininess + material.reflectivity), 1.0)"
                                 " + projection[0] + model[1] + view[2]; }\n";
    Shader shader;
    shader.buildProgram(passThroughVertex, fragment);
    const GLuint p = shader.programId;
    EXPECT_EQ(shader.projectionLocation, glGetUniformLocation(p, "projection"));
    EXPECT_EQ(shader.modelLocation, glGetUniformLocation(p, "model"));
    EXPECT_EQ(shader.viewLocation, glGetUniformLocation(p, "view"));
    EXPECT_EQ(shader.eyePositionLocation, glGetUniformLocation(p, "eyePosition"));
    EXPECT_EQ(shader.colourLocation, glGetUniformLocation(p, "directionalLight.colour"));
    EXPECT_EQ(shader.ambientIntensityLocation, glGetUniformLocation(p, "directionalLight.ambientIntensity"));
    EXPECT_EQ(shader.directionLocation, glGetUniformLocation(p, "directionalLight.direction"));
    EXPECT_EQ(shader.diffuseIntensityLocation, glGetUniformLocation(p, "directionalLight.diffuseIntensity"));
    EXPECT_EQ(shader.specularIntensityLocation, glGetUniformLocation(p, "material.specularIntensity"));
    EXPECT_EQ(shader.shininessLocation, glGetUniformLocation(p, "material.shininess"));
    EXPECT_EQ(shader.reflectivityLocation, glGetUniformLocation(p, "material.reflectivity"));
    EXPECT_NE(shader.reflectivityLocation, -1);
    EXPECT_NE(shader.projectionLocation, shader.viewLocation);
    shader.clear();
}

TEST(ShaderBuild, UseBindsTheProgramAndClearDeletesIt) {
    Shader shader;
    shader.buildProgram(passThroughVertex, constantFragment);
    const GLuint id = shader.programId;
    shader.use();
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), id);
    glUseProgram(0);

    shader.viewLocation = 7;
    shader.clear();
    EXPECT_EQ(shader.programId, 0u);
    EXPECT_EQ(shader.projectionLocation, 0);
    EXPECT_EQ(shader.modelLocation, 0);
    EXPECT_EQ(shader.viewLocation, 7); // the other locations are not touched
    EXPECT_FALSE(glIsProgram(id));
    shader.clear(); // a second clear has nothing to delete
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Folder with a copy of the shipped shader sources, so a test may remove one.
std::filesystem::path copyShippedShaders(const TempDir& dir) {
    std::filesystem::copy(std::filesystem::path(KELVARA_DATA_DIR) / "Shaders", dir.path("Shaders"));
    return dir.root;
}

TEST(StartupShaders, ShippedSourcesBuildAllEightInOrder) {
    WorkingDirectory inData(KELVARA_DATA_DIR);
    testing::internal::CaptureStdout();
    ASSERT_NO_THROW(createShaders());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    ASSERT_EQ(shaderList.size(), 1u);
    const Shader* built[] = {&shaderList[0], &hudShader, bufferShader, depthShader,
                             &depthDebugShader, &blurShader, &animShader, &flagShader};
    GLuint previous = 0;
    for (const Shader* s : built) {
        EXPECT_TRUE(glIsProgram(s->programId));
        EXPECT_GT(s->programId, previous) << "programs are built one after the other in start-up order";
        previous = s->programId;
    }

    // What the passes upload through the cached locations must reach the programs.
    const Shader& scene = shaderList[0];
    const int32_t sceneLocations[] = {scene.projectionLocation,        scene.modelLocation,
                                      scene.viewLocation,              scene.eyePositionLocation,
                                      scene.ambientIntensityLocation,  scene.colourLocation,
                                      scene.diffuseIntensityLocation,  scene.directionLocation,
                                      scene.specularIntensityLocation, scene.shininessLocation,
                                      scene.reflectivityLocation};
    for (int32_t location : sceneLocations) {
        EXPECT_NE(location, -1);
    }
    EXPECT_NE(depthShader->modelLocation, -1);
    EXPECT_NE(depthShader->viewLocation, -1);
    EXPECT_NE(depthShader->projectionLocation, -1);
    EXPECT_NE(flagShader.modelLocation, -1);
    EXPECT_NE(flagShader.colourLocation, -1);
    EXPECT_NE(hudShader.modelLocation, -1);
    EXPECT_NE(blurShader.modelLocation, -1);
    EXPECT_NE(bufferShader->modelLocation, -1);
    EXPECT_NE(depthDebugShader.modelLocation, -1);

    const GLuint sceneId = scene.programId, flagId = flagShader.programId;
    releaseShaders();
    EXPECT_TRUE(shaderList.empty());
    EXPECT_EQ(hudShader.programId, 0u);
    EXPECT_EQ(bufferShader->programId, 0u);
    EXPECT_EQ(depthShader->programId, 0u);
    EXPECT_EQ(flagShader.programId, 0u);
    EXPECT_FALSE(glIsProgram(sceneId));
    EXPECT_FALSE(glIsProgram(flagId));
}

TEST(StartupShaders, SkyboxPairBuilds) {
    WorkingDirectory inData(KELVARA_DATA_DIR);
    Shader skybox;
    ASSERT_NO_THROW(skybox.createFromFiles("Shaders/skybox.vert", "Shaders/skybox.frag"));
    EXPECT_NE(skybox.projectionLocation, -1);
    EXPECT_NE(skybox.viewLocation, -1);
    skybox.clear();
}

TEST(StartupShaders, MissingFileStopsTheBuildAtThatProgram) {
    TempDir dir;
    WorkingDirectory inCopy(copyShippedShaders(dir));
    std::filesystem::remove(dir.path("Shaders/blur.frag"));

    std::unique_ptr<FileNotFoundException> error;
    try {
        createShaders();
    } catch (FileNotFoundException* e) {
        error.reset(e);
    }
    ASSERT_NE(error, nullptr);
    EXPECT_STREQ(error->getFileName(), "Shaders/blur.frag");
    // Everything before the blur program is built, nothing after it.
    EXPECT_NE(depthDebugShader.programId, 0u);
    EXPECT_NE(hudShader.programId, 0u);
    EXPECT_EQ(blurShader.programId, 0u);
    EXPECT_EQ(animShader.programId, 0u);
    EXPECT_EQ(flagShader.programId, 0u);
    releaseShaders();
}

TEST(StartupShaders, CompileErrorInAShippedFileNamesTheStage) {
    TempDir dir;
    WorkingDirectory inCopy(copyShippedShaders(dir));
    dir.write("Shaders/flag.frag", "#version 330 core\nvoid main() { undeclared = 1.0; }\n");

    testing::internal::CaptureStdout();
    std::string message;
    try {
        createShaders();
    } catch (ShaderCompilationException* e) {
        message = e->what();
        delete e;
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(message, "Shader compilation failed.\n");
    expectLogLine(printed, "Error compiling the 35632 shader: '");
    EXPECT_NE(animShader.programId, 0u);
    releaseShaders();
}

} // namespace
