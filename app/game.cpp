// The game's outer structure: start-up in its fixed order, one frame after another, switching course, and the
// orderly shutdown.
#include "app/game.h"

#include <cstdio>
#include <iostream>
#include <string>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "core/camera.h"
#include "core/course.h"
#include "core/race_state.h"
#include "core/records.h"
#include "core/sound_events.h"

namespace {

constexpr int failureStatus = -1;
constexpr double minimisedFrameSeconds = 1.0 / 60.0; // frame pace while there is nothing to draw

// The course's race with the player's records and camera controls; null after printing why it cannot be played.
std::unique_ptr<Race> makeCourseRace(const Settings& settings, const Course& course) {
    std::unique_ptr<Race> race = makeRace(course);
    if (!race) {
        return nullptr;
    }
    race->camera.sensitivity = settings.mouseSensitivity;
    race->camera.invertY = settings.invertY;
    race->camera.stickSpeed = settings.gamepadSensitivity;
    setupRecords(race->records, recordsPath(), race->course.heightmapFile, race->course.checkpoints);
    return race;
}

// The race's ground onto the GPU; false after printing the failure.
bool uploadRaceCourse(Game& game) {
    if (uploadCourse(game.renderer, *game.race)) {
        return true;
    }
    std::fprintf(stderr, "Not enough memory for the heightmap (%s) \n", game.race->course.heightmapPath.c_str());
    return false;
}

// Drops the race and its ground on the GPU, then makes and uploads the race of course; false, with no race, after
// printing why it cannot be played.
bool replaceRace(Game& game, const Course& course) {
    // The old course goes first, so two courses never hold memory at once.
    if (game.race) {
        finishRecords(game.race->records);
    }
    game.race.reset();
    releaseCourse(game.renderer);
    game.race = makeCourseRace(game.settings, course);
    if (game.race && uploadRaceCourse(game)) {
        return true;
    }
    game.race.reset();
    releaseCourse(game.renderer);
    return false;
}

} // namespace

int initialise(Game& game, const std::string& courseId) {
    std::printf("Loading...");
    std::fflush(stdout);

    game.settings = loadSettings();
    const Settings& settings = game.settings;
    setupSound(game.audio, settings);

    Window& window = game.window;
    window = Window{};
    window.width = settings.width;
    window.height = settings.height;
    window.fullscreen = settings.fullscreen;
    window.antialiasing = settings.antialiasing;
    window.vsync = settings.vsync;
    if (createWindow(window) != 0) {
        return failureStatus;
    }

    switch (startRenderer(game.renderer, settings)) {
    case RendererFailure::ShadowMap:
        // Ends the program cleanly instead of leaving the exception uncaught.
        destroyWindow(window);
        return failureStatus;
    case RendererFailure::Programs:
        return failureStatus;
    case RendererFailure::None:
        break;
    }

    Course course;
    if (!loadCourse(".", courseId, course)) {
        return failureStatus;
    }
    game.race = makeCourseRace(settings, course);
    if (!game.race || !uploadRaceCourse(game)) {
        return failureStatus;
    }
    finishRenderer(game.renderer, window.framebufferWidth, window.framebufferHeight);

    startFirstRace(*game.race, glfwGetTime());
    game.lastPlayed = glfwGetTime();

    std::printf(" Done!\n");
    std::fflush(stdout);
    return 0;
}

bool switchCourse(Game& game, const std::string& id) {
    // A course file that is refused leaves the race being played as it is.
    Course course;
    if (!loadCourse(".", id, course)) {
        return false;
    }
    const Course previous = game.race ? game.race->course : Course{};
    const bool switched = replaceRace(game, course);
    // Its heightmap failed: the course played before comes back, with a new race.
    if (!switched && (previous.checkpoints.empty() || !replaceRace(game, previous))) {
        return false;
    }
    // The new race's clock runs on the game's time base from here, as the session's first race does, without a
    // first frame that spans the whole session so far.
    const double now = glfwGetTime();
    game.race->clock.lastFrameTime = static_cast<float>(now);
    game.race->clock.totalTime = static_cast<float>(now);
    startFirstRace(*game.race, now);
    return switched;
}

RenderFlags updateFrame(Game& game) {
    Race& race = *game.race;
    Window& window = game.window;
    tickClock(race, static_cast<float>(glfwGetTime()));
    glfwPollEvents();
    FrameInput input =
        takeFrameInput(window.input, glfwGetMouseButton(window.handle, GLFW_MOUSE_BUTTON_RIGHT) == GLFW_PRESS,
                       glfwGetMouseButton(window.handle, GLFW_MOUSE_BUTTON_LEFT) == GLFW_PRESS);
    addControllerInput(window, input);
    if (input.toggleFullscreen) {
        toggleFullscreen(window);
    }
    const RenderFlags flags = renderFlagsFromInput(input);
    const bool wasPaused = race.clock.paused;
    advanceFrame(race, input);
    if (race.clock.paused != wasPaused) {
        captureCursor(window, !race.clock.paused);
    }
    return flags;
}

void playFrameSounds(Game& game) {
    // The loops fade on real time: while paused the frame clock stands still, and they must still fade out.
    const double now = glfwGetTime();
    const float realSeconds = static_cast<float>(now - game.lastPlayed);
    game.lastPlayed = now;
    Race& race = *game.race;
    updateSound(game.audio, race.sounds, SoundListener{cameraEye(race.camera), race.camera.front, race.camera.up},
                realSeconds);
    clearSoundEvents(race.sounds);
}

void runFrameLoop(Game& game) {
    Window& window = game.window;
    while (!glfwWindowShouldClose(window.handle)) {
        const RenderFlags flags = updateFrame(game);
        if (window.framebufferWidth <= 0 || window.framebufferHeight <= 0) {
            // Minimised: nothing to draw into, and the race goes on, heard.
            playFrameSounds(game);
            glfwWaitEventsTimeout(minimisedFrameSeconds);
            continue;
        }
        renderFrame(game.renderer, *game.race, flags, window.framebufferWidth, window.framebufferHeight,
                    glfwGetTime());
        playFrameSounds(game);
        glfwSwapBuffers(window.handle);
    }
}

void releaseGame(Game& game) {
    // The race goes last, with its records' writer joined, as the records file was always finished after sound.
    std::unique_ptr<Race> race = std::move(game.race);
    // GL objects go while the context still exists.
    releaseRenderer(game.renderer);
    destroyWindow(game.window);
    releaseSound(game.audio);
    if (race) {
        finishRecords(race->records);
    }
}

void shutdown(Game& game) {
    // The report needs the race's state after everything else is released.
    const RaceState state = game.race ? game.race->state : RaceState{};
    releaseGame(game);
    std::printf("%s", sessionReport(state).c_str());
    std::printf("Press any key to exit.\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
}
