// Settings files are the files players edit by hand: the bytes go through loadSettings as the shipped file and as
// the user file, the way the game reads Config/default.ini and Config/user.ini at start-up.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "core/settings.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

bool within(float value, float low, float high) {
    return value >= low && value <= high; // false for NaN too
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // loadSettings reads at most 1 MiB and skips a larger file whole; past 64 KiB an input reaches nothing new and
    // only makes each run slower.
    if (size > (64u << 10)) return 0;
    // loadSettings takes paths, so the bytes go to a file of this process's own first.
    const std::string path = fuzz::writeFile("user.ini", data, size);
    const Settings s = loadSettings(path.c_str(), path.c_str(), "");
    // Whatever the file holds, every value is one the window, the picture, the controls and the sound can take.
    fuzz::expect(s.width >= 64 && s.width <= 8192 && s.height >= 64 && s.height <= 8192, "a window side X can make");
    fuzz::expect(within(s.brightness, -0.5f, 0.5f) && within(s.contrast, 0.25f, 4.0f), "a picture that stays visible");
    fuzz::expect(within(s.mouseSensitivity, 0.01f, 10.0f) && within(s.gamepadSensitivity, 1.0f, 1000.0f),
                 "a camera that turns");
    fuzz::expect(within(s.audioVolume, 0.0f, 1.0f), "a volume from 0 to 1");
    return 0;
}
