// Making and releasing the renderer, uploading and dropping a course's ground, and one frame's passes in order.
#include "gl/renderer.h"

#include <GL/glew.h>

#include <cstdio>
#include <new>
#include <stdexcept>

#include "core/camera.h"
#include "core/course.h"
#include "core/particles.h"
#include "core/race.h"
#include "core/sky_faces.h"
#include "gl/composite.h"
#include "gl/hud.h"
#include "gl/scene.h"

RendererFailure startRenderer(Renderer& renderer, const Settings& settings) {
    renderer.antialiasing = settings.antialiasing;
    renderer.brightness = settings.brightness;
    renderer.contrast = settings.contrast;
    renderer.particleOrder.reserve(particlePoolSize);
    try {
        createShadowMap(renderer.shadow);
    } catch (const std::runtime_error& e) {
        std::printf("%s\n", e.what());
        return RendererFailure::ShadowMap;
    }
    try {
        createPrograms(renderer.programs);
    } catch (FileNotFoundException* e) {
        std::printf("Shader file cannot be found: %s\n", e->getFileName());
        delete e;
        return RendererFailure::Programs;
    } catch (ShaderCompilationException* e) {
        std::printf("%s", e->what());
        delete e;
        return RendererFailure::Programs;
    }
    renderer.quad.create();
    loadStartupTextures(renderer.textures);
    loadStartupModels(renderer.models);
    return RendererFailure::None;
}

void finishRenderer(Renderer& renderer, int framebufferWidth, int framebufferHeight) {
    loadSkybox(renderer.sky, skyboxFacePaths);
    createBloomTargets(renderer.targets, framebufferWidth, framebufferHeight, renderer.antialiasing);
    renderer.projection = makeCameraProjection(framebufferWidth, framebufferHeight);
}

RendererFailure createRenderer(Renderer& renderer, const Settings& settings, int framebufferWidth,
                               int framebufferHeight) {
    const RendererFailure failure = startRenderer(renderer, settings);
    if (failure == RendererFailure::None) {
        finishRenderer(renderer, framebufferWidth, framebufferHeight);
    }
    return failure;
}

void releaseRenderer(Renderer& renderer) {
    releaseCourse(renderer);
    releaseMenuGpu(renderer.menu);
    releaseBloomTargets(renderer.targets);
    releaseSkybox(renderer.sky);
    renderer.quad.clear();
    releaseStartupModels(renderer.models);
    releaseStartupTextures(renderer.textures);
    releasePrograms(renderer.programs);
    releaseShadowMap(renderer.shadow);
}

bool uploadCourse(Renderer& renderer, const Race& race) {
    releaseCourse(renderer);
    try {
        if (uploadTerrain(renderer.course, race.terrain)) {
            // The default grass is the start-up texture already loaded; only a course's own is loaded here.
            if (race.course.grassPath != defaultGrassPath) {
                loadCourseGrass(renderer.course, race.course.grassFile);
            }
            return true;
        }
    } catch (const std::bad_alloc&) {
    }
    releaseCourse(renderer);
    return false;
}

void releaseCourse(Renderer& renderer) {
    releaseTerrainGpu(renderer.course);
}

void resizeTargets(Renderer& renderer, int framebufferWidth, int framebufferHeight) {
    const SceneTarget& scene = renderer.targets.scene;
    if (scene.width == framebufferWidth && scene.height == framebufferHeight) {
        return;
    }
    createBloomTargets(renderer.targets, framebufferWidth, framebufferHeight, renderer.antialiasing);
    renderer.projection = makeCameraProjection(framebufferWidth, framebufferHeight);
}

void renderFrame(Renderer& renderer, const Race& race, const RenderFlags& flags, int framebufferWidth,
                 int framebufferHeight, double wallSeconds) {
    resizeTargets(renderer, framebufferWidth, framebufferHeight);
    renderShadowPass(renderer, race);
    renderScenePass(renderer, race, flags, framebufferWidth, framebufferHeight, wallSeconds);
    // Decided here for this frame alone: the composite shows the bloom's picture only after a bloom pass.
    const bool bloomApplied = flags.bloomEnabled;
    if (bloomApplied) {
        renderBloom(renderer, framebufferWidth, framebufferHeight);
    }
    renderComposite(renderer, flags, framebufferWidth, framebufferHeight, bloomApplied);
    if (flags.hud) {
        renderHud(renderer, race, framebufferWidth, framebufferHeight);
    }
    glUseProgram(0);
}
