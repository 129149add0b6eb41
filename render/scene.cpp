// The lit scene pass: light and materials, the draw order of the scene objects, the markers and the waving flag.
#include "render/scene.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/camera.h"
#include "app/input.h"
#include "app/window.h"
#include "course/physics.h"
#include "course/terrain.h"
#include "effects/bloom.h"
#include "effects/particles.h"
#include "render/mesh.h"
#include "render/shader.h"
#include "render/shadow_map.h"
#include "render/skybox.h"
#include "render/texture.h"

DirectionalLight sceneLight;
Material shinyMaterial, dullMaterial;

namespace {

constexpr float pi = 3.1415927f;

// The sun: white, from above and behind the start (direction it travels, not normalised).
const glm::vec3 lightColour(1.0f, 1.0f, 1.0f);
constexpr float lightAmbientIntensity = 0.5f;
const glm::vec3 lightDirection(0.0f, -1.0f, -1.0f);
constexpr float lightDiffuseIntensity = 0.6f;

constexpr Material shinyStart{1.0f, 32.0f, 0.1f}; // ball, markers, stick
constexpr Material dull{0.1f, 2.0f, 0.0f};        // terrain

constexpr float markerScale = 10.0f;          // times the marker model
constexpr float markerTurnOffset = pi * 0.25f; // radians between neighbouring markers
const glm::vec3 stickOffset(1.2f, 6.0f, 0.0f);  // world units from the goal
constexpr float stickScale = 0.09f;
const glm::vec3 flagOffset(0.0f, 25.0f, 0.0f);  // world units from the goal
constexpr float flagTurn = pi / 2.0f;            // radians about z: the flag model's x axis points up
const glm::vec3 smallFlagOffset(0.0f, 3.0f, 0.0f);
constexpr float smallFlagScale = 0.01f;
// The terrain mesh holds heights in -1..1; the course stands 100 world units from mesh height 0 to 1.
constexpr float terrainVerticalScale = 100.0f;

// The flag's travelling wave.
constexpr float flagWaveVelocity = 9.0f;       // flag-model units per second
constexpr float flagWaveNumber = 1.2566371f;   // radians per flag-model unit: one wave every 5 units
constexpr float flagWaveAmplitude = 0.3f;      // flag-model units

// Texture units of the lit programs.
constexpr int diffuseUnit = 0, specularUnit = 1, normalUnit = 2, shadowUnit = 3, environmentUnit = 5;

void uploadModel(const glm::mat4& model) {
    glUniformMatrix4fv(activeUniforms.model, 1, GL_FALSE, glm::value_ptr(model));
}

void uploadMatrix(GLint location, const glm::mat4& m) {
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(m));
}

void bindOnUnit(const Texture& texture) {
    glActiveTexture(GL_TEXTURE0 + texture.unit);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glActiveTexture(GL_TEXTURE0);
}

const glm::vec3& goal() { return checkpoints[goalIndex]; }

} // namespace

void setupSceneLight() {
    sceneLight = DirectionalLight{lightColour, lightAmbientIntensity, lightDirection, lightDiffuseIntensity};
}

void setupMaterials() {
    shinyMaterial = shinyStart;
    dullMaterial = dull;
}

void sendLight(const DirectionalLight& light) {
    glUniform3f(activeUniforms.colour, light.colour.x, light.colour.y, light.colour.z);
    glUniform1f(activeUniforms.ambientIntensity, light.ambientIntensity);
    glUniform3f(activeUniforms.direction, light.direction.x, light.direction.y, light.direction.z);
    glUniform1f(activeUniforms.diffuseIntensity, light.diffuseIntensity);
}

void sendMaterial(const Material& material) {
    glUniform1f(activeUniforms.specularIntensity, material.specularIntensity);
    glUniform1f(activeUniforms.shininess, material.shininess);
    glUniform1f(activeUniforms.reflectivity, material.reflectivity);
}

bool checkpointHasMarker(std::size_t index, const std::array<bool, checkpointCount>& reached) {
    return index >= 1 && index + 2 <= checkpointCount && !reached[index];
}

