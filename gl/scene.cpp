// The lit scene pass: sending the light and materials, the draw order of the scene objects and the waving flag.
#include "gl/scene.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "core/camera.h"
#include "core/physics.h"
#include "core/race.h"
#include "gl/bloom.h"
#include "gl/gl_util.h"
#include "gl/particles_draw.h"
#include "gl/renderer.h"
#include "gl/shadow_map.h"
#include "gl/skybox.h"
#include "gl/terrain_draw.h"

namespace {

// The flag's travelling wave.
constexpr float flagWaveVelocity = 9.0f;       // flag-model units per second
constexpr float flagWaveNumber = 1.2566371f;   // radians per flag-model unit: one wave every 5 units
constexpr float flagWaveAmplitude = 0.3f;      // flag-model units

// Looks up the map samplers of the bound lit program and points each at its texture unit.
void setMapSamplers(ActiveUniforms& uniforms, GLuint program) {
    uniforms.diffuseMap = glGetUniformLocation(program, "diffuseMap");
    uniforms.specularMap = glGetUniformLocation(program, "specularMap");
    uniforms.normalMap = glGetUniformLocation(program, "normalMap");
    glUniform1i(uniforms.diffuseMap, diffuseUnit);
    glUniform1i(uniforms.specularMap, specularUnit);
    glUniform1i(uniforms.normalMap, normalUnit);
    glUniform1i(glGetUniformLocation(program, "shadowMap"), shadowUnit);
}

// Binds a lit program (the scene's or the terrain's) with this frame's light, camera, shadow and debug settings.
void useLitProgram(Renderer& renderer, const Shader& shader, const RenderFlags& flags, const glm::mat4& view,
                   const glm::vec3& eye, const glm::mat4& lightSpace) {
    ActiveUniforms& uniforms = renderer.uniforms;
    shader.use();
    activateAllUniforms(uniforms, shader);
    const GLuint program = shader.programId;
    uniforms.lightSpace = glGetUniformLocation(program, "lightSpaceMatrix");
    uniforms.debugNormals = glGetUniformLocation(program, "debugNormals");
    uniforms.smoothShadows = glGetUniformLocation(program, "smoothShadows");
    setMapSamplers(uniforms, program);
    glUniform1i(uniforms.debugNormals, flags.debugNormals ? 1 : 0);
    glUniform1i(uniforms.smoothShadows, flags.smoothShadows ? 1 : 0);
    sendLight(uniforms, sceneLight());
    uploadMatrix(uniforms.projection, renderer.projection);
    uploadMatrix(uniforms.view, view);
    uploadMatrix(uniforms.lightSpace, lightSpace);
    glUniform3fv(uniforms.eyePosition, 1, glm::value_ptr(eye));
    // The sampler points at unit 5 even without a sky: an empty unit reads black, so reflections only darken.
    glUniform1i(glGetUniformLocation(program, "environmentMap"), environmentUnit);
}

} // namespace

void sendLight(const ActiveUniforms& uniforms, const DirectionalLight& light) {
    glUniform3f(uniforms.colour, light.colour.x, light.colour.y, light.colour.z);
    glUniform1f(uniforms.ambientIntensity, light.ambientIntensity);
    glUniform3f(uniforms.direction, light.direction.x, light.direction.y, light.direction.z);
    glUniform1f(uniforms.diffuseIntensity, light.diffuseIntensity);
}

void sendMaterial(const ActiveUniforms& uniforms, const Material& material) {
    glUniform1f(uniforms.specularIntensity, material.specularIntensity);
    glUniform1f(uniforms.shininess, material.shininess);
    glUniform1f(uniforms.reflectivity, material.reflectivity);
}

void drawSceneObjects(Renderer& renderer, const Race& race, const Material& shiny) {
    const ActiveUniforms& uniforms = renderer.uniforms;
    uploadMatrix(uniforms.model, bodyModelMatrix(race.ball));
    sendMaterial(uniforms, shiny);
    renderer.models.ball.draw();

    sendMaterial(uniforms, shiny);
    drawMarkers(renderer.models.marker, uniforms.model, race.course.checkpoints, race.state.reached,
                race.clock.animationTime);

    uploadMatrix(uniforms.model, stickModelMatrix(race.course.goal()));
    renderer.models.stick.draw();
}

void drawGhost(Renderer& renderer, const Race& race, const Material& shiny) {
    if (!race.showGhost || race.ghost.empty()) return;
    const GhostPose pose = ghostPoseAt(race.ghost, ghostClock(race));
    if (!(pose.opacity > 0.0f)) return;
    const ActiveUniforms& uniforms = renderer.uniforms;
    const GLint opacity = glGetUniformLocation(renderer.programs.scene.programId, "ghostOpacity");
    glUniform1f(opacity, pose.opacity);
    uploadMatrix(uniforms.model, glm::translate(glm::mat4(1.0f), pose.position) * glm::mat4_cast(pose.orientation));
    sendMaterial(uniforms, shiny);
    // Blended over what is already drawn; writing its depth would cut out whatever comes behind it later.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    renderer.models.ball.draw();
    glDepthMask(GL_TRUE);
    // The program keeps its uniforms: the next frame's ball and sparks must be solid again.
    glUniform1f(opacity, 0.0f);
}

