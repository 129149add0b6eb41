// Terrain-size benchmark: makes heightmaps of 512, 1024, 2048 and 4096 pixels from the shipped one in a scratch copy
// of the data folder, runs bench-frame_timing on each in a 256 x 256 window and prints one table: start-up time,
// median frame, scene pass and peak resident memory. Usage, from data/:
//   bench-terrain_scaling [frames] [PROGRAM[@DATA] ...]
// Each frame-timing program named (default: bench-frame_timing beside this one) is run on every map, with the
// shaders and assets of its own data folder DATA (default: this one), so two builds can be compared in one run.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/course.h"
#include "core/terrain.h"
#include "core/image.h"
#include "core/image_io.h"

namespace fs = std::filesystem;

namespace {

constexpr int defaultFrames = 60;
constexpr int windowSide = 256; // pixels
constexpr std::array<int, 4> mapSides = {512, 1024, 2048, 4096};
constexpr int maxMapSide = 4096;
const char* const shippedHeightmap = "Textures/heightmap.png";

struct Program {
    std::string path;
    fs::path data;
};

struct Run {
    double launchSeconds = -1.0;  // from the fork until the program prints " Done!"
    double startupSeconds = -1.0; // initialise() alone, as the program reports it
    double frameMs = -1.0;
    double sceneMs = -1.0;
    double peakMegabytes = -1.0;
};

// Every file of the data folder linked into dir, except the heightmap and the user settings, which each map gets.
bool mirrorDataFolder(const fs::path& from, const fs::path& dir) {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(from, error)) {
        const fs::path relative = fs::relative(entry.path(), from);
        if (entry.is_directory()) {
            fs::create_directories(dir / relative, error);
        } else if (relative != fs::path(shippedHeightmap) && relative != fs::path("Config/user.ini")) {
            fs::create_symlink(fs::absolute(entry.path()), dir / relative, error);
        }
        if (error) {
            std::fprintf(stderr, "cannot copy %s: %s\n", entry.path().c_str(), error.message().c_str());
            return false;
        }
    }
    std::ofstream settings(dir / "Config/user.ini");
    settings << "[window]\nwidth = " << windowSide << "\nheight = " << windowSide << "\n";
    return bool(settings);
}

// The shipped map stretched by side / its own side about the start checkpoint, so every map starts the ball on
// the same pad with the same view, the land around it drawn out wider. Bilinear between the shipped samples.
bool writeScaledHeightmap(const Image16& source, const glm::vec3& start, int side, const fs::path& path) {
    const double scale = double(side) / double(source.width);
    std::vector<uint16_t> samples(std::size_t(side) * std::size_t(side));
    auto at = [&source](int x, int z) {
        x = std::clamp(x, 0, source.width - 1);
        z = std::clamp(z, 0, source.height - 1);
        return double(source.pixels[(std::size_t(z) * std::size_t(source.width) + std::size_t(x)) *
                                    std::size_t(source.channels)]);
    };
    for (int z = 0; z < side; ++z) {
        for (int x = 0; x < side; ++x) {
            // Grid point (x, z) of a map side wide stands at world x - side / 2.
            const double sx = start.x + (double(x - side / 2) - start.x) / scale + double(source.width / 2);
            const double sz = start.z + (double(z - side / 2) - start.z) / scale + double(source.height / 2);
            const int x0 = int(std::floor(sx)), z0 = int(std::floor(sz));
            const double fx = sx - x0, fz = sz - z0;
            const double top = at(x0, z0) + fx * (at(x0 + 1, z0) - at(x0, z0));
            const double bottom = at(x0, z0 + 1) + fx * (at(x0 + 1, z0 + 1) - at(x0, z0 + 1));
            samples[std::size_t(z) * std::size_t(side) + std::size_t(x)] =
                uint16_t(std::lround(top + fz * (bottom - top)));
        }
    }
    std::string error;
    if (!writePng16Grey(path.string(), side, side, samples, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    return true;
}

double numberAfter(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + label.size());
}

// Runs program in dir with its output on a pipe: start-up lasts until it prints " Done!", the frame figures come
// from its report and the peak resident memory from the kernel's account of the finished child.
Run runOnce(const std::string& program, const fs::path& dir, int frames) {
    Run run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return run;
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (chdir(dir.c_str()) != 0) _exit(127);
        // Records stay in the scratch folder.
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
        const std::string count = std::to_string(frames);
        execl(program.c_str(), program.c_str(), count.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return run;
    }
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, std::size_t(n));
        if (run.launchSeconds < 0.0 && output.find(" Done!") != std::string::npos) {
            run.launchSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        }
    }
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed in %s:\n%s\n", program.c_str(), dir.c_str(), output.c_str());
        return run;
    }
    run.startupSeconds = numberAfter(output, "start-up ");
    run.frameMs = numberAfter(output, "median frame time ");
    run.sceneMs = numberAfter(output, "  scene ");
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    return run;
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : defaultFrames;
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::size_t at = arg.find('@');
        programs.push_back(Program{fs::absolute(arg.substr(0, at)).string(),
                                   at == std::string::npos ? fs::current_path() : fs::absolute(arg.substr(at + 1))});
    }
    if (programs.empty()) {
        programs.push_back(
            Program{(fs::absolute(argv[0]).parent_path() / "bench-frame_timing").string(), fs::current_path()});
    }

    Course course;
    if (!loadCourse(".", defaultCourseId, course)) {
        std::fprintf(stderr, "run this from the data folder: the course %s cannot be read\n", defaultCourseId);
        return 1;
    }
    Image16 shipped;
    if (decodeImage16(shippedHeightmap, maxMapSide, shipped) != Decode16Result::Ok) {
        std::fprintf(stderr, "run this from the data folder: %s is missing\n", shippedHeightmap);
        return 1;
    }
    char pattern[] = "/tmp/kelvara-terrain-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    const fs::path scratch(pattern);

    std::printf("%d frames per run, %d x %d window\n", frames, windowSide, windowSide);
    std::printf("| heightmap | program | start-up (launch to Done!) | median frame | scene pass | peak resident memory "
                "|\n");
    std::printf("|---|---|---|---|---|---|\n");
    std::fflush(stdout);
    int status = 0;
    for (int side : mapSides) {
        const fs::path heightmap = scratch / ("heightmap" + std::to_string(side) + ".png");
        if (!writeScaledHeightmap(shipped, course.start(), side, heightmap)) return 1;
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const fs::path dir = scratch / std::to_string(p);
            if (!mirrorDataFolder(programs[p].data, dir)) return 1;
            fs::copy_file(heightmap, dir / shippedHeightmap, fs::copy_options::overwrite_existing);
            const Run run = runOnce(programs[p].path, dir, frames);
            if (run.frameMs < 0.0) status = 1;
            std::printf("| %d x %d | %s | %.2f s (%.2f s) | %.1f ms | %.1f ms | %.0f MB |\n", side, side,
                        fs::path(programs[p].path).parent_path().c_str(), run.startupSeconds, run.launchSeconds,
                        run.frameMs, run.sceneMs, run.peakMegabytes);
            std::fflush(stdout);
            fs::remove_all(dir);
        }
        fs::remove(heightmap);
    }
    fs::remove_all(scratch);
    return status;
}
