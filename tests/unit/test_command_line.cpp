// The command line: a course asked for is told apart from none, a seed course from a named one, and --list-courses
// stands alone like --version.
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

TEST(CommandLine, ASeedCourseIsPlayedUnderItsIdAndAMalformedOneIsRefusedWithTheReason) {
    Launch launch = parse({"--course", "seed:7"});
    EXPECT_EQ(launch.action, LaunchAction::Play);
    EXPECT_TRUE(launch.madeCourse);
    EXPECT_EQ(launch.course, "seed-7-medium");
    launch = parse({"--course", "seed:4294967295:hard"});
    EXPECT_EQ(launch.course, "seed-4294967295-hard");
    EXPECT_EQ(launch.request.seed, 4294967295u);
    EXPECT_EQ(launch.request.difficulty, Difficulty::Hard);
    // Its folder's name is an ordinary id: played if it is there, never made.
    EXPECT_FALSE(parse({"--course", "seed-7-medium"}).madeCourse);

    for (const char* bad : {"seed:", "seed:x", "seed:-1", "seed:4294967296", "seed:1:extreme", "seed:1:"}) {
        launch = parse({"--course", bad});
        EXPECT_EQ(launch.action, LaunchAction::Refuse) << bad;
        EXPECT_NE(launch.problem.find(bad), std::string::npos) << launch.problem;
    }
    EXPECT_EQ(parse({"--course", "seed:1", "--course", "seed:2"}).action, LaunchAction::Refuse);
    EXPECT_NE(usageText().find("seed:N"), std::string::npos);
    EXPECT_EQ(usageText().rfind("Usage:", 0), 0u);
}

} // namespace
