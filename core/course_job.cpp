// The background making of a course: one thread per job, joined when its result is taken or the job is dropped.
#include "core/course_job.h"

#include <filesystem>
#include <system_error>

#include <pthread.h>
#include <sched.h>


CourseJob::~CourseJob() {
    progress.cancel.store(true);
    if (worker.joinable()) worker.join();
}

bool startCourseJob(CourseJob& job, const CourseRequest& request, const std::string& coursesFolder,
                    const std::string& dataFolder, const std::string& recordsFile, MakingPriority priority) {
    if (job.running || coursesFolder.empty()) return false;
    if (job.worker.joinable()) job.worker.join();
    job.request = request;
    job.progress.fraction.store(0.0f);
    job.progress.attempt.store(1);
    job.progress.cancel.store(false);
    job.finished.store(false);
    job.succeeded = false;
    job.entry = CourseEntry{};
    job.preview = Image{};
    job.message.clear();
    job.running = true;
    job.worker = std::thread([&job, request, coursesFolder, dataFolder, recordsFile, priority]() {
        // Behind a race: only time the frame thread leaves unused, so the race keeps its frame rate; the carving
        // threads started from here inherit it.
        if (priority == MakingPriority::Behind) {
            sched_param idle{};
            pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
        }
        const std::string id = seedCourseId(request);
        const std::string folder = coursesFolder + "/" + id;
        std::error_code code;
        // Made before: the same seed gives the same course, and the player's records and ghost belong to this one.
        bool ok = std::filesystem::exists(folder + "/" + courseFileName, code) &&
                  readCourseEntry(folder, id, dataFolder, CourseOrigin::Player, job.entry);
        if (!ok) {
            MadeCourse made;
            ok = makeCourse(request, made, &job.progress, job.message) &&
                 saveMadeCourse(made, coursesFolder, job.message);
            if (ok && !readCourseEntry(folder, id, dataFolder, CourseOrigin::Player, job.entry)) {
                ok = false;
                job.message = "the course saved in " + folder + " cannot be read back";
            }
        }
        if (ok) {
            // Read here, so the frame thread that takes the course opens no file.
            if (!recordsFile.empty() && job.entry.identity != 0) {
                job.entry.record = loadRecord(recordsFile, job.entry.identity);
            }
            if (!job.entry.previewFile.empty()) job.preview = decodeImage(job.entry.previewFile, 4);
        }
        job.succeeded = ok;
        job.progress.fraction.store(1.0f);
        job.finished.store(true, std::memory_order_release);
    });
    return true;
}

CourseJobState pollCourseJob(CourseJob& job) {
    if (!job.running) return CourseJobState::Idle;
    if (!job.finished.load(std::memory_order_acquire)) return CourseJobState::Running;
    job.worker.join();
    job.running = false;
    return job.succeeded ? CourseJobState::Done : CourseJobState::Failed;
}

void cancelCourseJob(CourseJob& job) {
    job.progress.cancel.store(true);
    if (job.worker.joinable()) job.worker.join();
    job.running = false;
}

float courseJobFraction(const CourseJob& job) {
    return job.progress.fraction.load();
}
