// The game's outer structure: start-up in its fixed order, one frame after another, switching course, and the
// orderly shutdown.
#include "app/game.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "core/camera.h"
#include "core/course.h"
#include "core/race_state.h"
#include "core/records.h"
#include "core/sound_events.h"
#include "core/text_layout.h"

namespace {

constexpr int failureStatus = -1;
constexpr double minimisedFrameSeconds = 1.0 / 60.0; // frame pace while there is nothing to draw
constexpr double makingFrameSeconds = 1.0 / 30.0;    // frame pace at start-up while a course is made

// The course's race with the player's records and camera controls, and the ghost its folder brings; null after
// printing why it cannot be played.
std::unique_ptr<Race> makeCourseRace(const Settings& settings, const Course& course, const std::string& folder) {
    std::unique_ptr<Race> race = makeRace(course);
    if (!race) {
        return nullptr;
    }
    race->camera.sensitivity = settings.mouseSensitivity;
    race->camera.invertY = settings.invertY;
    race->camera.stickSpeed = settings.gamepadSensitivity;
    setupRecords(race->records, recordsPath(), race->course.heightmapFile, race->course.checkpoints);
    loadRaceGhost(*race, folder, ghostPathFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), race->course.id));
    race->showGhost = settings.ghost;
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

// The folder a course was read from: its catalogue entry's, else the data folder's (the working folder).
std::string courseFolderOf(const Game& game, const std::string& id) {
    const int entry = findCourse(game.courses, id);
    if (entry >= 0) return game.courses[std::size_t(entry)].folder;
    return std::filesystem::path(courseFilePath(".", id)).parent_path().string();
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
    game.race = makeCourseRace(game.settings, course, courseFolderOf(game, course.id));
    if (game.race && uploadRaceCourse(game)) {
        return true;
    }
    game.race.reset();
    releaseCourse(game.renderer);
    return false;
}

// A finished course joins the catalogue, with its picture, unless a course of its id is listed already (then it was
// only read back); the open list highlights it. said: one line names it (at start-up "Course:" does).
void takeMadeCourse(Game& game, bool said) {
    CourseJob& job = game.courseJob;
    int index = findCourse(game.courses, job.entry.course.id);
    if (index < 0) {
        game.courses.push_back(std::move(job.entry));
        addMenuPicture(game.renderer.menu, job.preview);
        index = int(game.courses.size()) - 1;
    }
    job.preview = Image{};
    addCourseToMenu(game.menu, int(game.courses.size()), index);
    if (said) {
        std::printf("Course ready: %s\n", game.courses[std::size_t(index)].course.name.c_str());
        std::fflush(stdout);
    }
}

// One line, whatever the maker's reason holds: its first line, which says what went wrong.
void sayNotMade(const CourseRequest& request, const std::string& why) {
    std::size_t end = std::min(why.find('\n'), why.size());
    if (end > 0 && why[end - 1] == ':') --end;
    std::fprintf(stderr, "Course seed %u (%s) cannot be made: %.*s\n", unsigned(request.seed),
                 difficultyName(request.difficulty), int(end), why.c_str());
}

// Starts making a course while the race goes on; one line says so, or why not.
void startMaking(Game& game, const CourseRequest& request) {
    if (game.playerCourses.empty()) {
        sayNotMade(request, "there is no folder for your own courses (neither XDG_DATA_HOME nor HOME is set)");
        return;
    }
    if (!startCourseJob(game.courseJob, request, game.playerCourses, ".", recordsPath(), MakingPriority::Behind)) {
        return; // one is being made; the menu says so
    }
    std::printf("Making course seed %u (%s)...\n", unsigned(request.seed), difficultyName(request.difficulty));
    std::fflush(stdout);
}

// The course being made, if any: its progress for the menu and the HUD, and once finished, its course or its failure.
void pollMaking(Game& game) {
    MakingShown& shown = game.menu.making;
    switch (pollCourseJob(game.courseJob)) {
    case CourseJobState::Running:
        shown.running = true;
        shown.request = game.courseJob.request;
        shown.fraction = courseJobFraction(game.courseJob);
        return;
    case CourseJobState::Done:
        shown.running = false;
        takeMadeCourse(game, true);
        return;
    case CourseJobState::Failed:
        shown.running = false;
        sayNotMade(game.courseJob.request, game.courseJob.message);
        return;
    case CourseJobState::Idle:
        shown.running = false;
        return;
    }
}

