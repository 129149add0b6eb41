// Textures through a real context: formats per channel count, exact pixel uploads, the clamped RGB loader, failures.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "render/texture.h"
#include "tests/support/temp_files.h"

namespace {

using testfiles::TempDir;
using testfiles::WorkingDirectory;

// Pixels whose every byte differs from its neighbours, so a shifted or padded row shows up.
std::vector<uint8_t> patternPixels(int width, int height, int channels) {
    std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>(17 + i * 23);
    }
    return pixels;
}

std::string writePng(const TempDir& dir, const std::string& name, int width, int height, int channels,
                     const std::vector<uint8_t>& pixels) {
    const std::string path = dir.path(name).string();
    std::filesystem::create_directories(dir.path(name).parent_path());
    if (stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels) == 0) {
        ADD_FAILURE() << "cannot write " << path;
    }
    return path;
}

struct TextureInfo {
    GLint internalFormat = 0, width = 0, height = 0, wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
    GLint level1Width = 0;
};
TextureInfo describe(GLuint id) {
    TextureInfo info;
    glBindTexture(GL_TEXTURE_2D, id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &info.internalFormat);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &info.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &info.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &info.level1Width);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &info.wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &info.wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &info.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &info.magFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    return info;
}

// Level 0 read back tightly packed in the given format.
std::vector<uint8_t> readBack(GLuint id, int width, int height, GLenum format, int channels) {
    std::vector<uint8_t> pixels(static_cast<std::size_t>(width) * height * channels, 0);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

TEST(TextureFormat, ChannelCountPicksThePixelFormat) {
    EXPECT_EQ(textureFormatForChannels(1), static_cast<uint32_t>(GL_RED));
    EXPECT_EQ(textureFormatForChannels(2), static_cast<uint32_t>(GL_RG));
    EXPECT_EQ(textureFormatForChannels(3), static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(textureFormatForChannels(4), static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(textureFormatForChannels(0), static_cast<uint32_t>(GL_RGBA));
}

class TextureLoad : public testing::TestWithParam<int> {};

TEST_P(TextureLoad, KeepsTheFilesChannelCountOnTheGpu) {
    const int channels = GetParam();
    const GLenum expected[] = {0, GL_RED, GL_RG, GL_RGB, GL_RGBA};
    TempDir dir;
    const auto pixels = patternPixels(4, 2, channels);
    Texture texture(writePng(dir, "image.png", 4, 2, channels, pixels));
    ASSERT_TRUE(texture.load());

    EXPECT_NE(texture.textureId, 0u);
    EXPECT_EQ(texture.width, 4);
    EXPECT_EQ(texture.height, 2);
    EXPECT_EQ(texture.channelCount, channels);
    const TextureInfo info = describe(texture.textureId);
    EXPECT_EQ(info.internalFormat, static_cast<GLint>(expected[channels]));
    EXPECT_EQ(readBack(texture.textureId, 4, 2, expected[channels], channels), pixels);
    texture.clear();
}

INSTANTIATE_TEST_SUITE_P(OneToFourChannels, TextureLoad, testing::Values(1, 2, 3, 4));

TEST(TextureLoadSettings, RepeatingMipmappedLinear) {
    TempDir dir;
    Texture texture(writePng(dir, "image.png", 8, 4, 4, patternPixels(8, 4, 4)));
    ASSERT_TRUE(texture.load());
    const TextureInfo info = describe(texture.textureId);
    EXPECT_EQ(info.wrapS, GL_REPEAT);
    EXPECT_EQ(info.wrapT, GL_REPEAT);
    EXPECT_EQ(info.minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(info.magFilter, GL_LINEAR);
    EXPECT_EQ(info.level1Width, 4) << "the mipmap chain is generated";
    texture.clear();
}

TEST(TextureLoadSettings, LoaderLeavesNoTextureBound) {
    TempDir dir;
    Texture texture(writePng(dir, "image.png", 2, 2, 3, patternPixels(2, 2, 3)));
    ASSERT_TRUE(texture.load());
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    texture.clear();
}

TEST(TextureUpload, OddWidthRgbRowsArriveExactlyAndUnflipped) {
    // 5 x 3 RGB: 15-byte rows, which the default 4-byte unpack alignment would misread.
    TempDir dir;
    const auto pixels = patternPixels(5, 3, 3);
    Texture texture(writePng(dir, "odd.png", 5, 3, 3, pixels));
    ASSERT_TRUE(texture.load());
    // Row 0 of the file is row 0 of the texture: no vertical flip.
    EXPECT_EQ(readBack(texture.textureId, 5, 3, GL_RGB, 3), pixels);
    texture.clear();
}

TEST(TextureUpload, OddWidthSingleChannelRowsArriveExactly) {
    TempDir dir;
    const auto pixels = patternPixels(3, 3, 1);
    Texture texture(writePng(dir, "odd.png", 3, 3, 1, pixels));
    ASSERT_TRUE(texture.load());
    EXPECT_EQ(readBack(texture.textureId, 3, 3, GL_RED, 1), pixels);
    texture.clear();
}

TEST(ClampedRgbLoad, SingleChannelImageBecomesGreyRgb) {
    TempDir dir;
    const auto grey = patternPixels(3, 2, 1);
    Texture texture(writePng(dir, "grey.png", 3, 2, 1, grey));
    ASSERT_TRUE(texture.loadClampedRgb());
    EXPECT_EQ(texture.channelCount, 1); // the file's own count
    const TextureInfo info = describe(texture.textureId);
    EXPECT_EQ(info.internalFormat, GL_RGB);
    std::vector<uint8_t> expected;
    for (uint8_t g : grey) {
        expected.insert(expected.end(), {g, g, g});
    }
    EXPECT_EQ(readBack(texture.textureId, 3, 2, GL_RGB, 3), expected);
    texture.clear();
}

TEST(ClampedRgbLoad, FourChannelImageDropsAlpha) {
    TempDir dir;
    const auto rgba = patternPixels(3, 2, 4);
    Texture texture(writePng(dir, "rgba.png", 3, 2, 4, rgba));
    ASSERT_TRUE(texture.loadClampedRgb());
    EXPECT_EQ(texture.channelCount, 4);
    EXPECT_EQ(texture.width, 3);
    EXPECT_EQ(texture.height, 2);
    const TextureInfo info = describe(texture.textureId);
    EXPECT_EQ(info.internalFormat, GL_RGB);
    EXPECT_EQ(info.wrapS, GL_CLAMP_TO_BORDER);
    EXPECT_EQ(info.wrapT, GL_CLAMP_TO_BORDER);
    EXPECT_EQ(info.minFilter, GL_LINEAR);
    EXPECT_EQ(info.magFilter, GL_LINEAR);
    std::vector<uint8_t> expected;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        expected.insert(expected.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    }
    EXPECT_EQ(readBack(texture.textureId, 3, 2, GL_RGB, 3), expected);
    texture.clear();
}

TEST(TextureFailure, MissingFilePrintsItsPathAndStaysEmpty) {
    TempDir dir;
    const std::string path = dir.path("nowhere.png").string();
    for (bool clamped : {false, true}) {
        Texture texture(path);
        texture.unit = 2;
        testing::internal::CaptureStdout();
        const bool loaded = clamped ? texture.loadClampedRgb() : texture.load();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to find: " + path + "\n");
        EXPECT_FALSE(loaded);
        EXPECT_EQ(texture.textureId, 0u);
        EXPECT_EQ(texture.unit, 2u);
    }
}

TEST(TextureFailure, FileThatIsNoImageCountsAsMissing) {
    TempDir dir;
    const std::string path = dir.write("fake.png", "not a png at all");
    Texture texture(path);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(texture.load());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to find: " + path + "\n");
    EXPECT_EQ(texture.textureId, 0u);
}

TEST(TextureClear, ReleasesTheTextureAndKeepsTheUnit) {
    TempDir dir;
    Texture texture(writePng(dir, "image.png", 2, 2, 4, patternPixels(2, 2, 4)));
    texture.unit = 1;
    ASSERT_TRUE(texture.load());
    const GLuint id = texture.textureId;
    EXPECT_TRUE(glIsTexture(id));
    texture.clear();
    EXPECT_FALSE(glIsTexture(id));
    EXPECT_EQ(texture.textureId, 0u);
    EXPECT_EQ(texture.width, 0);
    EXPECT_EQ(texture.height, 0);
    EXPECT_EQ(texture.channelCount, 0);
    EXPECT_EQ(texture.filePath, "");
    EXPECT_EQ(texture.unit, 1u);
}

TEST(TextureClear, NeverLoadedTextureClearsWithoutError) {
    Texture texture("Textures/none.png");
    texture.clear();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(texture.filePath, "");
}

TEST(StartupTextures, MissingImagesAreReportedInOrderAndTheRestLoads) {
    TempDir dir;
    writePng(dir, "Textures/gras.png", 4, 4, 3, patternPixels(4, 4, 3));
    writePng(dir, "Textures/gras_specular.png", 4, 4, 1, patternPixels(4, 4, 1));
    writePng(dir, "Textures/gras_normals.png", 4, 4, 3, patternPixels(4, 4, 3));
    writePng(dir, "UserInterface/timeP.png", 5, 1, 4, patternPixels(5, 1, 4));
    writePng(dir, "UserInterface/youwon.png", 4, 2, 4, patternPixels(4, 2, 4));
    WorkingDirectory inDir(dir.root);

    testing::internal::CaptureStdout();
    loadStartupTextures();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "Failed to find: Textures/particle.jpg\n"
                       "Failed to find: UserInterface/boostP.png\n"
                       "Failed to find: UserInterface/boost.png\n"
                       "Failed to find: UserInterface/boost_gauge.png\n"
                       "Failed to find: UserInterface/boost_gauge_pointer.png\n"
                       "Failed to find: UserInterface/time.png\n"
                       "Failed to find: UserInterface/youlost.png\n"
                       "Failed to find: UserInterface/getready.png\n"
                       "Failed to find: UserInterface/letroll.png\n"
                       "Failed to find: UserInterface/digits.png\n"
                       "Failed to find: UserInterface/best.png\n"
                       "Failed to find: UserInterface/newrecord.png\n"
                       "Failed to find: UserInterface/paused.png\n");

    EXPECT_NE(grassTexture.textureId, 0u);
    EXPECT_EQ(grassTexture.unit, 0u);
    EXPECT_EQ(grassSpecularTexture.unit, 1u);
    EXPECT_EQ(grassNormalTexture.unit, 2u);
    EXPECT_EQ(describe(grassSpecularTexture.textureId).internalFormat, GL_RED);
    EXPECT_EQ(youWonTexture.channelCount, 4);
    EXPECT_EQ(describe(youWonTexture.textureId).internalFormat, GL_RGBA);
    // The time bar goes through the clamped loader: RGB on the GPU whatever the file holds.
    EXPECT_EQ(describe(timePTexture.textureId).internalFormat, GL_RGB);
    EXPECT_EQ(describe(timePTexture.textureId).wrapS, GL_CLAMP_TO_BORDER);
    EXPECT_EQ(particleTexture.textureId, 0u);
    EXPECT_EQ(letRollTexture.textureId, 0u);

    const GLuint grassId = grassTexture.textureId;
    releaseStartupTextures();
    EXPECT_FALSE(glIsTexture(grassId));
    EXPECT_EQ(grassTexture.textureId, 0u);
    EXPECT_EQ(timePTexture.textureId, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
