// Settings: the shipped defaults, then the user files overriding key by key; the checked keys (vsync, controls,
// audio) that say which value they ignored; and the first window fitting the screen's work area, shrunk keeping its
// aspect where it is too large, untouched where it fits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>

#include "core/settings.h"
#include "core/window_fit.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"

namespace {

const char* const missing = "(missing)";
const char* const defaults = "[window]\nwidth = 800\nheight = 600\nantialiasing = true\nbrightness = 0.25\ncontrast = 0.9\n";

// Every field, so settings compare whole.
auto fields(const Settings& s) {
    return std::make_tuple(s.width, s.height, s.fullscreen, s.antialiasing, s.brightness, s.contrast, s.vsync,
                           s.mouseSensitivity, s.invertY, s.gamepadSensitivity, s.audioEnabled, s.audioVolume, s.ghost);
}

TEST(Settings, TheUserFileOverridesTheDefaultsKeyByKeyAndWithoutOneTheBuiltInValuesHold) {
    // Each file is text, or missing; expected lists width, height, fullscreen, antialiasing, brightness and
    // contrast, the rest built in.
    struct Case { const char* what; const char* defaultFile; const char* userFile; Settings expected; };
    const Case cases[] = {
        {"the user file sets only what it names", defaults, "[window]\ncontrast = 1.2\nfullscreen = Yes\n",
         {800, 600, true, true, 0.25f, 1.2f}},
        {"other sections are ignored", defaults, "[display]\nwidth = 1920\n", {800, 600, false, true, 0.25f, 0.9f}},
        {"a value that does not parse keeps the one before", "[window]\nfullscreen = TRUE\nwidth = 640\n",
         "[window]\nfullscreen = maybe\nwidth = wide\nantialiasing = ON\n", {640, 1024, true, true, 0.0f, 1.0f}},
        {"hexadecimal and octal", missing, "[window]\nwidth = 0x280\nheight = 01000\n", {640, 512}},
        {"beyond 32 bits keeps the one before", "[window]\nwidth = 640\n", "[window]\nwidth = 99999999999\n", {640}},
        {"a broken line ends nothing", missing, "[window]\nwidth = 700\nthis line is broken\nheight = 500\n", {700, 500}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string defaultPath = c.defaultFile == missing ? dir.path("none") : dir.write("d.ini", c.defaultFile);
        const std::string userPath = dir.write("u.ini", c.userFile);
        Settings s;
        EXPECT_EQ(stdoutOf([&] { s = loadSettings(defaultPath.c_str(), userPath.c_str(), ""); }), "") << c.what;
        EXPECT_EQ(fields(s), fields(c.expected)) << c.what;
    }

    // Without a user file the shipped defaults hold the built-in values, and the fallback is said.
    Settings s;
    EXPECT_EQ(stdoutOf([&] { s = loadSettings(dataFile("Config/default.ini").c_str(), "/nonexistent/user.ini", ""); }),
              "Couldn't load user config (/nonexistent/user.ini). Fallback to default config.\n");
    EXPECT_EQ(fields(s), fields(Settings{}));
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
    EXPECT_EQ(std::tie(s.width, s.height, s.contrast), std::make_tuple(640, 600, 1.5f));
    EXPECT_EQ(stdoutOf([&] { s = loadSettings(dir.path("none").c_str(), dir.path("none").c_str(),
                                              dir.write("p.ini", "[window]\nheight = 480\n")); }),
              "")
        << "a player's own file is a user file: no fallback message";
    EXPECT_EQ(s.height, 480);

    setenv("XDG_CONFIG_HOME", dir.root.c_str(), 1);
    EXPECT_EQ(personalSettingsPath(), (dir.root / "kelvara-golf" / "user.ini").string());
    unsetenv("XDG_CONFIG_HOME");
}

TEST(Settings, CheckedKeysTakeGoodValuesAndJunkOrAFileThatIsNoSettingsFileIsIgnoredWithOneLine) {
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
    const Settings good = load("[window]\nvsync = off\n[controls]\nmouse_sensitivity = 1.25\ninvert_y = Yes\n"
                               "gamepad_sensitivity = 90\n[audio]\nenabled = OFF\nvolume = 0\n[race]\nghost = false\n");
    EXPECT_EQ(fields(good), fields(Settings{1024, 1024, false, false, 0.0f, 1.0f, false, 1.25f, true, 90.0f, false, 0.0f,
                                            false}));
    EXPECT_EQ(complaints, "");

    const char* const junk[][2] = {
        {"[controls]\nmouse_sensitivity = fast\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = 0\n", "mouse_sensitivity"},
        {"[controls]\nmouse_sensitivity = nan\n", "mouse_sensitivity"}, {"[controls]\ninvert_y = maybe\n", "invert_y"},
        {"[controls]\ngamepad_sensitivity = 90 degrees\n", "gamepad_sensitivity"}, {"[window]\nvsync = sometimes\n", "vsync"},
        {"[audio]\nvolume = 1.5\n", "volume"}, {"[audio]\nvolume = 0.5x\n", "volume"},
        {"[audio]\nenabled = maybe\n", "enabled"}, {"[race]\nghost = sometimes\n", "ghost"},
        // Values that parse but cannot make a window or a picture.
        {"[window]\nwidth = -800\n", "width"}, {"[window]\nwidth = 0\n", "width"}, {"[window]\nwidth = 40000\n", "width"},
        {"[window]\nheight = 1e9\n", "height"}, {"[window]\nbrightness = 5\n", "brightness"},
        {"[window]\ncontrast = 0\n", "contrast"}, {"[window]\nfullscreen = perhaps\n", "fullscreen"},
    };
    for (const auto& [line, key] : junk) {
        EXPECT_EQ(fields(load(line)), fields(Settings{})) << line;
        EXPECT_NE(complaints.find(std::string("ignored [")), std::string::npos) << line << " gave: " << complaints;
        EXPECT_NE(complaints.find(std::string("] ") + key + " = "), std::string::npos) << line << " gave: " << complaints;
        EXPECT_EQ(std::count(complaints.begin(), complaints.end(), '\n'), 1) << line << " gave: " << complaints;
        EXPECT_EQ(printed, "") << "the console texts stay as they are";
    }

    // A file that is no settings file at all is skipped whole, with one line, rather than read in part.
    const std::string binary("[window]\nwidth = 640\n\x01\x02\x00\xff\xfe\x7f", 26);
    const std::string notSettings[][2] = {{binary, "it is not text"}, {"just some words\n<<>>\n", "no line of it can be read"}};
    for (const auto& [text, reason] : notSettings) {
        EXPECT_EQ(fields(load(text)), fields(Settings{})) << reason;
        EXPECT_EQ(complaints, dir.path("u.ini") + ": not a settings file (" + reason + "); it is skipped as a whole\n");
        EXPECT_EQ(printed, "") << "a file was there, so no fallback message";
    }
}

TEST(WindowFit, ShrinksToTheWorkAreaKeepingTheAspectAndLeavesWhatFits) {
    const struct { WindowSize wanted, available, expected; } cases[] = {
        {{1024, 1024}, {1366, 768}, {768, 768}},    // a laptop screen: the square window loses its bottom
        {{1920, 1080}, {1366, 768}, {1365, 768}},   // 16:9 into a slightly narrower 16:9
        {{3000, 500}, {1280, 1024}, {1280, 213}},   // too wide only
        {{640, 480}, {1366, 768}, {640, 480}},      // fits: exactly as configured
        {{1366, 768}, {1366, 768}, {1366, 768}},    // exactly the work area
        {{16384, 2}, {1024, 768}, {1024, 1}},       // never below one pixel
        {{1024, 1024}, {0, 0}, {1024, 1024}},       // an unknown work area leaves the size
    };
    for (const auto& c : cases) {
        const WindowSize got = fitWindowSize(c.wanted, c.available);
        EXPECT_EQ(std::make_pair(got.width, got.height), std::make_pair(c.expected.width, c.expected.height))
            << c.wanted.width << " x " << c.wanted.height;
    }
    // Any fitted size lies inside; where shrunk, one side meets the work area's edge and the aspect holds to within a
    // pixel's rounding.
    for (int32_t w = 100; w <= 5000; w += 370)
        for (int32_t h = 100; h <= 5000; h += 410) {
            const WindowSize got = fitWindowSize({w, h}, {1366, 768});
            EXPECT_TRUE(got.width <= 1366 && got.height <= 768) << w << " x " << h;
            if (got.width == w) {
                EXPECT_EQ(got.height, h);
                continue;
            }
            EXPECT_TRUE(got.width == 1366 || got.height == 768) << w << " x " << h;
            const double aspect = double(w) / h;
            EXPECT_NEAR(double(got.width) / got.height, aspect, aspect * 2.0 / std::min(got.width, got.height));
        }
}

} // namespace
