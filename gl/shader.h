// GPU programs: compiling, linking and validating, the cached uniform locations, the uniform cache the shared draw
// routines upload through, and the set of programs the renderer owns.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "core/shader_file.h"

// Owns its program (moved, never copied); released only by clear(), while the context exists.
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

    Shader() = default;
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;
    Shader(Shader&& other) noexcept { swap(other); }
    // Swaps, so whatever this held is left in other for its owner to clear.
    Shader& operator=(Shader&& other) noexcept {
        swap(other);
        return *this;
    }
    void swap(Shader& other) noexcept {
        std::swap(programId, other.programId);
        std::swap(projectionLocation, other.projectionLocation);
        std::swap(modelLocation, other.modelLocation);
        std::swap(viewLocation, other.viewLocation);
        std::swap(eyePositionLocation, other.eyePositionLocation);
        std::swap(ambientIntensityLocation, other.ambientIntensityLocation);
        std::swap(colourLocation, other.colourLocation);
        std::swap(diffuseIntensityLocation, other.diffuseIntensityLocation);
        std::swap(directionLocation, other.directionLocation);
        std::swap(specularIntensityLocation, other.specularIntensityLocation);
        std::swap(shininessLocation, other.shininessLocation);
        std::swap(reflectivityLocation, other.reflectivityLocation);
    }

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

// Copies the model, projection and view locations of s into active (every pass does this).
void activateBasicUniforms(ActiveUniforms& active, const Shader& s);
// Copies all eleven cached locations (the lit passes).
void activateAllUniforms(ActiveUniforms& active, const Shader& s);

// The nine programs the passes draw with.
struct Programs {
    Shader scene;
    Shader terrain; // terrain.vert with the scene program's fragment stage
    Shader hud, buffer, depth, depthDebug, blur, anim, flag;
};

// Builds the nine programs from the data folder, in start-up's order; throws as createFromFiles does (what was
// built before the throw stays in programs for releasePrograms).
void createPrograms(Programs& programs);
// Releases every program; needs the context.
void releasePrograms(Programs& programs);