// The start-up's course made before any race: a frame with its progress now and then, the window kept answering.
// False after one line when it cannot be made, or without a line when the window was closed meanwhile.
bool makeStartCourse(Game& game, const CourseRequest& request) {
    Window& window = game.window;
    if (game.playerCourses.empty()) {
        sayNotMade(request, "there is no folder for your own courses (neither XDG_DATA_HOME nor HOME is set)");
        return false;
    }
    std::printf(" making course seed %u (%s)...", unsigned(request.seed), difficultyName(request.difficulty));
    std::fflush(stdout);
    startCourseJob(game.courseJob, request, game.playerCourses, ".", recordsPath());
    MakingShown shown;
    shown.request = request;
    for (;;) {
        const CourseJobState state = pollCourseJob(game.courseJob);
        if (state == CourseJobState::Done) {
            takeMadeCourse(game, false);
            return true;
        }
        if (state != CourseJobState::Running) {
            sayNotMade(request, game.courseJob.message);
            return false;
        }
        if (glfwWindowShouldClose(window.handle)) {
            cancelCourseJob(game.courseJob);
            std::printf(" given up\n");
            return false;
        }
        if (window.framebufferWidth > 0 && window.framebufferHeight > 0) {
            shown.running = true;
            shown.fraction = courseJobFraction(game.courseJob);
            MenuLayout& layout = game.menuLayout;
            layout.quadCount = layout.boxCount = 0;
            layoutMakingLine(shown, float(window.framebufferWidth) / float(window.framebufferHeight), layout,
                             MakingPlace::Middle);
            renderMenuAlone(game.renderer, layout, window.framebufferWidth, window.framebufferHeight);
            glfwSwapBuffers(window.handle);
        }
        glfwWaitEventsTimeout(makingFrameSeconds);
    }
}

} // namespace

int initialise(Game& game, const std::string& requestedCourse, const CourseRequest* toMake) {
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

    if (!startMenuGpu(game.renderer.menu)) {
        return failureStatus;
    }
    // The catalogue and its pictures are read once here, so the menu never opens a file while the game runs.
    game.playerCourses = playerCoursesFolder();
    game.seeds.seed(std::random_device{}());
    game.menu.dailySeed = todaysCourseRequest().seed; // also reads the time zone once, here rather than in a frame
    game.courses = listCourses(".", game.playerCourses);
    loadCatalogueRecords(game.courses, recordsPath());
    loadMenuPictures(game.renderer.menu, game.courses);
    std::string requested = requestedCourse;
    if (toMake && findCourse(game.courses, requested) < 0 && !makeStartCourse(game, *toMake)) {
        if (glfwWindowShouldClose(window.handle)) {
            return 0; // closed while the course was made: nothing more to start
        }
        requested = defaultCourseId; // its line is said; no second one for a missing course
    }
    game.currentCourse = chooseStartCourse(game.courses, requested, readLastCourse(lastCoursePath()));
    if (game.currentCourse < 0) {
        std::fprintf(stderr, "No course can be played: Courses/ in the data folder holds none\n");
        return failureStatus;
    }
    const CourseEntry& start = game.courses[std::size_t(game.currentCourse)];
    game.race = makeCourseRace(settings, start.course, start.folder);
    if (!game.race || !uploadRaceCourse(game)) {
        return failureStatus;
    }
    finishRenderer(game.renderer, window.framebufferWidth, window.framebufferHeight);

    startFirstRace(*game.race, glfwGetTime());
    game.lastPlayed = glfwGetTime();

    std::printf(" Done!\nCourse: %s\n", game.race->course.name.c_str());
    std::fflush(stdout);
    return 0;
}

bool switchCourse(Game& game, const std::string& id) {
    // A course file that is refused leaves the race being played as it is.
    Course course;
    const int entry = findCourse(game.courses, id);
    if (entry >= 0) {
        course = game.courses[std::size_t(entry)].course;
    } else if (!loadCourse(".", id, course)) {
        return false;
    }
    const Course previous = game.race ? game.race->course : Course{};
    // G's choice outlives the race it was made in.
    const bool showGhost = game.race ? game.race->showGhost : game.settings.ghost;
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
    game.race->showGhost = showGhost;
    startFirstRace(*game.race, now);
    game.currentCourse = findCourse(game.courses, game.race->course.id);
    std::printf("Course: %s\n", game.race->course.name.c_str());
    std::fflush(stdout);
    return switched;
}

