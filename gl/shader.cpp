// GPU programs: compile, link and validate with their messages, cached locations, the start-up programs.
#include "gl/shader.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int infoLogSize = 1024; // bytes read from a stage or program log

} // namespace

ActiveUniforms activeUniforms;

Shader hudShader, depthDebugShader, blurShader, animShader, flagShader, terrainShader;
// Made before main runs so their addresses are stable for every pass that keeps the pointer.
Shader* bufferShader = new Shader();
Shader* depthShader = new Shader();
std::vector<Shader> shaderList;

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

void activateBasicUniforms(const Shader& s) {
    activeUniforms.model = s.modelLocation;
    activeUniforms.projection = s.projectionLocation;
    activeUniforms.view = s.viewLocation;
}

void activateAllUniforms(const Shader& s) {
    activateBasicUniforms(s);
    activeUniforms.eyePosition = s.eyePositionLocation;
    activeUniforms.ambientIntensity = s.ambientIntensityLocation;
    activeUniforms.colour = s.colourLocation;
    activeUniforms.diffuseIntensity = s.diffuseIntensityLocation;
    activeUniforms.direction = s.directionLocation;
    activeUniforms.specularIntensity = s.specularIntensityLocation;
    activeUniforms.shininess = s.shininessLocation;
    activeUniforms.reflectivity = s.reflectivityLocation;
}

void createShaders() {
    // The scene program is reached as element 0 of the list; it is built aside and copied in.
    Shader sceneShader;
    sceneShader.createFromFiles("Shaders/shader.vert", "Shaders/shader.frag");
    shaderList.assign(1, sceneShader);

    hudShader.createFromFiles("Shaders/hud.vert", "Shaders/hud.frag");
    bufferShader->createFromFiles("Shaders/buffer.vert", "Shaders/buffer.frag");
    depthShader->createFromFiles("Shaders/depth.vert", "Shaders/depth.frag");
    depthDebugShader.createFromFiles("Shaders/depthDebug.vert", "Shaders/depthDebug.frag");
    blurShader.createFromFiles("Shaders/blur.vert", "Shaders/blur.frag");
    animShader.createFromFiles("Shaders/anim.vert", "Shaders/anim.frag");
    flagShader.createFromFiles("Shaders/flag.vert", "Shaders/flag.frag");
    terrainShader.createFromFiles("Shaders/terrain.vert", "Shaders/shader.frag");
}

void releaseShaders() {
    // Copies of a Shader share its program name, so each program is deleted exactly once, here.
    for (Shader& s : shaderList) {
        s.clear();
    }
    shaderList.clear();
    hudShader.clear();
    bufferShader->clear();
    depthShader->clear();
    depthDebugShader.clear();
    blurShader.clear();
    animShader.clear();
    flagShader.clear();
    terrainShader.clear();
}
