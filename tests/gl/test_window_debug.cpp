// Debug-output lines: their wording, the name tables and the two silenced ids.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include "app/window.h"

namespace {

TEST(DebugMessage, FormatsEveryFieldInOrder) {
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 1280, GL_DEBUG_SEVERITY_HIGH, "bad enum"),
              "OpenGL Error: bad enum [Source = API, Type = Error, Severity = High, ID = 1280]");
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_SHADER_COMPILER, GL_DEBUG_TYPE_PERFORMANCE, 7, GL_DEBUG_SEVERITY_MEDIUM, "m"),
              "OpenGL Error: m [Source = Shader Compiler, Type = Performance, Severity = Medium, ID = 7]");
}

TEST(DebugMessage, AmdCategoriesShareNamesButTheApiCategoryIsNoType) {
    EXPECT_EQ(formatDebugMessage(0x9149, 0x9149, 1, GL_DEBUG_SEVERITY_LOW, "x"),
              "OpenGL Error: x [Source = API, Type = Unknown, Severity = Low, ID = 1]");
    EXPECT_EQ(formatDebugMessage(0x9150, 0x9150, 2, GL_DEBUG_SEVERITY_LOW, "x"),
              "OpenGL Error: x [Source = Other, Type = Other, Severity = Low, ID = 2]");
    EXPECT_EQ(formatDebugMessage(0x914E, 0x914B, 3, GL_DEBUG_SEVERITY_LOW, "x"),
              "OpenGL Error: x [Source = Shader Compiler, Type = Deprecated Behavior, Severity = Low, ID = 3]");
}

TEST(DebugMessage, NotificationsAndUnknownValuesPrintUnknown) {
    EXPECT_EQ(formatDebugMessage(0x1234, 0x5678, 4294967295u, GL_DEBUG_SEVERITY_NOTIFICATION, ""),
              "OpenGL Error:  [Source = Unknown, Type = Unknown, Severity = Unknown, ID = 4294967295]");
}

TEST(DebugMessage, OnlyTheTwoDriverIdsAreSilenced) {
    EXPECT_TRUE(isSilencedDebugMessage(131185));
    EXPECT_TRUE(isSilencedDebugMessage(131218));
    EXPECT_FALSE(isSilencedDebugMessage(131184));
    EXPECT_FALSE(isSilencedDebugMessage(0));
}

} // namespace
