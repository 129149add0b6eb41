// Reads the display settings: the shipped defaults first, then the player's overrides key by key.
#include "app/settings.h"

#include <cstdio>
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

Settings loadSettings(const char* defaultPath, const char* userPath) {
    // A missing default file simply leaves the built-in values.
    Settings result = readWindowSection(INIReader(defaultPath), Settings{});

    INIReader user(userPath);
    if (user.ParseError() < 0) {
        std::printf("Couldn't load user config (%s). Fallback to default config.\n", userPath);
    }
    return readWindowSection(user, result);
}
