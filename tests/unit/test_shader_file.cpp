// Shader programs without a context: source reading (line ends, missing files) and the ActiveUniforms copies.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/shader_file.h"
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

} // namespace
