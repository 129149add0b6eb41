// Frame-time benchmark: runs the whole game for a number of frames from its data folder and reports the median
// frame time and each pass's share, measured with GL timer queries, and the processor time per frame.
// Usage: bench-frame_timing [frames] (from data/).
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/game.h"
#include "core/course.h"
#include "core/input.h"
#include "core/race.h"
#include "gl/bloom.h"
#include "gl/composite.h"
#include "gl/hud.h"
#include "gl/scene.h"
#include "gl/shadow_map.h"

namespace {

constexpr int defaultFrames = 300;
constexpr int warmUpFrames = 30;
enum Pass { Update, Shadow, Scene, Bloom, Composite, Hud, Swap, PassCount };
constexpr std::array<const char*, PassCount> passNames = {"update", "shadow", "scene", "bloom", "composite", "hud",
                                                           "swap"};

// Processor time of the whole process (every driver thread), in milliseconds: less swayed than the clock on a
// machine that other work shares.
double processorMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1e3 +
           (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1e3;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : defaultFrames;
    const auto launched = std::chrono::steady_clock::now();
    const auto game = std::make_unique<Game>();
    if (initialise(*game, defaultCourseId) != 0) {
        return 1;
    }
    Renderer& renderer = game->renderer;
    const int width = game->window.framebufferWidth, height = game->window.framebufferHeight;
    // Measures the work, not the display's refresh: whatever the settings say, no waiting for it.
    glfwSwapInterval(0);
    const double startupSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - launched).count();
    std::array<GLuint, PassCount> queries{};
    glGenQueries(PassCount, queries.data());
    std::array<std::vector<double>, PassCount> gpuMs;
    std::vector<double> frameMs;
    std::vector<double> soundUs; // the audio update, on the processor
    double processorAtStart = 0.0;

    for (int frame = 0; frame < warmUpFrames + frames && !glfwWindowShouldClose(game->window.handle); ++frame) {
        const auto start = std::chrono::steady_clock::now();
        auto timed = [&](Pass pass, auto&& work) {
            glBeginQuery(GL_TIME_ELAPSED, queries[pass]);
            work();
            glEndQuery(GL_TIME_ELAPSED);
        };
        // The window keeps its size here, so the passes run as renderFrame runs them, each timed on its own.
        RenderFlags flags;
        timed(Update, [&] { flags = updateFrame(*game); });
        const Race& race = *game->race;
        timed(Shadow, [&] { renderShadowPass(renderer, race); });
        timed(Scene, [&] { renderScenePass(renderer, race, flags, width, height, glfwGetTime()); });
        timed(Bloom, [&] {
            if (flags.bloomEnabled) {
                renderBloom(renderer, width, height);
            }
        });
        timed(Composite, [&] { renderComposite(renderer, flags, width, height, flags.bloomEnabled); });
        timed(Hud, [&] { renderHud(renderer, race, width, height); });
        const auto soundStart = std::chrono::steady_clock::now();
        playFrameSounds(*game);
        const auto soundEnd = std::chrono::steady_clock::now();
        glUseProgram(0);
        timed(Swap, [&] { glfwSwapBuffers(game->window.handle); });
        glFinish();
        const auto end = std::chrono::steady_clock::now();
        if (frame < warmUpFrames) {
            processorAtStart = processorMs();
            continue;
        }
        frameMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        soundUs.push_back(std::chrono::duration<double, std::micro>(soundEnd - soundStart).count());
        for (int pass = 0; pass < PassCount; ++pass) {
            GLuint64 ns = 0;
            glGetQueryObjectui64v(queries[pass], GL_QUERY_RESULT, &ns);
            gpuMs[pass].push_back(static_cast<double>(ns) / 1e6);
        }
    }
    glDeleteQueries(PassCount, queries.data());

    const double processorPerFrame = (processorMs() - processorAtStart) / std::max<double>(1.0, double(frameMs.size()));
    releaseGame(*game);
    double sum = 0.0;
    std::array<double, PassCount> medians{};
    for (int pass = 0; pass < PassCount; ++pass) {
        medians[pass] = median(gpuMs[pass]);
        sum += medians[pass];
    }
    std::printf("%zu frames at %d x %d: median frame time %.2f ms (%.1f frames per second)\n", frameMs.size(), width,
                height, median(frameMs), 1000.0 / std::max(median(frameMs), 1e-6));
    std::printf("start-up %.2f s; processor time %.2f ms per frame, all threads\n", startupSeconds, processorPerFrame);
    for (int pass = 0; pass < PassCount; ++pass) {
        std::printf("  %-10s %7.2f ms  %5.1f %%\n", passNames[pass], medians[pass], sum > 0.0 ? 100.0 * medians[pass] / sum : 0.0);
    }
    std::printf("  sound update: median %.1f us a frame\n", median(soundUs));
    return 0;
}
