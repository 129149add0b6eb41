// The command line: a course asked for is told apart from none, and --list-courses stands alone like --version.
#include <gtest/gtest.h>

#include <vector>

#include "core/command_line.h"

namespace {

Launch parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "kelvara-golf");
    return parseCommandLine(int(arguments.size()), arguments.data());
}

TEST(CommandLine, NoCourseAskedForLeavesTheChoiceToTheGame) {
    const Launch launch = parse({});
    EXPECT_EQ(launch.action, LaunchAction::Play);
    EXPECT_TRUE(launch.course.empty());
    EXPECT_EQ(parse({"--course", "canyon"}).course, "canyon");
    EXPECT_EQ(parse({"--course", "valley"}).course, "valley");
}

TEST(CommandLine, ListCoursesAloneListsAndAnythingBesideItIsRefused) {
    EXPECT_EQ(parse({"--list-courses"}).action, LaunchAction::ListCourses);
    for (const std::vector<const char*>& arguments :
         {std::vector<const char*>{"--list-courses", "--course", "canyon"},
          std::vector<const char*>{"--course", "canyon", "--list-courses"},
          std::vector<const char*>{"--list-courses", "--version"}}) {
        const Launch launch = parse(arguments);
        EXPECT_EQ(launch.action, LaunchAction::Refuse);
        EXPECT_FALSE(launch.problem.empty());
    }
    EXPECT_NE(usageText().find("--list-courses"), std::string::npos);
}

TEST(CommandLine, ACourseNameThatCannotBeAFolderIsRefused) {
    for (const char* id : {"../valley", "", "a b"}) {
        EXPECT_EQ(parse({"--course", id}).action, LaunchAction::Refuse) << id;
    }
    EXPECT_EQ(parse({"--course"}).action, LaunchAction::Refuse);
    EXPECT_EQ(parse({"--course", "a", "--course", "b"}).action, LaunchAction::Refuse);
}

} // namespace
