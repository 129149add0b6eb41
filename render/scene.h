// The lit scene pass: the light, the two materials, the ball, markers, stick, terrain, particles and waving flag.
#pragma once

#include <array>
#include <cstddef>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include "app/race_state.h"

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
// Set by setupMaterials at the end of the start-up texture step. The scene pass copies the held reflectivity key
// into shinyMaterial every frame; dullMaterial never changes.
extern Material shinyMaterial, dullMaterial;

// Start-up: white light from above and behind, half ambient.
void setupSceneLight();
// Start-up: the shiny material of the ball, markers and stick, and the dull one of the terrain.
void setupMaterials();

// Upload through activeUniforms, so they serve whichever lit program is bound.
void sendLight(const DirectionalLight& light);
void sendMaterial(const Material& material);

// Draws the frame's 3D scene into the scene target; leaves the default framebuffer bound, the flag program in use,
// unit 0 active, depth test and culling on and blending off.
void renderScenePass();
// Ball, markers, stick, terrain and particles with the scene program bound.
void drawSceneObjects();
// The markers of the checkpoints still to collect; sends only the model matrix, so it also serves the shadow pass.
void drawMarkers();
// The goal flag with its own program; culling is off for its draw.
void drawFlag();

// Checkpoints 1..count-2 carry a marker until they are collected; the start and the goal never do.
bool checkpointHasMarker(std::size_t index, const std::array<bool, checkpointCount>& reached);
// Ten times the marker model at its checkpoint, turning one radian per second about y, neighbours pi/4 apart.
glm::mat4 markerModelMatrix(std::size_t index, float animationTime);
// The stick beside the goal, and the flag at its top.
glm::mat4 stickModelMatrix();
glm::mat4 flagModelMatrix();
// The tiny flag the shadow pass adds just above the goal.
glm::mat4 smallFlagShadowMatrix();
