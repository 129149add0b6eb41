// Textures, sky faces and interface pictures are files a player can replace: the bytes go through decodeImage with
// the channel counts the game asks for (the file's own for textures, RGB for sky faces and some maps).
#include <cstddef>
#include <cstdint>

#include "core/image.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The largest shipped picture is 630 KiB; past 1 MiB an input only makes each run slower.
    if (size > (1u << 20)) return 0;
    // decodeImage takes a path, so the bytes go to a file of this process's own first.
    const std::string path = fuzz::writeFile("picture.png", data, size);
    for (const int channels : {0, 3}) {
        const Image image = decodeImage(path, channels);
        if (image.empty()) {
            fuzz::expect(image.width == 0 && image.height == 0, "a picture that failed is empty");
            continue;
        }
        fuzz::expect(image.width > 0 && image.height > 0, "a decoded picture has pixels");
        fuzz::expect(image.width <= maxImageSide && image.height <= maxImageSide, "no larger than a picture can be");
        fuzz::expect(image.channelCount >= 1 && image.channelCount <= 4, "the file's own channels");
        fuzz::expect(image.channels == (channels != 0 ? channels : image.channelCount), "the channels asked for");
        fuzz::expect(image.pixels.size() ==
                         std::size_t(image.width) * std::size_t(image.height) * std::size_t(image.channels),
                     "every pixel of every row");
    }
    return 0;
}
