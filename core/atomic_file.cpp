// Atomic replacement of a file: a private temporary file, fsync, rename, fsync of the folder.
#include "core/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* temporarySuffix = ".tmp.";

} // namespace

void removeStaleTemporaries(const std::string& path) {
    const std::filesystem::path file(path);
    const std::string prefix = file.filename().string() + temporarySuffix;
    std::error_code code;
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    for (const auto& entry : std::filesystem::directory_iterator(folder, code)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) {
            std::filesystem::remove(entry.path(), code);
        }
    }
}

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string& reason) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code code;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, code);
        if (code) {
            reason = code.message();
            return false;
        }
    }
    std::string temporary = path + temporarySuffix + "XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private to its owner; the player's files are as readable as any other of theirs.
    fchmod(fd, 0644);
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        close(fd);
        std::remove(temporary.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0 &&
              fsync(fileno(file)) == 0;
    int error = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        reason = std::strerror(error);
        return false;
    }
    // The rename itself lasts only once the folder is synced; a folder that cannot be synced still holds the file.
    const int folderFd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}
