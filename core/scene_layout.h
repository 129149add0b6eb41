// Where the scene's things stand and how they are lit: the light, the two materials and the model matrices of the
// markers, stick and flag. Plain values, no GL.
#pragma once

#include <cstddef>
#include <vector>

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>


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

// White light from above and behind the start, half ambient.
DirectionalLight sceneLight();
// The shiny material of the ball, markers and stick (its reflectivity as the frame's render flags say), and the dull
// one of the terrain.
Material shinyMaterial(float reflectivity);
Material dullMaterial();

// Checkpoints 1..count-2 carry a marker until they are collected; the start and the goal never do.
bool checkpointHasMarker(std::size_t index, const std::vector<bool>& reached);
// Ten times the marker model at its checkpoint, turning one radian per second about y, neighbours pi/4 apart.
glm::mat4 markerModelMatrix(const glm::vec3& checkpoint, std::size_t index, float animationTime);
// The stick beside the goal, and the flag at its top.
glm::mat4 stickModelMatrix(const glm::vec3& goal);
glm::mat4 flagModelMatrix(const glm::vec3& goal);
// The tiny flag the shadow pass adds just above the goal.
glm::mat4 smallFlagShadowMatrix(const glm::vec3& goal);
