// Reads the settings: the shipped defaults first, then the player's overrides key by key.
#include "core/settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include <INIReader.h>

#include "core/checked_reader.h"

namespace {

constexpr const char* windowSection = "window";
constexpr const char* controlsSection = "controls";
constexpr const char* audioSection = "audio";
constexpr float minMouseSensitivity = 0.01f, maxMouseSensitivity = 10.0f;     // degrees per unit of motion
constexpr float minGamepadSensitivity = 1.0f, maxGamepadSensitivity = 1000.0f; // degrees per second
constexpr float minVolume = 0.0f, maxVolume = 1.0f;

// A number that does not fit 32 bits counts as not parsing: the fallback stays.
int32_t readInt32(const INIReader& reader, const char* key, int32_t fallback) {
    const long value = reader.GetInteger(windowSection, key, fallback);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
        return fallback;
    }
    return static_cast<int32_t>(value);
}

// Each key falls back to what the previous read produced, so a later file only replaces what it sets.
Settings readSettings(const INIReader& reader, const char* path, const Settings& fallback) {
    const CheckedReader checked{reader, path};
    Settings s;
    s.width = readInt32(reader, "width", fallback.width);
    s.height = readInt32(reader, "height", fallback.height);
    s.fullscreen = reader.GetBoolean(windowSection, "fullscreen", fallback.fullscreen);
    s.antialiasing = reader.GetBoolean(windowSection, "antialiasing", fallback.antialiasing);
    s.brightness = static_cast<float>(reader.GetReal(windowSection, "brightness", fallback.brightness));
    s.contrast = static_cast<float>(reader.GetReal(windowSection, "contrast", fallback.contrast));
    s.vsync = checked.boolean(windowSection, "vsync", fallback.vsync);
    s.mouseSensitivity = checked.number(controlsSection, "mouse_sensitivity", fallback.mouseSensitivity,
                                        minMouseSensitivity, maxMouseSensitivity);
    s.invertY = checked.boolean(controlsSection, "invert_y", fallback.invertY);
    s.gamepadSensitivity = checked.number(controlsSection, "gamepad_sensitivity", fallback.gamepadSensitivity,
                                          minGamepadSensitivity, maxGamepadSensitivity);
    s.audioEnabled = checked.boolean(audioSection, "enabled", fallback.audioEnabled);
    s.audioVolume = checked.number(audioSection, "volume", fallback.audioVolume, minVolume, maxVolume);
    return s;
}

} // namespace

std::string personalSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/kelvara-golf/user.ini";
    }
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config/kelvara-golf/user.ini";
    }
    return {};
}

Settings loadSettings(const char* defaultPath, const char* userPath, const std::string& personalPath) {
    // Every file overrides what the earlier ones left, key by key; a missing default file leaves the built-in values.
    Settings result = readSettings(INIReader(defaultPath), defaultPath, Settings{});

    // Beside the data first, then the player's own file, which an installed game's read-only data cannot hold.
    const INIReader user(userPath);
    result = readSettings(user, userPath, result);
    bool personalRead = false;
    if (!personalPath.empty()) {
        const INIReader personal(personalPath);
        personalRead = personal.ParseError() >= 0;
        if (personalRead) {
            result = readSettings(personal, personalPath.c_str(), result);
        }
    }
    if (user.ParseError() < 0 && !personalRead) {
        std::printf("Couldn't load user config (%s). Fallback to default config.\n", userPath);
    }
    return result;
}
