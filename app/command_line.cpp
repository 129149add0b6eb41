// Arguments and the data folder: what the program does before start-up reads its first file.
#include "app/command_line.h"

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
    if (argc <= 1) {
        return launch;
    }
    const char* first = argv[1];
    const bool version = std::strcmp(first, "--version") == 0;
    const bool help = std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0;
    if ((!version && !help) || argc > 2) {
        launch.action = LaunchAction::Refuse;
        launch.refused = version || help ? argv[2] : first;
    } else {
        launch.action = version ? LaunchAction::PrintVersion : LaunchAction::PrintHelp;
    }
    return launch;
}

std::string usageText() {
    return "Usage: kelvara-golf [--version | --help]\n"
           "A minigolf race: steer the ball through the checkpoints to the goal before the time runs out.\n"
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
