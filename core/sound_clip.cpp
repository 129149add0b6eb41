// Decodes a sound file with libsndfile into memory, refusing what the game cannot place in 3D or should not hold.
#include "core/sound_clip.h"

#include <sndfile.h>

bool decodeSound(const char* path, SoundClip& clip, std::string& error) {
    clip = SoundClip{};
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr) {
        std::string reason = sf_strerror(nullptr);
        while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
        error = std::string(path) + ": " + reason;
        return false;
    }
    const char* problem = nullptr;
    if (info.channels != 1) {
        problem = "not mono, so it cannot be placed in 3D";
    } else if (info.frames <= 0 || info.samplerate <= 0) {
        problem = "holds no sound";
    } else if (static_cast<double>(info.frames) > static_cast<double>(maxSoundSeconds) * info.samplerate) {
        problem = "is too long for a sound effect";
    } else {
        clip.samples.resize(static_cast<std::size_t>(info.frames));
        const sf_count_t read = sf_readf_short(file, clip.samples.data(), info.frames);
        if (read != info.frames) {
            problem = "is cut short or damaged";
        }
    }
    sf_close(file);
    if (problem != nullptr) {
        clip = SoundClip{};
        error = std::string(path) + ": " + problem;
        return false;
    }
    clip.sampleRate = info.samplerate;
    return true;
}
