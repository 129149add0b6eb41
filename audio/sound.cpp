// OpenAL Soft playback of the sound frame: start-up with its one-line failures, the per-frame update, the release.
#include "audio/sound.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <alsa/asoundlib.h>
#include <glm/geometric.hpp>

namespace {

// Mix: each sound's gain before the volume setting and distance, indexed by SoundId.
constexpr std::array<float, soundCount> mixGains = {
    0.55f, // rolling, at full rolling gain
    0.9f,  // landing, at full landing gain
    0.45f, // boost
    0.6f,  // boost empty
    0.7f,  // checkpoint
    0.6f,  // get ready
    0.7f,  // let's roll
    0.5f,  // tick
    0.75f, // won
    0.75f, // lost
    0.7f,  // left the course
};
constexpr float referenceDistance = 15.0f; // world units: at the camera's default distance, each sound at its mix gain
constexpr float rolloffFactor = 0.5f;      // gentle fall-off as the camera zooms out to 80
constexpr float dopplerFactor = 0.5f;      // half the real pitch shift: the camera chases the ball anyway
constexpr float maxTrackedSpeed = 300.0f;  // world units per real second; faster means a jump (reset), not motion
// Loop fades, seconds from silent to full and back: quick to start, a little slower to stop.
constexpr float loopFadeInSeconds = 0.06f;
constexpr float loopFadeOutSeconds = 0.15f;
constexpr const char* quietOpenAlLogLevel = "0"; // OpenAL Soft prints nothing of its own

ALuint sourceOf(const AudioOutput& audio, SoundId id) { return audio.sources[static_cast<std::size_t>(id)]; }
bool hasBuffer(const AudioOutput& audio, SoundId id) { return audio.buffers[static_cast<std::size_t>(id)] != 0; }

// ALSA reports probing a machine without a sound card in several lines; the one line of our own says it all.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void closeDevice(AudioOutput& audio) {
    if (audio.context) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(audio.context);
    }
    if (audio.device) alcCloseDevice(audio.device);
    audio = AudioOutput{};
}

// Every file into a buffer; the ones that fail stay 0 and are named in one line.
void loadBuffers(AudioOutput& audio) {
    int failed = 0;
    std::string firstError;
    SoundClip clip;
    for (std::size_t i = 0; i < soundCount; ++i) {
        std::string error;
        if (!decodeSound(soundFiles[i].path, clip, error)) {
            if (failed++ == 0) firstError = error;
            continue;
        }
        alGetError();
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO16, clip.samples.data(),
                     static_cast<ALsizei>(clip.samples.size() * sizeof(int16_t)), clip.sampleRate);
        if (alGetError() != AL_NO_ERROR) {
            if (buffer != 0) alDeleteBuffers(1, &buffer);
            if (failed++ == 0) firstError = std::string(soundFiles[i].path) + ": OpenAL refused its samples";
            continue;
        }
        audio.buffers[i] = buffer;
    }
    if (failed > 0) {
        std::fprintf(stderr, "Sound: %d of %zu sound files could not be read and stay silent (%s).\n", failed,
                     soundCount, firstError.c_str());
    }
}

bool makeSources(AudioOutput& audio) {
    alGetError();
    alGenSources(static_cast<ALsizei>(soundCount), audio.sources.data());
    if (alGetError() != AL_NO_ERROR) {
        audio.sources.fill(0);
        return false;
    }
    for (std::size_t i = 0; i < soundCount; ++i) {
        const ALuint source = audio.sources[i];
        if (audio.buffers[i] != 0) alSourcei(source, AL_BUFFER, static_cast<ALint>(audio.buffers[i]));
        alSourcei(source, AL_LOOPING, soundFiles[i].loops ? AL_TRUE : AL_FALSE);
        alSourcef(source, AL_REFERENCE_DISTANCE, referenceDistance);
        alSourcef(source, AL_ROLLOFF_FACTOR, rolloffFactor);
        alSourcef(source, AL_GAIN, soundFiles[i].loops ? 0.0f : mixGains[i]);
    }
    return true;
}

void setVector(ALuint source, ALenum what, const glm::vec3& v) { alSource3f(source, what, v.x, v.y, v.z); }

// A loop plays while its level is above zero and pauses, keeping its place, once faded out.
void driveLoop(const AudioOutput& audio, SoundId id, float& level, float target, float deltaTime) {
    if (!hasBuffer(audio, id)) return;
    const float rate = target > level ? 1.0f / loopFadeInSeconds : 1.0f / loopFadeOutSeconds;
    level = fadeToward(level, target, rate * deltaTime);
    const ALuint source = sourceOf(audio, id);
    alSourcef(source, AL_GAIN, level * mixGains[static_cast<std::size_t>(id)]);
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (level > 0.0f && state != AL_PLAYING) {
        alSourcePlay(source);
    } else if (level <= 0.0f && state == AL_PLAYING) {
        alSourcePause(source);
    }
}

