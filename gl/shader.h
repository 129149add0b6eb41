// GPU programs: compiling, linking and validating, the cached uniform locations and ActiveUniforms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/shader_file.h"

// Copyable as plain data: the scene program is built aside and copied into shaderList. Copies share one program,
// which releaseShaders deletes once.
struct Shader {
    uint32_t programId = 0;
    int32_t projectionLocation = 0;
    int32_t modelLocation = 0;
    int32_t viewLocation = 0;
    int32_t eyePositionLocation = 0;
    int32_t ambientIntensityLocation = 0;
    int32_t colourLocation = 0;
    int32_t diffuseIntensityLocation = 0;
    int32_t directionLocation = 0;
    int32_t specularIntensityLocation = 0;
    int32_t shininessLocation = 0;
    int32_t reflectivityLocation = 0;

    // Reads both files before any GL call, then builds. Throws by pointer.
    void createFromFiles(const char* vertexPath, const char* fragmentPath);
    void buildProgram(const std::string& vertexSource, const std::string& fragmentSource);
    void use() const;
    void clear();
};

// Compiles one stage and attaches it to program; throws ShaderCompilationException by pointer.
void addStage(uint32_t program, const std::string& source, uint32_t stageType);

// Locations of the program bound last; shared draw routines upload through these.
struct ActiveUniforms {
    int32_t model = -1, projection = -1, view = -1;
    int32_t eyePosition = -1, ambientIntensity = -1, colour = -1, diffuseIntensity = -1, direction = -1;
    int32_t specularIntensity = -1, shininess = -1, reflectivity = -1;
    int32_t lightSpace = -1, debugNormals = -1, smoothShadows = -1;
    int32_t diffuseMap = -1, specularMap = -1, normalMap = -1, animateTime = -1;
};
extern ActiveUniforms activeUniforms;

// Copies the model, projection and view locations of s into activeUniforms (every pass does this).
void activateBasicUniforms(const Shader& s);
// Copies all eleven cached locations (the lit passes).
void activateAllUniforms(const Shader& s);

// Built by start-up inside its guarded stretch, in this order; released before the window goes.
extern Shader hudShader, depthDebugShader, blurShader, animShader, flagShader;
// The terrain's chunks: terrain.vert with the scene program's fragment stage.
extern Shader terrainShader;
extern Shader* bufferShader;
extern Shader* depthShader;
extern std::vector<Shader> shaderList; // element 0 is the scene program

// Builds the nine start-up programs; throws as createFromFiles does.
void createShaders();
// Releases every program above; needs the context.
void releaseShaders();
