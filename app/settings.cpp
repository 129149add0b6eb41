// Reads the display settings: the shipped defaults first, then the player's overrides key by key.
#include "app/settings.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include <INIReader.h>

Settings* settings = nullptr;

namespace {

constexpr const char* section = "window";

// A number that does not fit 32 bits counts as not parsing: the fallback stays.
int32_t readInt32(const INIReader& reader, const char* key, int32_t fallback) {
    const long value = reader.GetInteger(section, key, fallback);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
        return fallback;
    }
    return static_cast<int32_t>(value);
}

// Each key falls back to what the previous read produced, so a later file only replaces what it sets.
Settings readWindowSection(const INIReader& reader, const Settings& fallback) {
    Settings s;
    s.width = readInt32(reader, "width", fallback.width);
    s.height = readInt32(reader, "height", fallback.height);
    s.fullscreen = reader.GetBoolean(section, "fullscreen", fallback.fullscreen);
    s.antialiasing = reader.GetBoolean(section, "antialiasing", fallback.antialiasing);
    s.brightness = static_cast<float>(reader.GetReal(section, "brightness", fallback.brightness));
    s.contrast = static_cast<float>(reader.GetReal(section, "contrast", fallback.contrast));
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
    // A missing default file simply leaves the built-in values.
    Settings result = readWindowSection(INIReader(defaultPath), Settings{});

    // Beside the data first, then the player's own file, which an installed game's read-only data cannot hold.
    INIReader user(userPath);
    result = readWindowSection(user, result);
    const bool personalRead = !personalPath.empty() && INIReader(personalPath).ParseError() >= 0;
    if (personalRead) {
        result = readWindowSection(INIReader(personalPath), result);
    }
    if (user.ParseError() < 0 && !personalRead) {
        std::printf("Couldn't load user config (%s). Fallback to default config.\n", userPath);
    }
    return result;
}
