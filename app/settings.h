// The player's settings read once at start-up from Config/default.ini and the player's Config/user.ini: the
// window, the picture and the controls.
#pragma once

#include <cstdint>

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
};

constexpr const char* defaultSettingsPath = "Config/default.ini";
constexpr const char* userSettingsPath = "Config/user.ini";

// Defaults from defaultPath, then key-by-key overrides from userPath. Never fails. A value of vsync or of a
// [controls] key that is junk or out of range keeps the previous value, with one line on stderr naming the key.
Settings loadSettings(const char* defaultPath = defaultSettingsPath, const char* userPath = userSettingsPath);

// Made by start-up step 1 and kept for the whole run.
extern Settings* settings;
