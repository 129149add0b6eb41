// The command line: the bytes split at each NUL into arguments after the program's name, as the kernel hands them
// to main, then through parseCommandLine.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/command_line.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // parseCommandLine is linear in its arguments; past 4 KiB an input only makes each run slower.
    if (size > 4096) return 0;
    std::vector<std::string> arguments{"kelvara-golf"};
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += char(data[i]);
        }
    }
    if (size > 0) arguments.push_back(current);
    std::vector<const char*> argv;
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    argv.push_back(nullptr); // as main's argv ends
    const int argc = int(arguments.size());

    const Launch launch = parseCommandLine(argc, argv.data());
    switch (launch.action) {
    case LaunchAction::Play:
        fuzz::expect(launch.course.empty() || validCourseId(launch.course),
                     "a game plays only a course that can be a folder's name");
        break;
    case LaunchAction::PrintVersion:
    case LaunchAction::PrintHelp:
    case LaunchAction::ListCourses:
        fuzz::expect(argc == 2, "--version, --help and --list-courses only on their own");
        break;
    case LaunchAction::Refuse:
        fuzz::expect(!launch.problem.empty(), "a refused command line says why");
        break;
    }
    return 0;
}
