// GPU programs: compile, link and validate with their messages, cached locations, the renderer's nine programs.
#include "gl/shader.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int infoLogSize = 1024; // bytes read from a stage or program log

} // namespace

void addStage(uint32_t program, const std::string& source, uint32_t stageType) {
    const GLuint stage = glCreateShader(stageType);
    const GLchar* text = source.c_str();
    const GLint length = static_cast<GLint>(std::strlen(text));
    glShaderSource(stage, 1, &text, &length);
    glCompileShader(stage);

    GLint status = 0;
    glGetShaderiv(stage, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        GLchar log[infoLogSize] = {};
        glGetShaderInfoLog(stage, infoLogSize, nullptr, log);
        std::printf("Error compiling the %d shader: '%s'\n", static_cast<int>(stageType), log);
        throw new ShaderCompilationException("Shader compilation failed.\n");
    }
    // The stage stays attached for the program's whole life; deleting the program frees it.
    glAttachShader(program, stage);
}

void Shader::buildProgram(const std::string& vertexSource, const std::string& fragmentSource) {
    programId = glCreateProgram();
    if (programId == 0) {
        throw new ShaderCompilationException("Shader program creation failed.\n");
    }
    addStage(programId, vertexSource, GL_VERTEX_SHADER);
    addStage(programId, fragmentSource, GL_FRAGMENT_SHADER);

    GLint status = 0;
    GLchar log[infoLogSize] = {};
    glLinkProgram(programId);
    glGetProgramiv(programId, GL_LINK_STATUS, &status);
    if (status == 0) {
        glGetProgramInfoLog(programId, infoLogSize, nullptr, log);
        std::printf("Error linking program: '%s'\n", log);
        throw new ShaderCompilationException("Shader program linking failed.\n");
    }

    // Runs before any sampler is set, so every sampler still reads unit 0 here.
    status = 0;
    glValidateProgram(programId);
    glGetProgramiv(programId, GL_VALIDATE_STATUS, &status);
    if (status == 0) {
        glGetProgramInfoLog(programId, infoLogSize, nullptr, log);
        std::printf("Error validating program: '%s'\n", log);
        throw new ShaderCompilationException("Shader program validation failed.\n");
    }

    // A uniform the program lacks is cached as -1; uploads to it are ignored by OpenGL.
    projectionLocation = glGetUniformLocation(programId, "projection");
    modelLocation = glGetUniformLocation(programId, "model");
    viewLocation = glGetUniformLocation(programId, "view");
    colourLocation = glGetUniformLocation(programId, "directionalLight.colour");
    ambientIntensityLocation = glGetUniformLocation(programId, "directionalLight.ambientIntensity");
    directionLocation = glGetUniformLocation(programId, "directionalLight.direction");
    diffuseIntensityLocation = glGetUniformLocation(programId, "directionalLight.diffuseIntensity");
    specularIntensityLocation = glGetUniformLocation(programId, "material.specularIntensity");
    shininessLocation = glGetUniformLocation(programId, "material.shininess");
    reflectivityLocation = glGetUniformLocation(programId, "material.reflectivity");
    eyePositionLocation = glGetUniformLocation(programId, "eyePosition");
}

void Shader::createFromFiles(const char* vertexPath, const char* fragmentPath) {
    // Both reads come first, so a missing file leaves no GL object behind.
    const std::string vertexSource = readShaderFile(vertexPath);
    const std::string fragmentSource = readShaderFile(fragmentPath);
    buildProgram(vertexSource, fragmentSource);
}

void Shader::use() const {
    glUseProgram(programId);
}

void Shader::clear() {
    if (programId != 0) {
        glDeleteProgram(programId);
        programId = 0;
    }
    projectionLocation = 0;
    modelLocation = 0;
}

void activateBasicUniforms(ActiveUniforms& active, const Shader& s) {
    active.model = s.modelLocation;
    active.projection = s.projectionLocation;
    active.view = s.viewLocation;
}

void activateAllUniforms(ActiveUniforms& active, const Shader& s) {
    activateBasicUniforms(active, s);
    active.eyePosition = s.eyePositionLocation;
    active.ambientIntensity = s.ambientIntensityLocation;
    active.colour = s.colourLocation;
    active.diffuseIntensity = s.diffuseIntensityLocation;
    active.direction = s.directionLocation;
    active.specularIntensity = s.specularIntensityLocation;
    active.shininess = s.shininessLocation;
    active.reflectivity = s.reflectivityLocation;
}

void createPrograms(Programs& programs) {
    programs.scene.createFromFiles("Shaders/shader.vert", "Shaders/shader.frag");
    programs.hud.createFromFiles("Shaders/hud.vert", "Shaders/hud.frag");
    programs.buffer.createFromFiles("Shaders/buffer.vert", "Shaders/buffer.frag");
    programs.depth.createFromFiles("Shaders/depth.vert", "Shaders/depth.frag");
    programs.depthDebug.createFromFiles("Shaders/depthDebug.vert", "Shaders/depthDebug.frag");
    programs.blur.createFromFiles("Shaders/blur.vert", "Shaders/blur.frag");
    programs.anim.createFromFiles("Shaders/anim.vert", "Shaders/anim.frag");
    programs.flag.createFromFiles("Shaders/flag.vert", "Shaders/flag.frag");
    programs.terrain.createFromFiles("Shaders/terrain.vert", "Shaders/shader.frag");
}

void releasePrograms(Programs& programs) {
    for (Shader* s : {&programs.scene, &programs.terrain, &programs.hud, &programs.buffer, &programs.depth,
                      &programs.depthDebug, &programs.blur, &programs.anim, &programs.flag}) {
        s->clear();
    }
}
