// Settings: built-in defaults, the user file's overrides, and how values are read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings.h"

namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("kelvara-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        std::ofstream(p) << text;
        return p.string();
    }
    std::string missing() const { return (dir / "missing.ini").string(); }

    // Loads and returns what was printed. The player's own file is left out unless named.
    std::string load(const std::string& defaults, const std::string& user, Settings& out,
                     const std::string& personal = "") {
        ::testing::internal::CaptureStdout();
        out = loadSettings(defaults.c_str(), user.c_str(), personal);
        return ::testing::internal::GetCapturedStdout();
    }

    fs::path dir;
};

const char* shippedDefaults = "[window]\nwidth = 800\nheight = 600\nfullscreen = false\nantialiasing = true\n"
                              "brightness = 0.25\ncontrast = 0.9\n";

TEST_F(SettingsTest, NeitherFilePresentGivesBuiltInValuesAndTheFallbackMessage) {
    Settings s;
    const std::string printed = load(missing(), missing(), s);
    EXPECT_EQ(s.width, 1024);
    EXPECT_EQ(s.height, 1024);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_FALSE(s.antialiasing);
    EXPECT_FLOAT_EQ(s.brightness, 0.0f);
    EXPECT_FLOAT_EQ(s.contrast, 1.0f);
    EXPECT_EQ(printed, "Couldn't load user config (" + missing() + "). Fallback to default config.\n");
}

TEST_F(SettingsTest, UserFileOverridesOnlyTheKeysItSets) {
    Settings s;
    const std::string printed = load(write("default.ini", shippedDefaults), write("user.ini", "[window]\ncontrast = 1.2\n"), s);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 600);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_TRUE(s.antialiasing);
    EXPECT_FLOAT_EQ(s.brightness, 0.25f);
    EXPECT_FLOAT_EQ(s.contrast, 1.2f);
}

TEST_F(SettingsTest, KeysOutsideTheWindowSectionAreIgnoredWithoutMessage) {
    Settings s;
    const std::string printed =
        load(write("default.ini", shippedDefaults), write("user.ini", "[display]\nwidth = 1920\ncontrast = 3\n"), s);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(s.width, 800);
    EXPECT_FLOAT_EQ(s.contrast, 0.9f);
}

TEST_F(SettingsTest, BooleansInAnyLetterCaseAndUnparsableValuesKeepThePreviousValue) {
    Settings s;
    load(missing(), write("user.ini", "[window]\nfullscreen = Yes\nantialiasing = ON\n"), s);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_TRUE(s.antialiasing);

    load(write("default.ini", "[window]\nfullscreen = TRUE\nantialiasing = off\n"),
         write("user.ini", "[window]\nfullscreen = maybe\nantialiasing = 1\nwidth = wide\n"), s);
    EXPECT_TRUE(s.fullscreen) << "'maybe' keeps the default file's value";
    EXPECT_TRUE(s.antialiasing);
    EXPECT_EQ(s.width, 1024);
}

TEST_F(SettingsTest, IntegersMayBeHexadecimalOrOctalAndMustFitThirtyTwoBits) {
    Settings s;
    load(missing(), write("user.ini", "[window]\nwidth = 0x500\nheight = 010\n"), s);
    EXPECT_EQ(s.width, 1280);
    EXPECT_EQ(s.height, 8);

    load(write("default.ini", "[window]\nwidth = 640\n"), write("user.ini", "[window]\nwidth = 99999999999\n"), s);
    EXPECT_EQ(s.width, 640) << "a value beyond 32 bits must not wrap into a strange window size";
}

TEST_F(SettingsTest, UserFileWithSyntaxErrorsIsUsedAsFarAsItReads) {
    Settings s;
    const std::string printed = load(missing(), write("user.ini", "[window]\nwidth = 700\nthis line is broken\n"), s);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(s.width, 700);
}

// An installed game's data folder is read-only: the player's own file, found through XDG_CONFIG_HOME, counts last.
TEST_F(SettingsTest, ThePlayersOwnFileOverridesTheOneBesideTheData) {
    Settings s;
    const std::string printed = load(write("default.ini", shippedDefaults), write("user.ini", "[window]\nwidth = 700\n"),
                                     s, write("personal.ini", "[window]\nwidth = 640\ncontrast = 1.5\n"));
    EXPECT_EQ(printed, "");
    EXPECT_EQ(s.width, 640);
    EXPECT_FLOAT_EQ(s.contrast, 1.5f);
    EXPECT_EQ(s.height, 600);

    EXPECT_EQ(load(missing(), missing(), s, write("personal.ini", "[window]\nheight = 480\n")), "")
        << "a player's own file is a user file: no fallback message";
    EXPECT_EQ(s.height, 480);

    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    EXPECT_EQ(personalSettingsPath(), (dir / "kelvara-golf" / "user.ini").string());
    unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsTest, AudioValuesAreCheckedWholeAndABadOneIsReportedOnStandardError) {
    struct Case {
        const char* user;
        bool enabled;
        float volume;
        const char* reportedKey; // nullptr: nothing reported
    };
    const Case cases[] = {
        {"[audio]\nenabled = OFF\nvolume = 0.25\n", false, 0.25f, nullptr},
        {"[audio]\nvolume = 0\n", true, 0.0f, nullptr},
        {"[audio]\nvolume = 1.5\n", true, 0.6f, "volume"},
        {"[audio]\nvolume = 0.5x\n", true, 0.6f, "volume"},
        {"[audio]\nvolume = nan\n", true, 0.6f, "volume"},
        {"[audio]\nenabled = maybe\n", true, 0.6f, "enabled"},
    };
    const std::string defaults = write("default.ini", std::string(shippedDefaults) + "[audio]\nvolume = 0.6\n");
    for (const Case& c : cases) {
        Settings s;
        ::testing::internal::CaptureStderr();
        const std::string printed = load(defaults, write("user.ini", c.user), s);
        const std::string reported = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(s.audioEnabled, c.enabled) << c.user;
        EXPECT_FLOAT_EQ(s.audioVolume, c.volume) << c.user;
        EXPECT_EQ(s.width, 800) << "the window keys read as before";
        EXPECT_EQ(printed, "") << "standard output stays untouched";
        if (c.reportedKey == nullptr) {
            EXPECT_EQ(reported, "") << c.user;
        } else {
            EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;
            EXPECT_NE(reported.find("user.ini: ignored [audio] " + std::string(c.reportedKey)), std::string::npos) << reported;
        }
    }
}

TEST(ShippedSettings, DefaultFileHoldsTheBuiltInValues) {
    const std::string path = std::string(KELVARA_DATA_DIR) + "/Config/default.ini";
    ::testing::internal::CaptureStdout();
    const Settings s = loadSettings(path.c_str(), "/nonexistent/user.ini", "");
    ::testing::internal::GetCapturedStdout();
    const Settings builtIn;
    EXPECT_EQ(s.width, builtIn.width);
    EXPECT_EQ(s.height, builtIn.height);
    EXPECT_EQ(s.fullscreen, builtIn.fullscreen);
    EXPECT_EQ(s.antialiasing, builtIn.antialiasing);
    EXPECT_EQ(s.brightness, builtIn.brightness);
    EXPECT_EQ(s.contrast, builtIn.contrast);
    EXPECT_EQ(s.audioEnabled, builtIn.audioEnabled);
    EXPECT_EQ(s.audioVolume, builtIn.audioVolume);
}

} // namespace
