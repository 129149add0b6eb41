// The scene's light, materials and the placing of the markers, stick and flags.
#include "core/scene_layout.h"

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace {

// The sun: white, from above and behind the start (direction it travels, not normalised).
const glm::vec3 lightColour(1.0f, 1.0f, 1.0f);
constexpr float lightAmbientIntensity = 0.5f;
const glm::vec3 lightDirection(0.0f, -1.0f, -1.0f);
constexpr float lightDiffuseIntensity = 0.6f;

constexpr Material shinyStart{1.0f, 32.0f, 0.1f}; // ball, markers, stick
constexpr Material dull{0.1f, 2.0f, 0.0f};        // terrain

constexpr float markerScale = 10.0f;                          // times the marker model
constexpr float markerTurnOffset = glm::pi<float>() * 0.25f;  // radians between neighbouring markers
const glm::vec3 stickOffset(1.2f, 6.0f, 0.0f);                 // world units from the goal
constexpr float stickScale = 0.09f;
const glm::vec3 flagOffset(0.0f, 25.0f, 0.0f);                 // world units from the goal
constexpr float flagTurn = glm::pi<float>() / 2.0f;            // radians about z: the flag model's x axis points up
const glm::vec3 smallFlagOffset(0.0f, 3.0f, 0.0f);
constexpr float smallFlagScale = 0.01f;

} // namespace

DirectionalLight sceneLight() {
    return DirectionalLight{lightColour, lightAmbientIntensity, lightDirection, lightDiffuseIntensity};
}

Material shinyMaterial(float reflectivity) {
    Material m = shinyStart;
    m.reflectivity = reflectivity;
    return m;
}

Material dullMaterial() {
    return dull;
}

bool checkpointHasMarker(std::size_t index, const std::vector<bool>& reached) {
    return index >= 1 && index + 2 <= reached.size() && !reached[index];
}

glm::mat4 markerModelMatrix(const glm::vec3& checkpoint, std::size_t index, float animationTime) {
    // Scaling by a quarter is exact, so this equals (index * pi) * 0.25 + animationTime.
    const float angle = static_cast<float>(index) * markerTurnOffset + animationTime;
    glm::mat4 model = glm::translate(glm::mat4(1.0f), checkpoint);
    model = glm::scale(model, glm::vec3(markerScale));
    return glm::rotate(model, angle, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 stickModelMatrix(const glm::vec3& goal) {
    return glm::scale(glm::translate(glm::mat4(1.0f), goal + stickOffset), glm::vec3(stickScale));
}

glm::mat4 flagModelMatrix(const glm::vec3& goal) {
    return glm::rotate(glm::translate(glm::mat4(1.0f), goal + flagOffset), flagTurn, glm::vec3(0.0f, 0.0f, 1.0f));
}

glm::mat4 smallFlagShadowMatrix(const glm::vec3& goal) {
    return glm::scale(glm::translate(glm::mat4(1.0f), goal + smallFlagOffset), glm::vec3(smallFlagScale));
}
