// A course made on a thread of its own while the race goes on: the frame thread starts it, reads its progress and
// takes the finished course without ever waiting or touching a file.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "core/course_list.h"
#include "core/course_maker.h"
#include "core/image.h"

enum class CourseJobState { Idle, Running, Done, Failed };

struct CourseJob {
    CourseJob() = default;
    CourseJob(const CourseJob&) = delete;
    CourseJob& operator=(const CourseJob&) = delete;
    ~CourseJob(); // cancels a making in progress and waits for the thread

    CourseRequest request;
    MakingProgress progress;
    std::thread worker;
    std::atomic<bool> finished{false};
    bool running = false;
    // Set by the worker before finished; read by the frame thread after it.
    bool succeeded = false;
    CourseEntry entry;   // the course as the catalogue lists it, read back from its folder, with its record
    Image preview;       // its menu picture, decoded here so the frame thread only uploads it; empty without one
    std::string message; // why it failed
};

// Starts making request's course and saving it into coursesFolder; when a playable course of that id is already
// there it is read instead of made again. dataFolder is where the course's shared files are looked up, as for the
// catalogue; the course's record is read from recordsFile (none when empty). False (and nothing started) while
// another making runs or without a courses folder.
// behind: at idle priority, taking only time the frame thread leaves unused, for a making while a race goes on; at
// the normal one when the player is waiting for it.
enum class MakingPriority { Waited, Behind };
bool startCourseJob(CourseJob& job, const CourseRequest& request, const std::string& coursesFolder,
                    const std::string& dataFolder, const std::string& recordsFile = {},
                    MakingPriority priority = MakingPriority::Waited);
// Gives up a making in progress and waits for its thread (the game is closing); the job is then Idle.
void cancelCourseJob(CourseJob& job);
// Never waits: Running while it works, then Done (job.entry holds the course) or Failed (job.message says why)
// exactly once, after which the job is Idle and can start again.
CourseJobState pollCourseJob(CourseJob& job);
// 0..1 while running.
float courseJobFraction(const CourseJob& job);
