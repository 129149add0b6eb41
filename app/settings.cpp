// Reads the display and audio settings: the shipped defaults first, then the player's overrides key by key.
#include "app/settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include <INIReader.h>

Settings* settings = nullptr;

namespace {

constexpr const char* section = "window";
constexpr const char* audioSection = "audio";
constexpr float minVolume = 0.0f, maxVolume = 1.0f;

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
    Settings s = fallback;
    s.width = readInt32(reader, "width", fallback.width);
    s.height = readInt32(reader, "height", fallback.height);
    s.fullscreen = reader.GetBoolean(section, "fullscreen", fallback.fullscreen);
    s.antialiasing = reader.GetBoolean(section, "antialiasing", fallback.antialiasing);
    s.brightness = static_cast<float>(reader.GetReal(section, "brightness", fallback.brightness));
    s.contrast = static_cast<float>(reader.GetReal(section, "contrast", fallback.contrast));
    return s;
}

void reportIgnored(const char* path, const char* key, const std::string& value, const char* expected) {
    std::fprintf(stderr, "%s: [audio] %s = '%s' is not %s; the key is ignored.\n", path, key, value.c_str(), expected);
}

// Unlike the window keys, audio values are checked whole, and a bad one is reported rather than half-read.
void readAudioSection(const INIReader& reader, const char* path, Settings& s) {
    if (reader.HasValue(audioSection, "enabled")) {
        // GetBoolean hands back its fallback for a value it does not know: two different fallbacks expose that.
        const bool asTrue = reader.GetBoolean(audioSection, "enabled", true);
        if (asTrue == reader.GetBoolean(audioSection, "enabled", false)) {
            s.audioEnabled = asTrue;
        } else {
            reportIgnored(path, "enabled", reader.Get(audioSection, "enabled", ""), "true or false");
        }
    }
    if (reader.HasValue(audioSection, "volume")) {
        const std::string text = reader.Get(audioSection, "volume", "");
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (!text.empty() && *end == '\0' && std::isfinite(value) && value >= minVolume && value <= maxVolume) {
            s.audioVolume = static_cast<float>(value);
        } else {
            reportIgnored(path, "volume", text, "a number from 0 to 1");
        }
    }
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
    auto apply = [](const INIReader& reader, const char* path, Settings& result) {
        result = readWindowSection(reader, result);
        readAudioSection(reader, path, result);
    };
    Settings result;
    apply(INIReader(defaultPath), defaultPath, result);

    // Beside the data first, then the player's own file, which an installed game's read-only data cannot hold.
    const INIReader user(userPath);
    apply(user, userPath, result);
    bool personalRead = false;
    if (!personalPath.empty()) {
        const INIReader personal(personalPath);
        personalRead = personal.ParseError() >= 0;
        if (personalRead) {
            apply(personal, personalPath.c_str(), result);
        }
    }
    if (user.ParseError() < 0 && !personalRead) {
        std::printf("Couldn't load user config (%s). Fallback to default config.\n", userPath);
    }
    return result;
}
