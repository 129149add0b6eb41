// Reading shader source files line by line, with the game's own failure message.
#include "core/shader_file.h"

#include <fstream>

namespace {

constexpr const char* missingShaderMessage = "Failed to load shader file. File doesn't exist.";

} // namespace

std::string readShaderFile(const char* path) {
    std::ifstream file(path);
    if (!file.is_open()) {
        throw new FileNotFoundException(missingShaderMessage, path);
    }
    std::string result;
    std::string line;
    // The last read hits end of file with an empty line, so a file that ends in a newline gains one empty line.
    while (!file.eof()) {
        std::getline(file, line);
        // A read error (a directory, a vanished file) sets neither eof nor content: without this the loop never ends.
        if (file.bad()) {
            throw new FileNotFoundException(missingShaderMessage, path);
        }
        result += line;
        result += '\n';
    }
    return result;
}
