// Image decoding with stb_image into plain records; nothing here touches the GPU.
#include "core/image.h"

#include <cstdio>
#include <memory>

#include <stb_image.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

Image decodeImage(const std::string& path, int channels) {
    Image image;
    // A header of a few bytes can declare a picture of gigabytes, which stb would allocate and fill before failing.
    int declaredWidth = 0, declaredHeight = 0, declaredChannels = 0;
    if (stbi_info(path.c_str(), &declaredWidth, &declaredHeight, &declaredChannels) &&
        (declaredWidth > maxImageSide || declaredHeight > maxImageSide)) {
        std::printf("Picture is larger than %d x %d pixels: %s\n", maxImageSide, maxImageSide, path.c_str());
        return Image{};
    }
    unsigned char* pixels = stbi_load(path.c_str(), &image.width, &image.height, &image.channelCount, channels);
    // A header declaring no rows or columns decodes to nothing; that is a failure too, not a picture without pixels.
    if (pixels == nullptr || image.width <= 0 || image.height <= 0) {
        stbi_image_free(pixels);
        std::printf("Failed to find: %s\n", path.c_str());
        return Image{};
    }
    image.channels = channels != 0 ? channels : image.channelCount;
    const std::size_t bytes = std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.channels);
    image.pixels.assign(pixels, pixels + bytes);
    stbi_image_free(pixels);
    return image;
}

Decode16Result decodeImage16(const std::string& path, int maxSide, Image16& out) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return Decode16Result::Unreadable;
    int width = 0, height = 0, channels = 0;
    if (stbi_info_from_file(file.get(), &width, &height, &channels) && (width > maxSide || height > maxSide)) {
        return Decode16Result::TooLarge;
    }
    stbi_us* pixels = stbi_load_from_file_16(file.get(), &width, &height, &channels, 0);
    if (!pixels || width <= 0 || height <= 0 || channels <= 0) {
        stbi_image_free(pixels);
        return Decode16Result::Unreadable;
    }
    out.width = width;
    out.height = height;
    out.channels = channels;
    const std::size_t count = std::size_t(width) * std::size_t(height) * std::size_t(channels);
    out.pixels.assign(pixels, pixels + count);
    stbi_image_free(pixels);
    return Decode16Result::Ok;
}
