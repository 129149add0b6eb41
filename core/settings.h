// The player's settings read once at start-up from Config/default.ini and the user files: the window, the picture,
// the controls and the sound.
#pragma once

#include <cstdint>
#include <string>

struct Settings {
    int32_t width = 1024;
    int32_t height = 1024;
    bool fullscreen = false;
    bool antialiasing = false;
    float brightness = 0.0f;
    float contrast = 1.0f;
    bool vsync = true;                 // one buffer swap per display refresh
    float mouseSensitivity = 0.5f;     // camera degrees per unit of cursor motion
    bool invertY = false;              // moving the mouse or stick up looks down
    float gamepadSensitivity = 180.0f; // camera degrees per second with the right stick pushed fully
    bool audioEnabled = true;          // false: no audio device is opened at all
    float audioVolume = 0.8f;          // 0..1, scales every sound
    bool ghost = true;                 // the course's ghost runs beside the ball (G shows or hides it)
};

constexpr const char* defaultSettingsPath = "Config/default.ini";
constexpr const char* userSettingsPath = "Config/user.ini";

// The player's own settings file: $XDG_CONFIG_HOME/kelvara-golf/user.ini, else ~/.config/kelvara-golf/user.ini
// (a variable counts only when it holds an absolute path); empty when neither is set.
std::string personalSettingsPath();

// Defaults from defaultPath, then key-by-key overrides from userPath (beside the data), then from personalPath. The
// fallback message names userPath and is printed only when neither user file could be read. Never fails. A value of
// vsync or of a [controls], [audio] or [race] key that is junk or out of range keeps the previous value, with one line on
// stderr naming the file and the key.
Settings loadSettings(const char* defaultPath = defaultSettingsPath, const char* userPath = userSettingsPath,
                      const std::string& personalPath = personalSettingsPath());
