// The lit scene pass: sending the light and materials, the draw order of the scene objects and the waving flag.
#include "gl/scene.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "core/camera.h"
#include "core/input.h"
#include "app/window.h"
#include "core/physics.h"
#include "core/terrain.h"
#include "gl/bloom.h"
#include "gl/particles_draw.h"
#include "gl/gl_util.h"
#include "gl/model.h"
#include "gl/shader.h"
#include "gl/shadow_map.h"
#include "gl/skybox.h"
#include "gl/terrain_draw.h"
#include "gl/texture.h"

namespace {

// The flag's travelling wave.
constexpr float flagWaveVelocity = 9.0f;       // flag-model units per second
constexpr float flagWaveNumber = 1.2566371f;   // radians per flag-model unit: one wave every 5 units
constexpr float flagWaveAmplitude = 0.3f;      // flag-model units

void uploadModel(const glm::mat4& model) {
    uploadMatrix(activeUniforms.model, model);
}

} // namespace

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

// Binds a lit program (the scene's or the terrain's) with this frame's light, camera, shadow and debug settings.
void useLitProgram(const Shader& shader, const glm::mat4& view, const glm::vec3& eye) {
    shader.use();
    activateAllUniforms(shader);
    const GLuint program = shader.programId;
    activeUniforms.lightSpace = glGetUniformLocation(program, "lightSpaceMatrix");
    activeUniforms.debugNormals = glGetUniformLocation(program, "debugNormals");
    activeUniforms.smoothShadows = glGetUniformLocation(program, "smoothShadows");
    setMapSamplers(program);
    glUniform1i(activeUniforms.debugNormals, renderFlags.debugNormals ? 1 : 0);
    glUniform1i(activeUniforms.smoothShadows, renderFlags.smoothShadows ? 1 : 0);
    sendLight(sceneLight);
    uploadMatrix(activeUniforms.projection, cameraProjection);
    uploadMatrix(activeUniforms.view, view);
    uploadMatrix(activeUniforms.lightSpace, lightSpaceMatrix);
    glUniform3fv(activeUniforms.eyePosition, 1, glm::value_ptr(eye));
    // The sampler points at unit 5 even without a sky: an empty unit reads black, so reflections only darken.
    glUniform1i(glGetUniformLocation(program, "environmentMap"), environmentUnit);
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
    glBindFramebuffer(GL_FRAMEBUFFER, sceneDrawFramebuffer());
    glViewport(0, 0, window.framebufferWidth, window.framebufferHeight);
    const glm::mat4 view = cameraView(camera);
    const bool haveSky = skybox != nullptr && skybox->cubeMesh != nullptr;
    // The sky fills every pixel nothing else covers, so with a sky clearing the colours would change nothing.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(haveSky ? GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    if (shaderList.empty()) {
        // Start-up never gets here without the scene program; drawing without it would only raise GL errors.
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return;
    }
    Shader& sceneShader = shaderList[0];
    const glm::vec3 eye = cameraEye(camera);
    // lightView was renewed by this frame's shadow pass.
    lightSpaceMatrix = lightProjection * lightView;
    useLitProgram(sceneShader, view, eye);
    if (haveSky) {
        bindTextureOnUnit(GL_TEXTURE_CUBE_MAP, skybox->cubeMap, environmentUnit);
    }
    shinyMaterial.reflectivity = renderFlags.reflectivity;
    drawSceneObjects();

    // The ground after what stands on it and nearest chunk first, so hidden ground fails the depth test unshaded.
    useLitProgram(terrainShader, view, eye);
    sendMaterial(dullMaterial);
    bindTexture2D(grassTexture);
    bindTexture2D(grassSpecularTexture);
    bindTexture2D(grassNormalTexture);
    // Never unbound: from the second frame on the ball, markers and stick also read this frame's shadow map.
    bindTextureOnUnit(GL_TEXTURE_2D, shadowMapTexture, shadowUnit);
    // The ground's maps and the sky are opaque: blending would only copy each fragment, at the cost of reading the
    // targets (and the sky replaces whatever the last frame left).
    glDisable(GL_BLEND);
    drawTerrain(view, cameraProjection, eye);
    // The sky only where nothing was drawn; before the sparks, which add their light to it.
    if (haveSky) {
        drawSkybox(view, cameraProjection);
    }
    glEnable(GL_BLEND);
    // Uniforms stay with their program: the scene program keeps this frame's values. The particles draw with the
    // grass maps still bound on the units they do not set.
    sceneShader.use();
    activateAllUniforms(sceneShader);
    drawParticles();
    drawFlag();

    resolveSceneTarget();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
