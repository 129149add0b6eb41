// Sound playback through OpenAL Soft: the device and context, a buffer per sound file and a source per sound,
// placed at the ball and heard from the camera eye.
#pragma once

#include <array>

#include <AL/al.h>
#include <AL/alc.h>
#include <glm/vec3.hpp>

#include "core/settings.h"
#include "core/sound_clip.h"
#include "core/sound_events.h"

// Where the player hears from: the camera.
struct SoundListener {
    glm::vec3 eye{0.0f};                 // world units
    glm::vec3 front{0.0f, 0.0f, -1.0f};  // the way the camera looks
    glm::vec3 up{0.0f, 1.0f, 0.0f};
};

// Owns the device, the context, the buffers and the sources: filled by setupSound, emptied by releaseSound.
struct AudioOutput {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;            // null: sound is off and every call here does nothing
    std::array<ALuint, soundCount> buffers{}; // indexed by SoundId; 0 where the file could not be read
    std::array<ALuint, soundCount> sources{}; // one per sound, indexed by SoundId
    float rollingLevel = 0.0f;                // the loops' faded levels, 0..1
    float boostLevel = 0.0f;
    glm::vec3 lastEye{0.0f};                  // the previous frame's eye and ball, for their velocities
    glm::vec3 lastBall{0.0f};
    bool tracked = false;                     // lastEye and lastBall hold a previous frame
};

// Start-up: opens the default device (unless settings turn sound off), loads every sound file into a buffer and
// makes the sources. On no device, OpenAL failing or unreadable files it prints one line on standard error naming
// the cause and carries on with those sounds silent; the libraries' own start-up chatter is kept off the console.
// True when a device is playing.
bool setupSound(AudioOutput& audio, const Settings& s);
// Once per frame after the update: places the sources at the ball and the listener at the eye, fades the loops and
// starts the one-shots the frame holds. deltaTime is the frame's real seconds. No allocation, no file access.
void updateSound(AudioOutput& audio, const SoundFrame& frame, const SoundListener& listener, float deltaTime);
// Shutdown: stops and deletes every source and buffer, then the context, then the device. Safe to call twice.
void releaseSound(AudioOutput& audio);
