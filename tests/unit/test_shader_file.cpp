// Shader sources as the compiler receives them, and the failure a missing file raises.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/shader_file.h"
#include "tests/support/files.h"

namespace {

TEST(ReadShaderFile, EveryLineEndsInANewlineAndAFinalNewlineAddsAnEmptyLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"first\nsecond\n", "first\nsecond\n\n"},
        {"first\nsecond", "first\nsecond\n"},
        {"", "\n"},
        {"void main() {\n\n    x = 1;\n}", "void main() {\n\n    x = 1;\n}\n"},
    };
    TempDir dir;
    for (const auto& [text, expected] : cases) EXPECT_EQ(readShaderFile(dir.write("a.vert", text).c_str()), expected);
}

TEST(ReadShaderFile, AMissingFileOrAFolderThrowsNamingThePath) {
    TempDir dir;
    for (const std::string& path : {dir.path("missing.vert"), dir.root.string()}) {
        std::unique_ptr<FileNotFoundException> error;
        try {
            readShaderFile(path.c_str());
        } catch (FileNotFoundException* e) {
            error.reset(e);
        }
        ASSERT_NE(error, nullptr) << path;
        EXPECT_STREQ(error->what(), "Failed to load shader file. File doesn't exist.");
        EXPECT_STREQ(error->getFileName(), path.c_str());
    }
}

} // namespace