void showLoading(Game& game, const std::string& name) {
    Window& window = game.window;
    if (window.framebufferWidth <= 0 || window.framebufferHeight <= 0) {
        return;
    }
    MenuLayout& layout = game.menuLayout;
    layout.quadCount = 0;
    layout.quads[layout.quadCount++] = MenuQuad{MenuTexture::Solid, -1, glm::vec2(0.0f), glm::vec2(2.0f),
                                                glm::vec4(0.0f, 0.0f, 1.0f, 1.0f), glm::vec4(0.02f, 0.03f, 0.08f, 0.85f)};
    const float aspect = float(window.framebufferWidth) / float(window.framebufferHeight);
    std::array<GlyphDraw, 96> glyphs;
    const std::string text = "Loading " + name + "...";
    const TextFit fit = layoutText(text, glm::vec2(0.0f), 0.16f * std::min(1.0f, aspect), aspect, TextAlign::Centre,
                                   1.8f, 0.3f, glyphs.data(), glyphs.size());
    for (std::size_t i = 0; i < fit.count && layout.quadCount < layout.quads.size(); ++i) {
        layout.quads[layout.quadCount++] = MenuQuad{MenuTexture::Font, -1, glyphs[i].centre, glyphs[i].size,
                                                    fontTextureRect(glyphs[i].glyph), glm::vec4(1.0f)};
    }
    // The race as it stands, then the words over it, so the frame shown is whole whatever the back buffer held.
    RenderFlags flags;
    flags.hud = false; // the race being left behind needs no clock or banner
    renderFrame(game.renderer, *game.race, flags, window.framebufferWidth, window.framebufferHeight, glfwGetTime());
    renderMenu(game.renderer, layout, window.framebufferWidth, window.framebufferHeight);
    glfwSwapBuffers(window.handle);
}

namespace {

// A won record goes into the catalogue so the menu shows it; only the time, as a copy of the text would allocate.
void showRecordInCatalogue(Game& game) {
    if (game.currentCourse < 0 || std::size_t(game.currentCourse) >= game.courses.size()) {
        return;
    }
    CourseRecord& shown = game.courses[std::size_t(game.currentCourse)].record;
    const CourseRecord& best = game.race->records.best;
    if (best.has && (!shown.has || best.seconds != shown.seconds)) {
        shown.has = true;
        shown.seconds = best.seconds;
    }
}

void openGameMenu(Game& game) {
    openMenu(game.menu, int(game.courses.size()), game.currentCourse);
    game.menu.dailySeed = todaysCourseRequest().seed;
}

// The course chosen in the menu: shown as loading, switched to, and remembered for the next start.
void chooseCourse(Game& game, int index) {
    if (index < 0 || std::size_t(index) >= game.courses.size()) {
        return;
    }
    const std::string id = game.courses[std::size_t(index)].course.id;
    showLoading(game, game.courses[std::size_t(index)].course.name);
    const bool switched = switchCourse(game, id);
    if (!game.race) {
        // Neither that course nor the one before could be loaded again: nothing is left to play.
        glfwSetWindowShouldClose(game.window.handle, GLFW_TRUE);
        return;
    }
    if (switched) {
        rememberLastCourse(lastCoursePath(), id);
    }
    if (game.race->clock.paused) {
        // The course was refused and the paused race is still there: the menu stays, its line on stderr says why.
        openGameMenu(game);
        return;
    }
    captureCursor(game.window, true);
    forgetCursor(game.window.input);
}

} // namespace

