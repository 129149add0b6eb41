// GPU programs through a real context: the shipped ones offer every uniform the passes set, and a broken source
// says which step failed before the build throws.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>
#include <vector>

#include "gl/shader.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"

namespace {

TEST(Shaders, TheShippedProgramsOfferEveryUniformThePassesSet) {
    const std::vector<const char*> light = {"directionalLight.colour", "directionalLight.ambientIntensity",
                                            "directionalLight.direction", "directionalLight.diffuseIntensity"};
    Shader sky;
    Programs shipped;
    {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        ASSERT_NO_THROW(sky.createFromFiles("Shaders/skybox.vert", "Shaders/skybox.frag"));
        ASSERT_NO_THROW(createPrograms(shipped));
    }
    struct Program {
        const char* name;
        GLuint id;
        std::vector<const char*> uniforms;
    };
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
}

TEST(Shaders, ABrokenSourceNamesTheFailedStepAndThrows) {
    const std::string vertex = "#version 330 core\nlayout(location = 0) in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n";
    const std::string fragmentHead = "#version 330 core\nout vec4 c;\n";
    struct Case {
        std::string vertex, fragment, thrown, printedStart;
    };
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