glm::mat4 markerModelMatrix(std::size_t index, float animationTime) {
    // Scaling by a quarter is exact, so this equals (index * pi) * 0.25 + animationTime.
    const float angle = static_cast<float>(index) * markerTurnOffset + animationTime;
    glm::mat4 model = glm::translate(glm::mat4(1.0f), checkpoints[index]);
    model = glm::scale(model, glm::vec3(markerScale));
    return glm::rotate(model, angle, glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 stickModelMatrix() {
    return glm::scale(glm::translate(glm::mat4(1.0f), goal() + stickOffset), glm::vec3(stickScale));
}

glm::mat4 flagModelMatrix() {
    return glm::rotate(glm::translate(glm::mat4(1.0f), goal() + flagOffset), flagTurn, glm::vec3(0.0f, 0.0f, 1.0f));
}

glm::mat4 smallFlagShadowMatrix() {
    return glm::scale(glm::translate(glm::mat4(1.0f), goal() + smallFlagOffset), glm::vec3(smallFlagScale));
}

void drawMarkers() {
    for (std::size_t i = 1; i + 2 <= checkpointCount; ++i) {
        if (!checkpointHasMarker(i, raceState.reached)) {
            continue;
        }
        uploadModel(markerModelMatrix(i, frameClock.animationTime));
        markerModel.draw();
    }
}

void drawSceneObjects() {
    if (ballBody != nullptr) {
        uploadModel(bodyModelMatrix(*ballBody));
        sendMaterial(shinyMaterial);
        ballModel.draw();
    }

    sendMaterial(shinyMaterial);
    drawMarkers();

    uploadModel(stickModelMatrix());
    stickModel.draw();

    // Without a terrain the textures are still bound: the particles rely on what this step leaves.
    const glm::mat4 terrainBase = terrainBody != nullptr ? bodyModelMatrix(*terrainBody) : glm::mat4(1.0f);
    if (terrain != nullptr) {
        uploadModel(glm::scale(terrainBase, glm::vec3(static_cast<float>(terrain->width), terrainVerticalScale,
                                                      static_cast<float>(terrain->height))));
    }
    sendMaterial(dullMaterial);
    bindOnUnit(grassTexture);
    bindOnUnit(grassSpecularTexture);
    bindOnUnit(grassNormalTexture);
    // Never unbound: from the second frame on the ball, markers and stick also read this frame's shadow map.
    glActiveTexture(GL_TEXTURE0 + shadowUnit);
    glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
    glActiveTexture(GL_TEXTURE0);
    if (terrain != nullptr) {
        terrain->mesh.draw();
    }

    drawParticles();
}

namespace {

// Looks up the map samplers of the bound lit program and points each at its texture unit.
void setMapSamplers(GLuint program) {
    activeUniforms.diffuseMap = glGetUniformLocation(program, "diffuseMap");
    activeUniforms.specularMap = glGetUniformLocation(program, "specularMap");
    activeUniforms.normalMap = glGetUniformLocation(program, "normalMap");
    glUniform1i(activeUniforms.diffuseMap, diffuseUnit);
    glUniform1i(activeUniforms.specularMap, specularUnit);
    glUniform1i(activeUniforms.normalMap, normalUnit);
    glUniform1i(glGetUniformLocation(program, "shadowMap"), shadowUnit);
}

} // namespace

void drawFlag() {
    glDisable(GL_CULL_FACE);

    flagShader.use();
    // Reflectivity stays the scene program's: the flag is never sent a material.
    const int32_t sceneReflectivity = activeUniforms.reflectivity;
    activateAllUniforms(flagShader);
    activeUniforms.reflectivity = sceneReflectivity;

    const GLuint program = flagShader.programId;
    activeUniforms.lightSpace = glGetUniformLocation(program, "FragPosLightSpace");
    activeUniforms.debugNormals = glGetUniformLocation(program, "debugNormals");
    // The wave runs on GLFW's own clock, so a race reset never restarts it.
    activeUniforms.animateTime = glGetUniformLocation(program, "animateTime");
    glUniform1f(activeUniforms.animateTime, static_cast<float>(glfwGetTime()));
    glUniform1f(glGetUniformLocation(program, "velocity"), flagWaveVelocity);
    glUniform1f(glGetUniformLocation(program, "k"), flagWaveNumber);
    glUniform1f(glGetUniformLocation(program, "amp"), flagWaveAmplitude);

    setMapSamplers(program);
    glUniform1i(activeUniforms.debugNormals, renderFlags.debugNormals ? 1 : 0);

    sendLight(sceneLight);

    const glm::vec3 eye = cameraEye(camera);
    uploadMatrix(activeUniforms.projection, cameraProjection);
    uploadMatrix(activeUniforms.view, cameraView(camera));
    // Only the light's projection: the flag program places itself in the light box without the light's view.
    uploadMatrix(activeUniforms.lightSpace, lightProjection);
    glUniform3fv(activeUniforms.eyePosition, 1, glm::value_ptr(eye));

    uploadModel(flagModelMatrix());
    flagModel.draw();

    glEnable(GL_CULL_FACE);
}

void renderScenePass() {
    glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget.framebuffer);
    glViewport(0, 0, window.framebufferWidth, window.framebufferHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    const glm::mat4 view = cameraView(camera);
    const bool haveSky = skybox != nullptr && skybox->cubeMesh != nullptr;
    if (haveSky) {
        drawSkybox(view, cameraProjection);
    }

    if (shaderList.empty()) {
        // Start-up never gets here without the scene program; drawing without it would only raise GL errors.
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return;
    }
    Shader& sceneShader = shaderList[0];
    sceneShader.use();
    activateAllUniforms(sceneShader);
    const GLuint program = sceneShader.programId;
    activeUniforms.lightSpace = glGetUniformLocation(program, "lightSpaceMatrix");
    activeUniforms.debugNormals = glGetUniformLocation(program, "debugNormals");
    activeUniforms.smoothShadows = glGetUniformLocation(program, "smoothShadows");
    setMapSamplers(program);
    glUniform1i(activeUniforms.debugNormals, renderFlags.debugNormals ? 1 : 0);
    glUniform1i(activeUniforms.smoothShadows, renderFlags.smoothShadows ? 1 : 0);

    sendLight(sceneLight);

    // lightView was renewed by this frame's shadow pass.
    lightSpaceMatrix = lightProjection * lightView;
    const glm::vec3 eye = cameraEye(camera);
    uploadMatrix(activeUniforms.projection, cameraProjection);
    uploadMatrix(activeUniforms.view, view);
    uploadMatrix(activeUniforms.lightSpace, lightSpaceMatrix);
    glUniform3fv(activeUniforms.eyePosition, 1, glm::value_ptr(eye));

    // The sampler points at unit 5 even without a sky: an empty unit reads black, so reflections only darken.
    glActiveTexture(GL_TEXTURE0 + environmentUnit);
    glUniform1i(glGetUniformLocation(program, "environmentMap"), environmentUnit);
    if (haveSky) {
        glBindTexture(GL_TEXTURE_CUBE_MAP, skybox->cubeMap);
    }
    glActiveTexture(GL_TEXTURE0);

    shinyMaterial.reflectivity = renderFlags.reflectivity;
    drawSceneObjects();
    drawFlag();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
