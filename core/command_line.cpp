// Arguments and the data folder: what the program does before start-up reads its first file.
#include "core/command_line.h"

#include <array>
#include <cstring>
#include <system_error>

namespace {

// Any one of these marks a data folder; the game opens files in all of them.
constexpr std::array<const char*, 6> dataFolderParts = {"Config", "Shaders", "Textures", "UserInterface", "Models",
                                                        "Skybox"};

} // namespace

Launch parseCommandLine(int argc, const char* const* argv) {
    Launch launch;
    auto refuse = [&launch](const std::string& argument, const std::string& problem) {
        launch.action = LaunchAction::Refuse;
        launch.refused = argument;
        launch.problem = problem;
        return launch;
    };
    auto unknown = [&refuse](const std::string& argument) {
        return refuse(argument, "unknown argument '" + argument + "'");
    };
    bool courseGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const bool version = std::strcmp(argument, "--version") == 0;
        const bool help = std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
        const bool list = std::strcmp(argument, "--list-courses") == 0;
        if (version || help || list) {
            // Only on their own: anything beside them is refused, naming the first other argument.
            if (argc > 2) {
                return unknown(i == 1 ? argv[2] : argv[1]);
            }
            launch.action = version ? LaunchAction::PrintVersion
                            : help  ? LaunchAction::PrintHelp
                                    : LaunchAction::ListCourses;
        } else if (std::strcmp(argument, "--course") == 0) {
            if (courseGiven) {
                return refuse(argument, "--course is given twice");
            }
            if (i + 1 >= argc) {
                return refuse(argument, "--course needs a course name");
            }
            const std::string id = argv[++i];
            std::string error;
            switch (parseSeedCourse(id, launch.request, error)) {
            case SeedParse::Bad:
                return refuse(id, error);
            case SeedParse::Ok:
                launch.course = seedCourseId(launch.request);
                launch.madeCourse = true;
                courseGiven = true;
                continue;
            case SeedParse::NotSeed:
                break;
            }
            if (!validCourseId(id)) {
                return refuse(id, "'" + id + "' is not a course name (1 to 64 letters, digits, '-' or '_')");
            }
            launch.course = id;
            courseGiven = true;
        } else {
            return unknown(argument);
        }
    }
    return launch;
}

std::string usageText() {
    return "Usage: kelvara-golf [--course ID | --course seed:N[:DIFFICULTY] | --list-courses | --version | --help]\n"
           "A minigolf race: steer the ball through the checkpoints to the goal before the time runs out.\n"
           "  --course ID      play course ID (default: the last course played, the first time " +
           std::string(defaultCourseId) + ")\n"
           "  --course seed:N[:DIFFICULTY]\n"
           "                   play the course made from seed N (0 to 4294967295), DIFFICULTY easy, medium (the\n"
           "                   default) or hard; it is made once, kept with your own courses as seed-N-DIFFICULTY\n"
           "  --list-courses   print every course: id, name, your record, gold, silver and bronze times\n"
           "\n"
           "Controls (keyboard and mouse / game controller):\n"
           "  mouse / right stick                    turn the camera around the ball\n"
           "  scroll wheel / shoulder buttons        camera nearer or farther\n"
           "  left mouse button / right trigger, A   boost the ball along the view (hold)\n"
           "  right button, Enter / B, Start         start the race again\n"
           "  P / Back                               pause and go on\n"
           "  F11                                    full screen and back\n"
           "  Escape                                 quit\n"
           "\n"
           "Started without arguments inside a data folder, the game plays from there; elsewhere it plays from the\n"
           "installed one. Settings: Config/default.ini, then Config/user.ini, then\n"
           "$XDG_CONFIG_HOME/kelvara-golf/user.ini (or ~/.config/kelvara-golf/user.ini).\n";
}

bool looksLikeDataFolder(const std::filesystem::path& folder) {
    std::error_code error;
    for (const char* part : dataFolderParts) {
        if (std::filesystem::is_directory(folder / part, error)) {
            return true;
        }
    }
    return false;
}

std::filesystem::path chooseDataFolder(const std::filesystem::path& workingFolder,
                                       const std::filesystem::path& executable, const std::string& installedRelative) {
    if (looksLikeDataFolder(workingFolder) || executable.empty()) {
        return workingFolder;
    }
    const std::filesystem::path installed = executable.parent_path() / installedRelative;
    return looksLikeDataFolder(installed) ? installed.lexically_normal() : workingFolder;
}
