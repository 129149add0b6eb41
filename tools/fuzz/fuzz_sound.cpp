// Sounds are files a player can replace: the bytes go through decodeSound, as the game decodes Sounds/*.flac.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/sound_clip.h"
#include "tools/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Decoding time follows the length the file declares, up to 30 s of sound; the shipped sounds are at most 72 KiB
    // and past 256 KiB an input only makes each run slower.
    if (size > (256u << 10)) return 0;
    // decodeSound takes a path, so the bytes go to a file of this process's own first.
    const std::string path = fuzz::writeFile("sound.flac", data, size);
    SoundClip clip;
    std::string error;
    if (!decodeSound(path.c_str(), clip, error)) {
        fuzz::expect(clip.samples.empty() && clip.sampleRate == 0, "a sound that failed is empty");
        fuzz::expect(error.rfind(path, 0) == 0 && error.size() > path.size() + 2, "the failure names the file and why");
        return 0;
    }
    fuzz::expect(clip.sampleRate > 0 && !clip.samples.empty(), "a decoded sound has samples");
    fuzz::expect(double(clip.samples.size()) <= double(maxSoundSeconds) * clip.sampleRate,
                 "no longer than a sound effect");
    return 0;
}
