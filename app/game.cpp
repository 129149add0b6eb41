// The game's outer structure: start-up in its fixed order, one frame after another, and the orderly shutdown.
#include "app/game.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "core/camera.h"
#include "core/input.h"
#include "core/race.h"
#include "core/race_state.h"
#include "core/records.h"
#include "core/settings.h"
#include "app/window.h"
#include "core/physics.h"
#include "gl/terrain_upload.h"
#include "gl/bloom.h"
#include "gl/composite.h"
#include "gl/hud.h"
#include "core/particles.h"
#include "audio/sound.h"
#include "gl/unit_quad.h"
#include "gl/model.h"
#include "gl/scene.h"
#include "gl/shader.h"
#include "gl/shadow_map.h"
#include "gl/skybox.h"
#include "gl/texture.h"

namespace {

constexpr int failureStatus = -1;
constexpr double minimisedFrameSeconds = 1.0 / 60.0; // frame pace while there is nothing to draw

// Remakes what has the framebuffer's size when that size changed since the targets were made: the viewport
// follows by itself, since every pass sets its own from the window record.
void followFramebufferSize() {
    if (sceneTarget.width == window.framebufferWidth && sceneTarget.height == window.framebufferHeight) {
        return;
    }
    createBloomTargets();
    cameraProjection = makeCameraProjection(window.framebufferWidth, window.framebufferHeight);
}

// Builds the nine start-up programs; the only step whose exceptions are caught.
int buildShaders() {
    try {
        createShaders();
    } catch (FileNotFoundException* e) {
        std::printf("Shader file cannot be found: %s\n", e->getFileName());
        return failureStatus;
    } catch (ShaderCompilationException* e) {
        std::printf("%s", e->what());
        return failureStatus;
    }
    return 0;
}

} // namespace

int initialise() {
    std::printf("Loading...");
    std::fflush(stdout);

    settings = new Settings(loadSettings());
    setupSound(*settings);

    window = Window{};
    window.width = settings->width;
    window.height = settings->height;
    window.fullscreen = settings->fullscreen;
    window.antialiasing = settings->antialiasing;
    window.vsync = settings->vsync;
    if (createWindow() != 0) {
        return failureStatus;
    }

    try {
        createShadowMap();
    } catch (const std::runtime_error& e) {
        // Ends the program cleanly instead of leaving the exception uncaught.
        std::printf("%s\n", e.what());
        destroyWindow();
        return failureStatus;
    }

    if (buildShaders() != 0) {
        return failureStatus;
    }

    resetCamera(camera, checkpoints[0]);
    camera.sensitivity = settings->mouseSensitivity;
    camera.invertY = settings->invertY;
    camera.stickSpeed = settings->gamepadSensitivity;

    unitQuad.create();
    loadStartupTextures();
    setupMaterials();
    loadStartupModels();
    setupPhysics();
    if (setupTerrain() == -1) {
        return failureStatus;
    }
    setupRecords(recordsPath(), heightmapPath);
    setupSkybox();
    createBloomTargets();

    createParticlePool();
    setupSceneLight();

    initialiseLightMatrices();
    cameraProjection = makeCameraProjection(window.framebufferWidth, window.framebufferHeight);

    startFirstRace(glfwGetTime());

    std::printf(" Done!\n");
    std::fflush(stdout);
    return 0;
}

void updateFrame() {
    tickClock(static_cast<float>(glfwGetTime()));
    glfwPollEvents();
    FrameInput input =
        takeFrameInput(window, glfwGetMouseButton(window.handle, GLFW_MOUSE_BUTTON_RIGHT) == GLFW_PRESS,
                       glfwGetMouseButton(window.handle, GLFW_MOUSE_BUTTON_LEFT) == GLFW_PRESS);
    addControllerInput(input);
    if (input.toggleFullscreen) {
        toggleFullscreen();
    }
    const bool wasPaused = frameClock.paused;
    advanceFrame(input);
    if (frameClock.paused != wasPaused) {
        captureCursor(!frameClock.paused);
    }
}

void playFrameSounds() {
    // The loops fade on real time: while paused the frame clock stands still, and they must still fade out.
    static double lastPlayed = glfwGetTime();
    const double now = glfwGetTime();
    const float realSeconds = static_cast<float>(now - lastPlayed);
    lastPlayed = now;
    updateSound(soundFrame, SoundListener{cameraEye(camera), camera.front, camera.up}, realSeconds);
    clearSoundEvents(soundFrame);
}

void runFrameLoop() {
    while (!glfwWindowShouldClose(window.handle)) {
        updateFrame();
        if (window.framebufferWidth <= 0 || window.framebufferHeight <= 0) {
            // Minimised: nothing to draw into, and the race goes on, heard. The HUD pass that would end the
            // get-ready pause does not run, so its rule runs here.
            if (startRollingIfDue(raceState, frameClock)) {
                soundFrame.letsRoll = true;
            }
            playFrameSounds();
            glfwWaitEventsTimeout(minimisedFrameSeconds);
            continue;
        }
        followFramebufferSize();
        renderShadowPass();
        renderScenePass();
        if (renderFlags.bloomEnabled) {
            renderBloom();
        }
        renderComposite();
        renderHud(); // also ends the get-ready pause
        playFrameSounds();
        glUseProgram(0);
        glfwSwapBuffers(window.handle);
    }
}

void releaseGame() {
    shutdownPhysics();
    releaseTerrainGpu();
    for (Mesh* mesh : terrainMeshes) {
        mesh->clear();
    }
    terrainMeshes.clear();
    releaseTerrain();

    // GL objects go while the context still exists.
    releaseBloomTargets();
    releaseSkybox();
    unitQuad.clear();
    releaseStartupModels();
    releaseStartupTextures();
    releaseShaders();
    releaseShadowMap();
    destroyWindow();
    releaseSound();
    finishRecords();
}

void shutdown() {
    releaseGame();
    std::printf("%s", sessionReport(raceState).c_str());
    std::printf("Press any key to exit.\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
}
