// Settings: the shipped defaults, then the user files overriding key by key; the checked keys (vsync, controls,
// audio) that say which value they ignored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/settings.h"
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
    {"hexadecimal and octal", missing, "[window]\nwidth = 0x280\nheight = 01000\n", {640, 512, false, false, 0.0f, 1.0f}},
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
        EXPECT_EQ(stdoutOf([&] { s = loadSettings(defaultPath.c_str(), userPath.c_str(), ""); }), "") << c.what;
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
        stdoutOf([&] { s = loadSettings(dataFile("Config/default.ini").c_str(), "/nonexistent/user.ini", ""); });
    EXPECT_EQ(printed, "Couldn't load user config (/nonexistent/user.ini). Fallback to default config.\n");
    const Settings builtIn;
    EXPECT_EQ(s.width, builtIn.width);
    EXPECT_EQ(s.height, builtIn.height);
    EXPECT_EQ(s.fullscreen || s.antialiasing, false);
    EXPECT_EQ(s.brightness, builtIn.brightness);
    EXPECT_EQ(s.contrast, builtIn.contrast);
    EXPECT_EQ(s.vsync, builtIn.vsync);
    EXPECT_EQ(s.mouseSensitivity, builtIn.mouseSensitivity);
    EXPECT_EQ(s.invertY, builtIn.invertY);
    EXPECT_EQ(s.gamepadSensitivity, builtIn.gamepadSensitivity);
    EXPECT_EQ(s.audioEnabled, builtIn.audioEnabled);
    EXPECT_EQ(s.audioVolume, builtIn.audioVolume);
    EXPECT_EQ(s.ghost, builtIn.ghost);
    EXPECT_TRUE(s.ghost) << "the ghost shows from the first race";
}

// An installed game's data folder is read-only: the player's own file, found through XDG_CONFIG_HOME, counts last.
TEST(Settings, ThePlayersOwnFileOverridesTheOneBesideTheData) {
    TempDir dir;
    Settings s;
    EXPECT_EQ(stdoutOf([&] {
                  s = loadSettings(dir.write("d.ini", defaults).c_str(), dir.write("u.ini", "[window]\nwidth = 700\n").c_str(),
                                   dir.write("p.ini", "[window]\nwidth = 640\ncontrast = 1.5\n"));
              }),
              "");
    EXPECT_EQ(s.width, 640);
    EXPECT_FLOAT_EQ(s.contrast, 1.5f);
    EXPECT_EQ(s.height, 600);

    EXPECT_EQ(stdoutOf([&] { s = loadSettings(dir.path("none").c_str(), dir.path("none").c_str(),
                                              dir.write("p.ini", "[window]\nheight = 480\n")); }),
              "")
        << "a player's own file is a user file: no fallback message";
    EXPECT_EQ(s.height, 480);

    setenv("XDG_CONFIG_HOME", dir.root.c_str(), 1);
    EXPECT_EQ(personalSettingsPath(), (dir.root / "kelvara-golf" / "user.ini").string());
    unsetenv("XDG_CONFIG_HOME");
}

