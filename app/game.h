// The game: its window, renderer, sound output, settings and the race being played, with start-up in its fixed
// order, the frame loop, switching course and the orderly shutdown.
#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/window.h"
#include "audio/sound.h"
#include "core/course_job.h"
#include "core/course_list.h"
#include "core/course_maker.h"
#include "core/input.h"
#include "core/menu.h"
#include "core/menu_layout.h"
#include "core/race.h"
#include "core/settings.h"
#include "gl/renderer.h"

// Made once in main and never moved: the window's callbacks find it through GLFW's user pointer.
struct Game {
    Settings settings;
    Window window;
    Renderer renderer;
    AudioOutput audio;
    std::unique_ptr<Race> race;
    double lastPlayed = 0.0; // wall time of the last sound update: the loops fade on real time
    std::vector<CourseEntry> courses; // the catalogue, read once at start-up
    int currentCourse = -1;           // the entry being played, or -1 for a course outside the catalogue
    Menu menu;
    MenuLayout menuLayout;            // refilled each frame the menu or a making is shown; large, so kept here
    std::string playerCourses;        // playerCoursesFolder(), where made courses go; empty without one
    std::mt19937 seeds;               // new courses' seeds, seeded once at start-up so no frame opens a device
    CourseJob courseJob;              // the course being made, one at a time; dropped first, joining its thread

    Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
};

// Runs every start-up step with the data folder as the working folder: reads the catalogue (the shipped courses and
// the player's) and plays the requested course, else the remembered one, else the default (chooseStartCourse);
// returns 0, or the exit status when a step failed (its message is printed). With toMake, the requested course is
// seedCourseId(*toMake): when the catalogue lacks it, it is made first while frames show the progress; a making that
// fails plays the default course after one line, and a window closed meanwhile returns 0 with no race (the frame
// loop then ends at once).
int initialise(Game& game, const std::string& requestedCourse, const CourseRequest* toMake = nullptr);
// The frame update: clock, event polling, the controller, full screen, then the rules on the frame's input
// (advanceFrame), and the cursor released or captured when the pause changed. Returns the frame's render switches.
RenderFlags updateFrame(Game& game);
// Plays what the frame's rules asked for, heard from the camera, then clears the frame's moments.
void playFrameSounds(Game& game);
// Frames until the window should close. A minimised window draws nothing.
void runFrameLoop(Game& game);
// Takes the course id from the catalogue (outside it, from the data folder, the working folder), drops the race and
// the renderer's course, makes the new course's race and uploads it, with the records and the player's camera
// settings, and starts its first race; prints "Course: <name>". False (after the reason is printed) when the course cannot be played: a refused course file leaves the race as it
// was; a heightmap that fails brings the previous course back in a new race (with no race only if that fails too,
// and then the frame loop must not run).
bool switchCourse(Game& game, const std::string& id);
// Draws one frame that says "Loading <name>..." in the menu's lettering over the last picture, so the player sees
// why the next frames wait while a course is switched.
void showLoading(Game& game, const std::string& name);
// Gives up a course being made, then releases the race, every GL object, then the window, then sound, in that
// order; waits for a record being written.
void releaseGame(Game& game);
// Releases everything, prints the session report and waits for one line of input.
void shutdown(Game& game);
