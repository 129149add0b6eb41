// Lettering for the sprites: UTF-8 decoding, font loading, and text laid out at the size and place asked for.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/generate/text.h"

namespace {

struct Box {
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1;
    int bottom = -1;
};

// Pixels covered at least half.
Box coveredBox(const Mask& mask) {
    Box box;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (mask.at(x, y) >= 0.5f) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    return box;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(loadFont(spriteFontPath, font, error)) << error;
    }
    Font font;
};

} // namespace

TEST(Utf8, DecodesOneToThreeByteCharactersAndMarksBrokenOnes) {
    EXPECT_EQ(decodeUtf8("GO!"), (std::vector<int>{'G', 'O', '!'}));
    EXPECT_EQ(decodeUtf8("1\xC2\xBD"), (std::vector<int>{'1', 0xBD}));           // 1 and a half
    EXPECT_EQ(decodeUtf8("LET\xE2\x80\x99S"), (std::vector<int>{'L', 'E', 'T', 0x2019, 'S'}));
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x8F\x8C"), (std::vector<int>{0x1F3CC}));
    EXPECT_EQ(decodeUtf8("a\xE2\x80"), (std::vector<int>{'a', 0xFFFD, 0xFFFD})) << "cut short";
    EXPECT_EQ(decodeUtf8("\xBDx"), (std::vector<int>{0xFFFD, 'x'})) << "a stray continuation byte";
    EXPECT_EQ(decodeUtf8("\xC2x"), (std::vector<int>{0xFFFD, 'x'}));
    EXPECT_TRUE(decodeUtf8("").empty());
}

TEST(FontLoading, NamesTheFileWhenItCannotBeUsed) {
    Font font;
    std::string error;
    EXPECT_FALSE(loadFont("/no/such/font.ttf", font, error));
    EXPECT_NE(error.find("/no/such/font.ttf"), std::string::npos) << error;

    std::string notAFont = (std::filesystem::temp_directory_path() / "kelvara-not-a-font.ttf").string();
    std::ofstream(notAFont) << "plain text, not glyphs";
    error.clear();
    EXPECT_FALSE(loadFont(notAFont, font, error));
    EXPECT_NE(error.find(notAFont), std::string::npos) << error;
}

TEST_F(TextTest, WidthScalesWithTheCapitalHeight) {
    float small = textWidth(font, "GET READY", 40.0f);
    float large = textWidth(font, "GET READY", 80.0f);
    EXPECT_GT(small, 100.0f);
    EXPECT_NEAR(large, 2.0f * small, small * 0.01f);
    EXPECT_GT(textWidth(font, "WW", 40.0f), textWidth(font, "II", 40.0f));
    EXPECT_FLOAT_EQ(textWidth(font, "", 40.0f), 0.0f);
}

TEST_F(TextTest, CentredCapitalsAreAsTallAsAskedAndSitOnTheCentre) {
    Mask mask = makeMask(300, 200);
    drawTextCentred(mask, font, "HEH", 60.0f, {150.0f, 100.0f});
    Box box = coveredBox(mask);
    ASSERT_GE(box.right, 0) << "nothing drawn";
    EXPECT_NEAR(box.bottom - box.top + 1, 60, 2);
    EXPECT_NEAR((box.top + box.bottom + 1) * 0.5, 100.0, 2.0);
    EXPECT_NEAR((box.left + box.right + 1) * 0.5, 150.0, 4.0);
    // The ink is the advance less the side bearings of the first and last letter.
    float advance = textWidth(font, "HEH", 60.0f);
    EXPECT_LT(box.right - box.left + 1, advance);
    EXPECT_GT(box.right - box.left + 1, 0.85f * advance);
}

TEST_F(TextTest, LettersOffTheMaskAreClippedNotWrittenPastIt) {
    Mask mask = makeMask(20, 20);
    drawText(mask, font, "WIDE TEXT", 30.0f, {-15.0f, 25.0f});
    EXPECT_EQ(mask.coverage.size(), 400u);
    EXPECT_GT(std::count_if(mask.coverage.begin(), mask.coverage.end(), [](float c) { return c > 0.5f; }), 0);
}