void drawFlag(Renderer& renderer, const Race& race, const RenderFlags& flags, double wallSeconds) {
    ActiveUniforms& uniforms = renderer.uniforms;
    const Shader& flagShader = renderer.programs.flag;
    glDisable(GL_CULL_FACE);

    flagShader.use();
    // Reflectivity stays the scene program's: the flag is never sent a material.
    const int32_t sceneReflectivity = uniforms.reflectivity;
    activateAllUniforms(uniforms, flagShader);
    uniforms.reflectivity = sceneReflectivity;

    const GLuint program = flagShader.programId;
    uniforms.lightSpace = glGetUniformLocation(program, "FragPosLightSpace");
    uniforms.debugNormals = glGetUniformLocation(program, "debugNormals");
    // The wave runs on the wall clock, so a race reset never restarts it.
    uniforms.animateTime = glGetUniformLocation(program, "animateTime");
    glUniform1f(uniforms.animateTime, static_cast<float>(wallSeconds));
    glUniform1f(glGetUniformLocation(program, "velocity"), flagWaveVelocity);
    glUniform1f(glGetUniformLocation(program, "k"), flagWaveNumber);
    glUniform1f(glGetUniformLocation(program, "amp"), flagWaveAmplitude);

    setMapSamplers(uniforms, program);
    glUniform1i(uniforms.debugNormals, flags.debugNormals ? 1 : 0);

    sendLight(uniforms, sceneLight());

    const glm::vec3 eye = cameraEye(race.camera);
    uploadMatrix(uniforms.projection, renderer.projection);
    uploadMatrix(uniforms.view, cameraView(race.camera));
    // Only the light's projection: the flag program places itself in the light box without the light's view.
    uploadMatrix(uniforms.lightSpace, lightProjectionBox());
    glUniform3fv(uniforms.eyePosition, 1, glm::value_ptr(eye));

    uploadMatrix(uniforms.model, flagModelMatrix(race.course.goal()));
    renderer.models.flag.draw();

    glEnable(GL_CULL_FACE);
}

void renderScenePass(Renderer& renderer, const Race& race, const RenderFlags& flags, int framebufferWidth,
                     int framebufferHeight, double wallSeconds) {
    glBindFramebuffer(GL_FRAMEBUFFER, sceneDrawFramebuffer(renderer.targets));
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    const glm::mat4 view = cameraView(race.camera);
    const bool haveSky = skyShown(renderer.sky);
    // The sky fills every pixel nothing else covers, so with a sky clearing the colours would change nothing.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(haveSky ? GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    const Shader& sceneShader = renderer.programs.scene;
    const glm::vec3 eye = cameraEye(race.camera);
    // The same light view the shadow pass drew this frame's map with.
    const glm::mat4 lightSpace = lightProjectionBox() * frameLightView(race);
    useLitProgram(renderer, sceneShader, flags, view, eye, lightSpace);
    if (haveSky) {
        bindTextureOnUnit(GL_TEXTURE_CUBE_MAP, renderer.sky.cubeMap, environmentUnit);
    }
    drawSceneObjects(renderer, race, shinyMaterial(flags.reflectivity));

    // The ground after what stands on it and nearest chunk first, so hidden ground fails the depth test unshaded.
    useLitProgram(renderer, renderer.programs.terrain, flags, view, eye, lightSpace);
    sendMaterial(renderer.uniforms, dullMaterial());
    const Texture& courseGrass = renderer.course.grass;
    bindTexture2D(courseGrass.textureId != 0 ? courseGrass : renderer.textures.grass);
    bindTexture2D(renderer.textures.grassSpecular);
    bindTexture2D(renderer.textures.grassNormal);
    // Never unbound: from the second frame on the ball, markers and stick also read this frame's shadow map.
    bindTextureOnUnit(GL_TEXTURE_2D, renderer.shadow.texture, shadowUnit);
    // The ground's maps and the sky are opaque: blending would only copy each fragment, at the cost of reading the
    // targets (and the sky replaces whatever the last frame left).
    glDisable(GL_BLEND);
    drawTerrain(renderer, bodyModelMatrix(race.ground), view, renderer.projection, eye);
    // The sky only where nothing was drawn; before the sparks, which add their light to it.
    if (haveSky) {
        drawSkybox(renderer.sky, view, renderer.projection);
    }
    glEnable(GL_BLEND);
    // Uniforms stay with their program: the scene program keeps this frame's values. The particles draw with the
    // grass maps still bound on the units they do not set.
    sceneShader.use();
    activateAllUniforms(renderer.uniforms, sceneShader);
    drawParticles(renderer, race.particles);
    drawFlag(renderer, race, flags, wallSeconds);
    // Last, over every opaque surface and the sparks: the see-through ghost shows what lies behind it.
    useLitProgram(renderer, sceneShader, flags, view, eye, lightSpace);
    drawGhost(renderer, race, shinyMaterial(flags.reflectivity));

    resolveSceneTarget(renderer.targets);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
