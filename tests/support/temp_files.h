// Test helpers shared by the unit and GL tests: a scratch folder, small files in it, and a working-directory guard.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace testfiles {

// A fresh folder under the system temp folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        std::random_device seed;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = base / ("kelvara-test-" + std::to_string(seed()));
            if (std::filesystem::create_directory(candidate)) {
                root = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary test folder");
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::filesystem::path path(const std::string& relative) const { return root / relative; }

    // Writes text exactly as given (binary mode, no newline added); creates parent folders.
    std::string write(const std::string& relative, const std::string& content) const {
        const auto file = root / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << content;
        return file.string();
    }

    std::filesystem::path root;
};

// Changes the working directory for one scope, since the game opens its data by relative paths.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous;
};

} // namespace testfiles
