// Files for tests: a scratch folder, a working-directory guard (the game opens its data by relative paths), the one
// PNG writer, and shipped pictures decoded for inspection.
#pragma once

#include <png.h>
#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// A fresh folder under the system temp folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir() : root(fs::temp_directory_path() / ("kelvara-test-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(root);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& relative) const { return (root / relative).string(); }
    // Writes text exactly as given; creates parent folders.
    std::string write(const std::string& relative, const std::string& text) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << text;
        return path(relative);
    }

    fs::path root;
};

class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path& dir) : previous(fs::current_path()) { fs::current_path(dir); }
    ~WorkingDirectory() { fs::current_path(previous); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    fs::path previous;
};

// Writes a PNG of 8 or 16 bits with 1 to 4 channels; values hold every channel of every pixel, row by row from the
// top. Creates parent folders.
inline bool writePng(const std::string& path, int width, int height, int channels, int bits,
                     const std::vector<uint16_t>& values) {
    static const int colourTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                      PNG_COLOR_TYPE_RGB_ALPHA};
    const std::size_t rowBytes = std::size_t(width) * channels * (bits / 8);
    std::vector<png_byte> bytes;
    for (uint16_t v : values) { // 16-bit samples are stored big-endian
        if (bits == 16) bytes.push_back(png_byte(v >> 8));
        bytes.push_back(png_byte(v & 0xff));
    }
    if (bytes.size() != rowBytes * height) return false;
    fs::create_directories(fs::path(path).parent_path());
    std::FILE* volatile file = std::fopen(path.c_str(), "wb"); // volatile: kept across the error jump
    png_structp png = file ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr) : nullptr;
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (file) std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bits, colourTypes[channels - 1],
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, &bytes[std::size_t(y) * rowBytes]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// A picture decoded to 8-bit channels (as asked, or the file's own with 0); fileChannels is what the file holds.
struct Picture {
    int width = 0, height = 0, channels = 0, fileChannels = 0;
    std::vector<unsigned char> pixels;

    bool loaded() const { return width > 0; }
    const unsigned char* at(int x, int y) const { return &pixels[(std::size_t(y) * width + x) * channels]; }
};

inline Picture loadPicture(const std::string& path, int channels = 0) {
    Picture p;
    unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &p.fileChannels, channels);
    if (!data) return Picture{};
    p.channels = channels ? channels : p.fileChannels;
    p.pixels.assign(data, data + std::size_t(p.width) * p.height * p.channels);
    stbi_image_free(data);
    return p;
}

// A file of the shipped data folder.
inline std::string dataFile(const std::string& relative) { return std::string(KELVARA_DATA_DIR) + "/" + relative; }
