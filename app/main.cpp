// Entry point: the arguments and the data folder, the welcome text, start-up, the frame loop, then shutdown with
// the session report.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>
#include <system_error>

#include <unistd.h>

#include "core/command_line.h"
#include "core/course_list.h"
#include "app/game.h"

namespace {

constexpr int refusedStatus = 2;

// Changes into the folder the game plays from, before start-up opens anything.
void enterDataFolder() {
    std::error_code error;
    const std::filesystem::path working = std::filesystem::current_path(error);
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder = chooseDataFolder(working, error ? std::filesystem::path() : executable,
                                                          KELVARA_INSTALLED_DATA);
    if (folder != working && chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "kelvara-golf: cannot enter the data folder %s\n", folder.c_str());
    }
}

// One line per course, tab-separated: id, name, the player's record or "-", then the gold, silver and bronze times
// ("-" where the course gives none). Broken courses are named on stderr, as the game names them.
void printCourses() {
    std::vector<CourseEntry> courses = listCourses(".", playerCoursesFolder());
    loadCatalogueRecords(courses, recordsPath());
    auto time = [](float seconds) {
        char text[32] = "-";
        if (seconds > 0.0f) std::snprintf(text, sizeof text, "%.2f", double(seconds));
        return std::string(text);
    };
    for (const CourseEntry& entry : courses) {
        char record[32] = "-";
        if (entry.record.has) std::snprintf(record, sizeof record, "%.3f", double(entry.record.seconds));
        std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", entry.course.id.c_str(), entry.course.name.c_str(), record,
                    time(entry.course.goldSeconds).c_str(), time(entry.course.silverSeconds).c_str(),
                    time(entry.course.bronzeSeconds).c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    // Each line goes out as it is written, also to a file or a pipe, so a log or a wrapper sees the game as it runs.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const Launch launch = parseCommandLine(argc, argv);
    switch (launch.action) {
    case LaunchAction::PrintVersion:
        std::printf("kelvara-golf %s\n", KELVARA_VERSION);
        return 0;
    case LaunchAction::PrintHelp:
        std::printf("%s", usageText().c_str());
        return 0;
    case LaunchAction::ListCourses:
        enterDataFolder();
        printCourses();
        return 0;
    case LaunchAction::Refuse:
        std::fprintf(stderr, "kelvara-golf: %s\n%s", launch.problem.c_str(), usageText().c_str());
        return refusedStatus;
    case LaunchAction::Play:
        break;
    }
    enterDataFolder();

    std::printf("Welcome to Kelvara-Golf! \nUse the mouse to look around. \nPress the left mousebutton to accelerate, "
                "press right to try again. \nHave fun!\n");
    std::fflush(stdout);

    // On the heap: the renderer and the window's input record are large, and the window's callbacks keep its address.
    const auto game = std::make_unique<Game>();
    const int status = initialise(*game, launch.course, launch.madeCourse ? &launch.request : nullptr);
    if (status != 0) {
        return status;
    }
    runFrameLoop(*game);
    shutdown(*game);
    return 0;
}