// Starts a one-shot from its beginning, cutting off a previous play of the same sound.
void playOnce(const AudioOutput& audio, SoundId id, bool due) {
    if (due && hasBuffer(audio, id)) alSourcePlay(sourceOf(audio, id));
}

} // namespace

bool setupSound(AudioOutput& audio, const Settings& s) {
    releaseSound(audio);
    if (!s.audioEnabled) return false;
    setenv("ALSOFT_LOGLEVEL", quietOpenAlLogLevel, 0); // a player who set it on purpose keeps theirs
    snd_lib_error_set_handler(quietAlsa);

    audio.device = alcOpenDevice(nullptr);
    if (!audio.device) {
        std::fprintf(stderr, "Sound is off: no audio device could be opened.\n");
        return false;
    }
    audio.context = alcCreateContext(audio.device, nullptr);
    if (!audio.context || alcMakeContextCurrent(audio.context) != ALC_TRUE) {
        std::fprintf(stderr, "Sound is off: OpenAL could not start on the audio device (%s).\n",
                     alcGetString(audio.device, alcGetError(audio.device)));
        closeDevice(audio);
        return false;
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alDopplerFactor(dopplerFactor);
    alListenerf(AL_GAIN, s.audioVolume);
    loadBuffers(audio);
    if (!makeSources(audio)) {
        std::fprintf(stderr, "Sound is off: OpenAL could not make its %zu sources.\n", soundCount);
        releaseSound(audio);
        return false;
    }
    return true;
}

void updateSound(AudioOutput& audio, const SoundFrame& frame, const SoundListener& listener, float deltaTime) {
    if (!audio.context) return;

    // Velocities for the Doppler shift from how far eye and ball moved, in the same units as the positions.
    glm::vec3 eyeVelocity(0.0f), ballVelocity(0.0f);
    if (audio.tracked && deltaTime > 0.0f) {
        eyeVelocity = (listener.eye - audio.lastEye) / deltaTime;
        ballVelocity = (frame.ballPosition - audio.lastBall) / deltaTime;
        if (!(glm::length(eyeVelocity) < maxTrackedSpeed)) eyeVelocity = glm::vec3(0.0f);
        if (!(glm::length(ballVelocity) < maxTrackedSpeed)) ballVelocity = glm::vec3(0.0f);
    }
    audio.lastEye = listener.eye;
    audio.lastBall = frame.ballPosition;
    audio.tracked = true;

    // The mixer takes the whole frame's changes at once, never a listener moved without its sources.
    alcSuspendContext(audio.context);
    alListener3f(AL_POSITION, listener.eye.x, listener.eye.y, listener.eye.z);
    alListener3f(AL_VELOCITY, eyeVelocity.x, eyeVelocity.y, eyeVelocity.z);
    const ALfloat orientation[6] = {listener.front.x, listener.front.y, listener.front.z,
                                    listener.up.x,    listener.up.y,    listener.up.z};
    alListenerfv(AL_ORIENTATION, orientation);
    for (const ALuint source : audio.sources) {
        setVector(source, AL_POSITION, frame.ballPosition);
        setVector(source, AL_VELOCITY, ballVelocity);
    }

    const float speed = glm::length(frame.ballVelocity);
    const float step = std::max(deltaTime, 0.0f);
    driveLoop(audio, SoundId::Rolling, audio.rollingLevel, frame.rolling ? rollingGain(speed) : 0.0f, step);
    alSourcef(sourceOf(audio, SoundId::Rolling), AL_PITCH, rollingPitch(speed));
    driveLoop(audio, SoundId::Boost, audio.boostLevel, frame.boosting ? 1.0f : 0.0f, step);

    if (frame.landingSpeed > 0.0f) {
        alSourcef(sourceOf(audio, SoundId::Landing), AL_GAIN,
                  landingGain(frame.landingSpeed) * mixGains[static_cast<std::size_t>(SoundId::Landing)]);
    }
    playOnce(audio, SoundId::Landing, landingGain(frame.landingSpeed) > 0.0f);
    playOnce(audio, SoundId::BoostEmpty, frame.boostEmpty);
    playOnce(audio, SoundId::Checkpoint, frame.checkpoint);
    playOnce(audio, SoundId::GetReady, frame.getReady);
    playOnce(audio, SoundId::LetsRoll, frame.letsRoll);
    playOnce(audio, SoundId::Tick, frame.tick);
    playOnce(audio, SoundId::Won, frame.won);
    playOnce(audio, SoundId::Lost, frame.lost);
    playOnce(audio, SoundId::LeftCourse, frame.leftCourse);
    alcProcessContext(audio.context);
}

void releaseSound(AudioOutput& audio) {
    if (audio.context) {
        for (const ALuint source : audio.sources) {
            if (source != 0) alSourceStop(source);
        }
        if (audio.sources[0] != 0) alDeleteSources(static_cast<ALsizei>(soundCount), audio.sources.data());
        for (const ALuint buffer : audio.buffers) {
            if (buffer != 0) alDeleteBuffers(1, &buffer);
        }
    }
    closeDevice(audio);
}
