// Display settings: the shipped defaults, then the player's own file overriding key by key.
#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"

namespace {

const char* const missing = "(missing)";
const char* const defaults = "[window]\nwidth = 800\nheight = 600\nantialiasing = true\nbrightness = 0.25\ncontrast = 0.9\n";

struct Case {
    const char* what;
    const char* defaultFile; // text, or missing
    const char* userFile;
    Settings expected;
};

// Settings fields in order: width, height, fullscreen, antialiasing, brightness, contrast.
const Case cases[] = {
    {"the user file sets only what it names", defaults, "[window]\ncontrast = 1.2\nfullscreen = Yes\n",
     {800, 600, true, true, 0.25f, 1.2f}},
    {"other sections are ignored", defaults, "[display]\nwidth = 1920\n", {800, 600, false, true, 0.25f, 0.9f}},
    {"a value that does not parse keeps the one before", "[window]\nfullscreen = TRUE\nwidth = 640\n",
     "[window]\nfullscreen = maybe\nwidth = wide\nantialiasing = ON\n", {640, 1024, true, true, 0.0f, 1.0f}},
    {"hexadecimal and octal", missing, "[window]\nwidth = 0x500\nheight = 010\n", {1280, 8, false, false, 0.0f, 1.0f}},
    {"beyond 32 bits keeps the one before", "[window]\nwidth = 640\n", "[window]\nwidth = 99999999999\n",
     {640, 1024, false, false, 0.0f, 1.0f}},
    {"a broken line ends nothing", missing, "[window]\nwidth = 700\nthis line is broken\nheight = 500\n",
     {700, 500, false, false, 0.0f, 1.0f}},
};

TEST(Settings, TheUserFileOverridesTheDefaultsKeyByKey) {
    for (const Case& c : cases) {
        TempDir dir;
        const std::string defaultPath = c.defaultFile == missing ? dir.path("none") : dir.write("d.ini", c.defaultFile);
        const std::string userPath = dir.write("u.ini", c.userFile);
        Settings s;
        EXPECT_EQ(stdoutOf([&] { s = loadSettings(defaultPath.c_str(), userPath.c_str()); }), "") << c.what;
        EXPECT_EQ(s.width, c.expected.width) << c.what;
        EXPECT_EQ(s.height, c.expected.height) << c.what;
        EXPECT_EQ(s.fullscreen, c.expected.fullscreen) << c.what;
        EXPECT_EQ(s.antialiasing, c.expected.antialiasing) << c.what;
        EXPECT_FLOAT_EQ(s.brightness, c.expected.brightness) << c.what;
        EXPECT_FLOAT_EQ(s.contrast, c.expected.contrast) << c.what;
    }
}

TEST(Settings, WithoutAUserFileTheShippedDefaultsHoldTheBuiltInValuesAndTheFallbackIsSaid) {
    Settings s;
    const std::string printed =
        stdoutOf([&] { s = loadSettings(dataFile("Config/default.ini").c_str(), "/nonexistent/user.ini"); });
    EXPECT_EQ(printed, "Couldn't load user config (/nonexistent/user.ini). Fallback to default config.\n");
    const Settings builtIn;
    EXPECT_EQ(s.width, builtIn.width);
    EXPECT_EQ(s.height, builtIn.height);
    EXPECT_EQ(s.fullscreen || s.antialiasing, false);
    EXPECT_EQ(s.brightness, builtIn.brightness);
    EXPECT_EQ(s.contrast, builtIn.contrast);
}

} // namespace
