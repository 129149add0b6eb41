// Where the scene's things stand and how they are lit: the light, the two materials and the model matrices of the
// markers, stick and flag. Plain values, no GL.
#pragma once

#include <array>
#include <cstddef>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include "core/race_state.h"

struct DirectionalLight {
    glm::vec3 colour{0.0f};
    float ambientIntensity = 0.0f;
    glm::vec3 direction{0.0f}; // the way the light travels; not normalised
    float diffuseIntensity = 0.0f;
};

struct Material {
    float specularIntensity = 0.0f;
    float shininess = 0.0f;
    float reflectivity = 0.0f;
};

// Set by setupSceneLight during start-up; never changed afterwards.
extern DirectionalLight sceneLight;
// Set by setupMaterials right after the start-up textures. The scene pass copies the held reflectivity key into
// shinyMaterial every frame; dullMaterial never changes.
extern Material shinyMaterial, dullMaterial;

// Start-up: white light from above and behind, half ambient.
void setupSceneLight();
// Start-up: the shiny material of the ball, markers and stick, and the dull one of the terrain.
void setupMaterials();

// Checkpoints 1..count-2 carry a marker until they are collected; the start and the goal never do.
bool checkpointHasMarker(std::size_t index, const std::array<bool, checkpointCount>& reached);
// Ten times the marker model at its checkpoint, turning one radian per second about y, neighbours pi/4 apart.
glm::mat4 markerModelMatrix(std::size_t index, float animationTime);
// The stick beside the goal, and the flag at its top.
glm::mat4 stickModelMatrix();
glm::mat4 flagModelMatrix();
// The tiny flag the shadow pass adds just above the goal.
glm::mat4 smallFlagShadowMatrix();