RenderFlags updateFrame(Game& game) {
    Race& race = *game.race;
    Window& window = game.window;
    tickClock(race, static_cast<float>(glfwGetTime()));
    glfwPollEvents();
    pollMaking(game);
    FrameInput input =
        takeFrameInput(window.input, glfwGetMouseButton(window.handle, GLFW_MOUSE_BUTTON_RIGHT) == GLFW_PRESS,
                       glfwGetMouseButton(window.handle, GLFW_MOUSE_BUTTON_LEFT) == GLFW_PRESS);
    addControllerInput(window, input);
    if (input.toggleFullscreen) {
        toggleFullscreen(window);
    }
    const RenderFlags flags = renderFlagsFromInput(input);
    const bool wasPaused = race.clock.paused;
    if (menuOpen(game.menu)) {
        int width = 0, height = 0;
        glfwGetWindowSize(window.handle, &width, &height);
        const MenuAction action = updateMenu(game.menu, input, glm::vec2(float(width), float(height)));
        // The menu read the pause key; the race is paused while it is open and goes on when it closes.
        input.togglePause = false;
        switch (action.kind) {
        case MenuActionKind::None:
            break;
        case MenuActionKind::Resume:
            input.togglePause = true;
            break;
        case MenuActionKind::Restart:
            resetRace(race);
            race.sounds.getReady = true;
            input.togglePause = true;
            break;
        case MenuActionKind::Quit:
            glfwSetWindowShouldClose(window.handle, GLFW_TRUE);
            break;
        case MenuActionKind::ChooseCourse:
            chooseCourse(game, action.course);
            return flags;
        case MenuActionKind::NewCourse:
            startMaking(game, CourseRequest{static_cast<uint32_t>(game.seeds()), action.difficulty});
            break;
        case MenuActionKind::DailyCourse:
            startMaking(game, todaysCourseRequest());
            break;
        }
    } else if (input.togglePause && !race.clock.paused) {
        openGameMenu(game);
    }
    holdRaceInput(game.menu, input);
    advanceFrame(race, input);
    if (race.clock.paused != wasPaused) {
        captureCursor(window, !race.clock.paused);
        if (!race.clock.paused) {
            // The cursor jumps back to the middle when captured: that is no turn of the camera.
            forgetCursor(window.input);
        }
    }
    showRecordInCatalogue(game);
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

namespace {

const char* frameLogPhase(const Race& race) {
    if (race.clock.paused) return "paused";
    switch (race.state.phase) {
    case RacePhase::GetReady: return "ready";
    case RacePhase::Rolling: return "rolling";
    case RacePhase::Won: return "won";
    case RacePhase::Lost: return "lost";
    }
    return "unknown";
}

} // namespace

void runFrameLoop(Game& game) {
    Window& window = game.window;
    // Tests wait for "frame N PHASE SECONDS" lines (one per drawn frame: the race's phase, or paused, and the game's
    // own clock) instead of the wall clock; a player's game prints nothing.
    const bool frameLog = std::getenv("KELVARA_FRAME_LOG") != nullptr;
    unsigned long long framesDrawn = 0;
    while (!glfwWindowShouldClose(window.handle)) {
        RenderFlags flags = updateFrame(game);
        flags.hud = !menuOpen(game.menu);
        if (!game.race) {
            break; // a switch left no course to play; the window is closing
        }
        if (window.framebufferWidth <= 0 || window.framebufferHeight <= 0) {
            // Minimised: nothing to draw into, and the race goes on, heard.
            playFrameSounds(game);
            glfwWaitEventsTimeout(minimisedFrameSeconds);
            continue;
        }
        renderFrame(game.renderer, *game.race, flags, window.framebufferWidth, window.framebufferHeight,
                    glfwGetTime());
        const float aspect = float(window.framebufferWidth) / float(window.framebufferHeight);
        MenuLayout& layout = game.menuLayout;
        if (menuOpen(game.menu)) {
            layoutMenu(game.menu, game.courses, aspect, layout);
        } else {
            layout.quadCount = layout.boxCount = 0;
        }
        // The list's own items show a making; everywhere else a line at the bottom does.
        if (game.menu.screen != MenuScreen::Courses) {
            layoutMakingLine(game.menu.making, aspect, layout);
        }
        if (layout.quadCount > 0) {
            renderMenu(game.renderer, layout, window.framebufferWidth, window.framebufferHeight);
        }
        playFrameSounds(game);
        glfwSwapBuffers(window.handle);
        if (frameLog) {
            std::printf("frame %llu %s %.3f\n", ++framesDrawn, frameLogPhase(*game.race),
                        static_cast<double>(game.race->clock.totalTime));
        }
    }
}

void releaseGame(Game& game) {
    // A course half made is given up: the player is leaving, and the thread must not outlive the game.
    cancelCourseJob(game.courseJob);
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