TEST(Settings, CheckedKeysTakeGoodValuesAndIgnoreJunkWithOneLineNamingTheKey) {
    TempDir dir;
    const std::string shipped = dataFile("Config/default.ini");
    std::string printed, complaints;
    auto load = [&](const std::string& user) {
        Settings s;
        complaints = stderrOf([&] {
            printed = stdoutOf([&] { s = loadSettings(shipped.c_str(), dir.write("u.ini", user).c_str(), ""); });
        });
        return s;
    };
    Settings s = load("[window]\nvsync = off\n[controls]\nmouse_sensitivity = 1.25\ninvert_y = Yes\n"
                      "gamepad_sensitivity = 90\n[audio]\nenabled = OFF\nvolume = 0\n[race]\nghost = false\n");
    EXPECT_FALSE(s.vsync);
    EXPECT_EQ(s.mouseSensitivity, 1.25f);
    EXPECT_TRUE(s.invertY);
    EXPECT_EQ(s.gamepadSensitivity, 90.0f);
    EXPECT_FALSE(s.audioEnabled);
    EXPECT_EQ(s.audioVolume, 0.0f);
    EXPECT_FALSE(s.ghost);
    EXPECT_EQ(complaints, "");

    const char* const junk[][2] = {
        {"[controls]\nmouse_sensitivity = fast\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = 0\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = nan\n", "mouse_sensitivity"},
        {"[controls]\ninvert_y = maybe\n", "invert_y"},
        {"[controls]\ngamepad_sensitivity = 90 degrees\n", "gamepad_sensitivity"},
        {"[window]\nvsync = sometimes\n", "vsync"},
        {"[audio]\nvolume = 1.5\n", "volume"},
        {"[audio]\nvolume = 0.5x\n", "volume"},
        {"[audio]\nenabled = maybe\n", "enabled"},
        {"[race]\nghost = sometimes\n", "ghost"},
        // Values that parse but cannot make a window or a picture.
        {"[window]\nwidth = -800\n", "width"},
        {"[window]\nwidth = 0\n", "width"},
        {"[window]\nwidth = 40000\n", "width"},
        {"[window]\nheight = 1e9\n", "height"},
        {"[window]\nbrightness = 5\n", "brightness"},
        {"[window]\ncontrast = 0\n", "contrast"},
        {"[window]\nfullscreen = perhaps\n", "fullscreen"},
    };
    const Settings builtIn;
    for (const auto& [line, key] : junk) {
        s = load(line);
        EXPECT_EQ(s.mouseSensitivity, builtIn.mouseSensitivity) << line;
        EXPECT_EQ(s.invertY, builtIn.invertY) << line;
        EXPECT_EQ(s.gamepadSensitivity, builtIn.gamepadSensitivity) << line;
        EXPECT_EQ(s.vsync, builtIn.vsync) << line;
        EXPECT_EQ(s.audioEnabled, builtIn.audioEnabled) << line;
        EXPECT_EQ(s.audioVolume, builtIn.audioVolume) << line;
        EXPECT_EQ(s.width, builtIn.width) << line;
        EXPECT_EQ(s.height, builtIn.height) << line;
        EXPECT_EQ(s.brightness, builtIn.brightness) << line;
        EXPECT_EQ(s.contrast, builtIn.contrast) << line;
        EXPECT_EQ(s.fullscreen, builtIn.fullscreen) << line;
        EXPECT_EQ(s.ghost, builtIn.ghost) << line;
        EXPECT_NE(complaints.find(std::string("ignored [") ), std::string::npos) << line << " gave: " << complaints;
        EXPECT_NE(complaints.find(std::string("] ") + key + " = "), std::string::npos) << line << " gave: " << complaints;
        EXPECT_EQ(std::count(complaints.begin(), complaints.end(), '\n'), 1) << line << " gave: " << complaints;
        EXPECT_EQ(printed, "") << "the console texts stay as they are";
    }
}

// A file that is no settings file at all is skipped whole, with one line, rather than read in part.
TEST(Settings, AFileThatIsNotTextOrHasNoReadableLineIsSkippedWithOneLine) {
    TempDir dir;
    const std::string shipped = dataFile("Config/default.ini");
    const std::string binary("[window]\nwidth = 640\n\x01\x02\x00\xff\xfe\x7f", 26);
    const std::string cases[][2] = {
        {binary, "it is not text"},
        {"just some words\n<<>>\n", "no line of it can be read"},
    };
    for (const auto& [text, reason] : cases) {
        Settings s;
        std::string printed;
        const std::string user = dir.write("u.ini", text);
        const std::string complaints =
            stderrOf([&] { printed = stdoutOf([&] { s = loadSettings(shipped.c_str(), user.c_str(), ""); }); });
        EXPECT_EQ(complaints, user + ": not a settings file (" + reason + "); it is skipped as a whole\n");
        EXPECT_EQ(s.width, Settings{}.width) << reason;
        EXPECT_EQ(printed, "") << "a file was there, so no fallback message";
    }
}

} // namespace
