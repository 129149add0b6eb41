// Encoding images: PNG through libpng (to memory, then to a file), JPEG through stb_image_write.
#include "core/image_io.h"

#include <cerrno>
#include <csetjmp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <png.h>
#include <stb_image_write.h>

namespace {

// Fixed encoder settings: with no time chunk and no adaptive state carried between runs, the same pixels always
// give the same bytes, so regenerating leaves committed files untouched.
constexpr int pngCompressionLevel = 9;

struct PngErrorState {
    std::jmp_buf jump;
    char message[256];
};

void onPngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    std::longjmp(state->jump, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void appendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Kept free of objects with destructors because libpng leaves it by longjmp on failure.
bool encodePng(std::vector<uint8_t>* out, int width, int height, int bitDepth, int colourType, png_bytepp rows,
               PngErrorState& state) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, onPngError, onPngWarning);
    if (png == nullptr) {
        std::snprintf(state.message, sizeof state.message, "libpng could not start");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(state.message, sizeof state.message, "libpng could not start");
        return false;
    }
    if (setjmp(state.jump) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, appendPngBytes, flushNothing);
    png_set_compression_level(png, pngCompressionLevel);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitDepth,
                 colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool encodePngBytes(const std::string& name, int width, int height, int bitDepth, int colourType,
                    std::vector<png_bytep>& rows, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    PngErrorState state{};
    if (!encodePng(&out, width, height, bitDepth, colourType, rows.data(), state)) {
        error = "cannot write " + name + ": " + state.message;
        out.clear();
        return false;
    }
    return true;
}

int pngColourType(int channels) {
    switch (channels) {
    case 1: return PNG_COLOR_TYPE_GRAY;
    case 2: return PNG_COLOR_TYPE_GRAY_ALPHA;
    case 3: return PNG_COLOR_TYPE_RGB;
    default: return PNG_COLOR_TYPE_RGBA;
    }
}

bool checkImage8(const std::string& path, const Image8& image, std::string& error) {
    if (image.width <= 0 || image.height <= 0) {
        error = "cannot write " + path + ": empty image";
        return false;
    }
    if (image.channels < 1 || image.channels > 4) {
        error = "cannot write " + path + ": " + std::to_string(image.channels) + " channels (1 to 4 allowed)";
        return false;
    }
    std::size_t expected = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) *
                           static_cast<std::size_t>(image.channels);
    if (image.pixels.size() != expected) {
        error = "cannot write " + path + ": " + std::to_string(image.pixels.size()) + " bytes of pixels, expected " +
                std::to_string(expected);
        return false;
    }
    return true;
}

} // namespace

bool encodePng8(const std::string& name, const Image8& image, std::vector<uint8_t>& out, std::string& error) {
    if (!checkImage8(name, image, error)) {
        return false;
    }
    std::size_t rowBytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.channels);
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = const_cast<png_bytep>(image.pixels.data() + y * rowBytes);
    }
    return encodePngBytes(name, image.width, image.height, 8, pngColourType(image.channels), rows, out, error);
}

bool writePng8(const std::string& path, const Image8& image, std::string& error) {
    std::vector<uint8_t> bytes;
    return encodePng8(path, image, bytes, error) && writeBytes(path, bytes, error);
}

bool encodePng16Grey(const std::string& path, int width, int height, const std::vector<uint16_t>& samples,
                     std::vector<uint8_t>& out, std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "cannot write " + path + ": empty image";
        return false;
    }
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (samples.size() != count) {
        error = "cannot write " + path + ": " + std::to_string(samples.size()) + " samples, expected " +
                std::to_string(count);
        return false;
    }
    // PNG stores 16-bit samples most significant byte first, whatever the machine's order.
    std::vector<uint8_t> bytes(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(samples[i] >> 8);
        bytes[2 * i + 1] = static_cast<uint8_t>(samples[i] & 0xFF);
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = bytes.data() + y * static_cast<std::size_t>(width) * 2;
    }
    return encodePngBytes(path, width, height, 16, PNG_COLOR_TYPE_GRAY, rows, out, error);
}

bool writePng16Grey(const std::string& path, int width, int height, const std::vector<uint16_t>& samples,
                    std::string& error) {
    std::vector<uint8_t> bytes;
    return encodePng16Grey(path, width, height, samples, bytes, error) && writeBytes(path, bytes, error);
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot open " + path + " for writing: " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool writeJpeg(const std::string& path, const Image8& image, int quality, std::string& error) {
    if (!checkImage8(path, image, error)) {
        return false;
    }
    if (image.channels == 2) {
        error = "cannot write " + path + ": JPEG takes grey, RGB or RGBA pixels";
        return false;
    }
    if (quality < 1 || quality > 100) {
        error = "cannot write " + path + ": JPEG quality " + std::to_string(quality) + " outside 1..100";
        return false;
    }
    if (stbi_write_jpg(path.c_str(), image.width, image.height, image.channels, image.pixels.data(), quality) == 0) {
        error = "cannot write " + path;
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool ensureDirectory(const std::string& dir, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(dir, code);
    if (code || !std::filesystem::is_directory(dir, code)) {
        error = "cannot create folder " + dir + (code ? ": " + code.message() : std::string());
        return false;
    }
    return true;
}

uint8_t unitToByte(float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

Image8 makeRgbImage(int width, int height) {
    Image8 image;
    image.width = width;
    image.height = height;
    image.channels = 3;
    image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
    return image;
}

void setRgb(Image8& image, int x, int y, const glm::vec3& colour) {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) * 3;
    image.pixels[i] = unitToByte(colour.r);
    image.pixels[i + 1] = unitToByte(colour.g);
    image.pixels[i + 2] = unitToByte(colour.b);
}
