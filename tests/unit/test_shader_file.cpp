// Shader programs without a context: source reading (line ends, missing files) and the ActiveUniforms copies.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/shader.h"
#include "tests/support/temp_files.h"

namespace {

using testfiles::TempDir;

// Reads path and returns the FileNotFoundException it throws (by pointer), or null when nothing is thrown.
std::unique_ptr<FileNotFoundException> readExpectingMissing(const char* path) {
    try {
        readShaderFile(path);
    } catch (FileNotFoundException* e) {
        return std::unique_ptr<FileNotFoundException>(e);
    }
    return nullptr;
}

TEST(ReadShaderFile, FinalNewlineGivesOneExtraEmptyLine) {
    TempDir dir;
    const std::string path = dir.write("a.vert", "first\nsecond\n");
    EXPECT_EQ(readShaderFile(path.c_str()), "first\nsecond\n\n");
}

TEST(ReadShaderFile, LastLineWithoutNewlineStillEndsInNewline) {
    TempDir dir;
    const std::string path = dir.write("a.vert", "first\nsecond");
    EXPECT_EQ(readShaderFile(path.c_str()), "first\nsecond\n");
}

TEST(ReadShaderFile, EmptyFileGivesOneNewline) {
    TempDir dir;
    const std::string path = dir.write("empty.frag", "");
    EXPECT_EQ(readShaderFile(path.c_str()), "\n");
}

TEST(ReadShaderFile, KeepsBlankLinesAndIndentation) {
    TempDir dir;
    const std::string path = dir.write("a.frag", "void main() {\n\n    x = 1;\n}");
    EXPECT_EQ(readShaderFile(path.c_str()), "void main() {\n\n    x = 1;\n}\n");
}

TEST(ReadShaderFile, MissingFileThrowsWithMessageAndTheCallersPath) {
    TempDir dir;
    const std::string path = dir.path("missing.vert").string();
    const auto e = readExpectingMissing(path.c_str());
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->what(), "Failed to load shader file. File doesn't exist.");
    // The path is the caller's text, not a copy.
    EXPECT_EQ(e->getFileName(), path.c_str());
}

TEST(ReadShaderFile, FolderInsteadOfFileThrowsRatherThanLooping) {
    TempDir dir;
    const std::string path = dir.root.string();
    const auto e = readExpectingMissing(path.c_str());
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->getFileName(), path.c_str());
}

// Distinct values per field, so a copy into the wrong field shows.
Shader shaderWithDistinctLocations() {
    Shader s;
    s.programId = 100;
    s.projectionLocation = 1;
    s.modelLocation = 2;
    s.viewLocation = 3;
    s.eyePositionLocation = 4;
    s.ambientIntensityLocation = 5;
    s.colourLocation = 6;
    s.diffuseIntensityLocation = 7;
    s.directionLocation = 8;
    s.specularIntensityLocation = 9;
    s.shininessLocation = 10;
    s.reflectivityLocation = 11;
    return s;
}

constexpr int32_t untouched = 99;

void fillActiveUniforms(int32_t value) {
    activeUniforms = ActiveUniforms{value, value, value, value, value, value, value, value, value,
                                    value, value, value, value, value, value, value, value, value};
}

TEST(ActiveUniforms, BasicCopyTakesModelProjectionViewOnly) {
    fillActiveUniforms(untouched);
    activateBasicUniforms(shaderWithDistinctLocations());
    EXPECT_EQ(activeUniforms.projection, 1);
    EXPECT_EQ(activeUniforms.model, 2);
    EXPECT_EQ(activeUniforms.view, 3);
    // A pass that fills only some fields leaves the others as the previous pass left them.
    EXPECT_EQ(activeUniforms.eyePosition, untouched);
    EXPECT_EQ(activeUniforms.colour, untouched);
    EXPECT_EQ(activeUniforms.reflectivity, untouched);
    EXPECT_EQ(activeUniforms.lightSpace, untouched);
}

TEST(ActiveUniforms, FullCopyTakesTheElevenCachedLocations) {
    fillActiveUniforms(untouched);
    activateAllUniforms(shaderWithDistinctLocations());
    EXPECT_EQ(activeUniforms.projection, 1);
    EXPECT_EQ(activeUniforms.model, 2);
    EXPECT_EQ(activeUniforms.view, 3);
    EXPECT_EQ(activeUniforms.eyePosition, 4);
    EXPECT_EQ(activeUniforms.ambientIntensity, 5);
    EXPECT_EQ(activeUniforms.colour, 6);
    EXPECT_EQ(activeUniforms.diffuseIntensity, 7);
    EXPECT_EQ(activeUniforms.direction, 8);
    EXPECT_EQ(activeUniforms.specularIntensity, 9);
    EXPECT_EQ(activeUniforms.shininess, 10);
    EXPECT_EQ(activeUniforms.reflectivity, 11);
    // The names a pass looks up itself are not the Shader's to fill.
    EXPECT_EQ(activeUniforms.lightSpace, untouched);
    EXPECT_EQ(activeUniforms.debugNormals, untouched);
    EXPECT_EQ(activeUniforms.smoothShadows, untouched);
    EXPECT_EQ(activeUniforms.diffuseMap, untouched);
    EXPECT_EQ(activeUniforms.animateTime, untouched);
    activeUniforms = ActiveUniforms{};
}

} // namespace
