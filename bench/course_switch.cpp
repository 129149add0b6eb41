// Course-switch benchmark: starts the game on one 512 x 512 course, then switches between two of them N times in the
// real window, drawing a frame after each switch, and reports the median and worst switch (the loading frame,
// switchCourse and the first frame of the new course, finished on the GPU) and the resident memory after the 2nd and the last switch.
// Usage: bench-course_switch [switches] [courseA] [courseB] (from data/).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <unistd.h>

#include "app/game.h"
#include "core/race.h"

namespace {

constexpr int defaultSwitches = 20;

// Resident memory of the process in MiB, from /proc/self/statm (its second field, in pages).
double residentMiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void drawFrame(Game& game) {
    const Window& window = game.window;
    renderFrame(game.renderer, *game.race, RenderFlags{}, window.framebufferWidth, window.framebufferHeight,
                glfwGetTime());
    glfwSwapBuffers(window.handle);
    glFinish();
}

} // namespace

int main(int argc, char** argv) {
    const int switches = argc > 1 ? std::max(2, std::atoi(argv[1])) : defaultSwitches;
    const std::string first = argc > 2 ? argv[2] : "canyon";
    const std::string second = argc > 3 ? argv[3] : "meadow";
    const auto game = std::make_unique<Game>();
    if (initialise(*game, first) != 0) {
        return 1;
    }
    glfwSwapInterval(0);
    drawFrame(*game);
    std::vector<double> ms;
    double afterSecond = 0.0;
    for (int i = 1; i <= switches; ++i) {
        const std::string& id = i % 2 == 1 ? second : first;
        const auto start = std::chrono::steady_clock::now();
        // As the menu switches: the loading frame first, then the course.
        showLoading(*game, id);
        if (!switchCourse(*game, id) || !game->race) {
            std::fprintf(stderr, "bench-course_switch: the switch to %s failed\n", id.c_str());
            return 1;
        }
        drawFrame(*game);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        glfwPollEvents();
        if (i == 2) {
            afterSecond = residentMiB();
        }
    }
    const double last = residentMiB();
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%d switches between %s and %s (%d x %d)\n", switches, first.c_str(), second.c_str(),
                game->race->terrain.width, game->race->terrain.height);
    std::printf("switch: median %.1f ms, worst %.1f ms\n", sorted[sorted.size() / 2], sorted.back());
    std::printf("resident memory: %.1f MiB after the 2nd switch, %.1f MiB after the last (%+.1f MiB)\n", afterSecond,
                last, last - afterSecond);
    releaseGame(*game);
    return 0;
}
