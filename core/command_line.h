// The program's few arguments (--version, --help) and where it finds its data folder when started elsewhere.
#pragma once

#include <filesystem>
#include <string>

enum class LaunchAction { Play, PrintVersion, PrintHelp, Refuse };

struct Launch {
    LaunchAction action = LaunchAction::Play;
    std::string refused; // the argument that was not understood
};

// No arguments plays, as always; --version and --help (or -h) print and end; anything else is refused.
Launch parseCommandLine(int argc, const char* const* argv);
// The usage and the controls, as --help prints them.
std::string usageText();

// True when folder holds any part of a data folder (Config/, Shaders/, Textures/, ...).
bool looksLikeDataFolder(const std::filesystem::path& folder);
// Where the game runs: the working folder when it is a data folder, as always; otherwise the installed data folder
// found relative to the executable (so a moved prefix still works), when that is one; otherwise the working folder,
// and start-up reports what it cannot find.
std::filesystem::path chooseDataFolder(const std::filesystem::path& workingFolder,
                                       const std::filesystem::path& executable, const std::string& installedRelative);
