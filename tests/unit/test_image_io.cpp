// The generator's image writers: what is written reads back unchanged, twice the same bytes, and bad input fails.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stb_image.h>

#include "tools/generate/image_io.h"

namespace {

std::filesystem::path scratchFolder() {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "kelvara-image-io-test";
    std::filesystem::create_directories(dir);
    return dir;
}

std::string scratchFile(const std::string& name) { return (scratchFolder() / name).string(); }

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Every byte different from its neighbours, so a swapped channel, row or column shows.
Image8 patterned(int width, int height, int channels) {
    Image8 image{width, height, channels, {}};
    for (int i = 0; i < width * height * channels; ++i) {
        image.pixels.push_back(static_cast<uint8_t>((i * 37 + i / 7) & 0xFF));
    }
    return image;
}

} // namespace

TEST(PngWriter, EightBitImagesReadBackUnchangedForEveryChannelCount) {
    for (int channels = 1; channels <= 4; ++channels) {
        SCOPED_TRACE(channels);
        Image8 image = patterned(13, 7, channels); // odd sizes: no padding hidden anywhere
        std::string path = scratchFile("eight" + std::to_string(channels) + ".png");
        std::string error;
        ASSERT_TRUE(writePng8(path, image, error)) << error;

        int width = 0;
        int height = 0;
        int fileChannels = 0;
        unsigned char* read = stbi_load(path.c_str(), &width, &height, &fileChannels, 0);
        ASSERT_NE(read, nullptr) << stbi_failure_reason();
        EXPECT_EQ(width, 13);
        EXPECT_EQ(height, 7);
        EXPECT_EQ(fileChannels, channels);
        EXPECT_EQ(std::vector<uint8_t>(read, read + image.pixels.size()), image.pixels);
        stbi_image_free(read);
    }
}

TEST(PngWriter, SixteenBitGreyReadsBackUnchanged) {
    const int width = 9;
    const int height = 5;
    std::vector<uint16_t> samples;
    for (int i = 0; i < width * height; ++i) {
        samples.push_back(static_cast<uint16_t>(i * 1499 + 1)); // low and high bytes both vary
    }
    samples[0] = 0;
    samples[1] = 65535;
    samples[2] = 32767;
    samples[3] = 256; // only the high byte set: caught if the byte order is wrong
    std::string path = scratchFile("sixteen.png");
    std::string error;
    ASSERT_TRUE(writePng16Grey(path, width, height, samples, error)) << error;

    EXPECT_TRUE(stbi_is_16_bit(path.c_str()));
    int w = 0;
    int h = 0;
    int channels = 0;
    stbi_us* read = stbi_load_16(path.c_str(), &w, &h, &channels, 0);
    ASSERT_NE(read, nullptr) << stbi_failure_reason();
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(std::vector<uint16_t>(read, read + samples.size()), samples);
    stbi_image_free(read);
}

TEST(PngWriter, WritingTheSameImageTwiceGivesTheSameBytes) {
    Image8 image = patterned(64, 32, 4);
    std::string error;
    ASSERT_TRUE(writePng8(scratchFile("twice-a.png"), image, error)) << error;
    ASSERT_TRUE(writePng8(scratchFile("twice-b.png"), image, error)) << error;
    std::vector<char> first = fileBytes(scratchFile("twice-a.png"));
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, fileBytes(scratchFile("twice-b.png")));

    std::vector<uint16_t> samples(48 * 48);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<uint16_t>(i * i);
    }
    ASSERT_TRUE(writePng16Grey(scratchFile("twice-c.png"), 48, 48, samples, error)) << error;
    ASSERT_TRUE(writePng16Grey(scratchFile("twice-d.png"), 48, 48, samples, error)) << error;
    EXPECT_EQ(fileBytes(scratchFile("twice-c.png")), fileBytes(scratchFile("twice-d.png")));
}

TEST(PngWriter, RefusesImagesThatDoNotAddUpAndWritesNothing) {
    std::string error;
    Image8 shortPixels = patterned(4, 4, 3);
    shortPixels.pixels.pop_back();
    std::string path = scratchFile("refused.png");
    std::filesystem::remove(path);
    EXPECT_FALSE(writePng8(path, shortPixels, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(path));

    error.clear();
    EXPECT_FALSE(writePng8(path, Image8{4, 4, 5, std::vector<uint8_t>(80, 0)}, error));
    EXPECT_NE(error.find("channels"), std::string::npos) << error;
    EXPECT_FALSE(writePng8(path, Image8{0, 4, 1, {}}, error));
    EXPECT_FALSE(writePng16Grey(path, 3, 3, std::vector<uint16_t>(8, 0), error));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(PngWriter, ReportsAFolderThatIsNotThere) {
    std::string path = (scratchFolder() / "no-such-folder" / "image.png").string();
    std::string error;
    EXPECT_FALSE(writePng8(path, patterned(2, 2, 1), error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
}

TEST(JpegWriter, WritesAnImageThatDecodesCloseToTheOriginal) {
    Image8 image{32, 16, 3, {}};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            image.pixels.push_back(static_cast<uint8_t>(x * 8));
            image.pixels.push_back(static_cast<uint8_t>(y * 16));
            image.pixels.push_back(128);
        }
    }
    std::string path = scratchFile("smooth.jpg");
    std::string error;
    ASSERT_TRUE(writeJpeg(path, image, 95, error)) << error;
    int w = 0;
    int h = 0;
    int channels = 0;
    unsigned char* read = stbi_load(path.c_str(), &w, &h, &channels, 0);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(channels, 3);
    int worst = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        worst = std::max(worst, std::abs(static_cast<int>(read[i]) - static_cast<int>(image.pixels[i])));
    }
    stbi_image_free(read);
    EXPECT_LE(worst, 16); // a smooth gradient survives high quality nearly intact

    ASSERT_TRUE(writeJpeg(scratchFile("smooth-again.jpg"), image, 95, error)) << error;
    EXPECT_EQ(fileBytes(path), fileBytes(scratchFile("smooth-again.jpg")));
}

TEST(JpegWriter, RefusesQualityOutsideTheScaleAndTwoChannels) {
    std::string error;
    EXPECT_FALSE(writeJpeg(scratchFile("bad.jpg"), patterned(4, 4, 3), 0, error));
    EXPECT_NE(error.find("quality"), std::string::npos) << error;
    EXPECT_FALSE(writeJpeg(scratchFile("bad.jpg"), patterned(4, 4, 3), 101, error));
    EXPECT_FALSE(writeJpeg(scratchFile("bad.jpg"), patterned(4, 4, 2), 90, error));
}

TEST(EnsureDirectory, CreatesNestedFoldersAndReportsAFileInTheWay) {
    std::filesystem::path nested = scratchFolder() / "a" / "b" / "c";
    std::filesystem::remove_all(scratchFolder() / "a");
    std::string error;
    EXPECT_TRUE(ensureDirectory(nested.string(), error)) << error;
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_TRUE(ensureDirectory(nested.string(), error)) << "an existing folder is fine";

    std::string blocker = scratchFile("blocker");
    std::ofstream(blocker) << "x";
    EXPECT_FALSE(ensureDirectory(blocker + "/inside", error));
    EXPECT_FALSE(error.empty());
}
