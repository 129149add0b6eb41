// Reads the settings: the shipped defaults first, then the player's overrides key by key.
#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include <INIReader.h>
#include <ini.h>

#include "core/checked_reader.h"

namespace {

constexpr const char* windowSection = "window";
constexpr const char* controlsSection = "controls";
constexpr const char* audioSection = "audio";
constexpr const char* raceSection = "race";
constexpr float minMouseSensitivity = 0.01f, maxMouseSensitivity = 10.0f;     // degrees per unit of motion
constexpr float minGamepadSensitivity = 1.0f, maxGamepadSensitivity = 1000.0f; // degrees per second
constexpr float minVolume = 0.0f, maxVolume = 1.0f;
// A window any desktop can make and a picture stays on: X refuses sides beyond 32767, and below 64 pixels the HUD
// has no room.
constexpr long minWindowSide = 64, maxWindowSide = 8192; // pixels
// Beyond these the picture is all white, all black or flat grey.
constexpr float minBrightness = -0.5f, maxBrightness = 0.5f;
constexpr float minContrast = 0.25f, maxContrast = 4.0f;
constexpr std::size_t maxSettingsFileBytes = 1 << 20; // far beyond any real settings file

// Counts the keys inih can read, so a file with none is told from one that sets nothing.
int countKey(void* user, const char*, const char*, const char*) {
    ++*static_cast<int*>(user);
    return 1;
}

// What a settings file holds: its text, or empty with one line said when it is no settings file at all (not text,
// or not one line inih can read), so that it is skipped whole rather than read in part.
bool readSettingsText(const char* path, std::string& text) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    // Read in pieces up to one past the limit: zero-filling a buffer of the largest size first cost more than
    // reading a real file of a few hundred bytes.
    text.clear();
    char piece[1 << 14];
    std::size_t got = 0;
    while (text.size() <= maxSettingsFileBytes && (got = std::fread(piece, 1, sizeof piece, file)) > 0) {
        text.append(piece, got);
    }
    const bool failed = std::ferror(file) != 0; // a folder, or a read error: no file to speak of
    std::fclose(file);
    if (failed) return false;
    const bool binary = std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && c != '\n' && c != '\r' && c != '\t';
    });
    int keys = 0;
    const bool unreadable = !binary && ini_parse_string(text.c_str(), countKey, &keys) != 0 && keys == 0;
    if (binary || unreadable || text.size() > maxSettingsFileBytes) {
        std::fprintf(stderr, "%s: not a settings file (%s); it is skipped as a whole\n", path,
                     binary ? "it is not text" : unreadable ? "no line of it can be read" : "it is too large");
        text.clear();
    }
    return true;
}

// Each key falls back to what the previous read produced, so a later file only replaces what it sets.
Settings readSettings(const INIReader& reader, const char* path, const Settings& fallback) {
    const CheckedReader checked{reader, path};
    Settings s;
    s.width = int32_t(checked.integer(windowSection, "width", fallback.width, minWindowSide, maxWindowSide));
    s.height = int32_t(checked.integer(windowSection, "height", fallback.height, minWindowSide, maxWindowSide));
    s.fullscreen = checked.boolean(windowSection, "fullscreen", fallback.fullscreen);
    s.antialiasing = checked.boolean(windowSection, "antialiasing", fallback.antialiasing);
    s.brightness = checked.number(windowSection, "brightness", fallback.brightness, minBrightness, maxBrightness);
    s.contrast = checked.number(windowSection, "contrast", fallback.contrast, minContrast, maxContrast);
    s.vsync = checked.boolean(windowSection, "vsync", fallback.vsync);
    s.mouseSensitivity = checked.number(controlsSection, "mouse_sensitivity", fallback.mouseSensitivity,
                                        minMouseSensitivity, maxMouseSensitivity);
    s.invertY = checked.boolean(controlsSection, "invert_y", fallback.invertY);
    s.gamepadSensitivity = checked.number(controlsSection, "gamepad_sensitivity", fallback.gamepadSensitivity,
                                          minGamepadSensitivity, maxGamepadSensitivity);
    s.audioEnabled = checked.boolean(audioSection, "enabled", fallback.audioEnabled);
    s.audioVolume = checked.number(audioSection, "volume", fallback.audioVolume, minVolume, maxVolume);
    s.ghost = checked.boolean(raceSection, "ghost", fallback.ghost);
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

namespace {

// Overrides what fallback holds with what the file at path sets; false when there is no such file.
bool readSettingsFile(const char* path, Settings& settings) {
    std::string text;
    if (!readSettingsText(path, text)) return false;
    const INIReader reader(text.data(), text.size());
    settings = readSettings(reader, path, settings);
    return true;
}

} // namespace

Settings loadSettings(const char* defaultPath, const char* userPath, const std::string& personalPath) {
    // Every file overrides what the earlier ones left, key by key; a missing default file leaves the built-in values.
    Settings result;
    readSettingsFile(defaultPath, result);
    // Beside the data first, then the player's own file, which an installed game's read-only data cannot hold.
    const bool userRead = readSettingsFile(userPath, result);
    const bool personalRead = !personalPath.empty() && readSettingsFile(personalPath.c_str(), result);
    if (!userRead && !personalRead) {
        std::printf("Couldn't load user config (%s). Fallback to default config.\n", userPath);
    }
    return result;
}
