// What the fuzz targets share: a file of this process's own for the readers that take a path, and a way to stop the
// run when a reader breaks what its header promises, which the fuzzer then reports like any crash.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace fuzz {

// A folder per process, so parallel fuzzers and test runs never share a file; in /dev/shm when there is one, since
// the records writer syncs every file it writes and a disk would make each run wait for it. Removed at exit.
inline const std::filesystem::path& folder() {
    static const std::filesystem::path path = [] {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error)) base = std::filesystem::temp_directory_path();
        std::filesystem::path made = base / ("kelvara-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(made);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder(), ignored);
        });
        return made;
    }();
    return path;
}

inline std::string pathOf(const char* name) {
    return (folder() / name).string();
}

// Writes the bytes as folder()/name and gives its path.
inline std::string writeFile(const char* name, const uint8_t* data, std::size_t size) {
    const std::string path = pathOf(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    out.close();
    if (!out) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

inline void removeFile(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// A promise of the reader that this input broke: said, then an abort the fuzzer and the replay both report.
inline void expect(bool holds, const char* promise) {
    if (!holds) {
        std::fprintf(stderr, "fuzz: broken promise: %s\n", promise);
        std::abort();
    }
}

} // namespace fuzz
