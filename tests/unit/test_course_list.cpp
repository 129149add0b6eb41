// The course catalogue: every playable folder of the data folder and the player's own, in a stable order; broken
// ones left out with a line each; a player's course taking a shipped id's place; heightmaps found beside their course;
// records and medals per course; and the last course remembered, with a fallback when it is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/course_list.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"

namespace {

std::string courseText(const std::string& name, const std::string& heightmap, const std::string& goal = "10, 0, 10",
                       const std::string& extra = "") {
    return "[course]\nname = " + name + "\nheightmap = " + heightmap +
           "\nheight_scale = 100\nstart_heading = 0\ncountdown = 20\ncheckpoint_seconds = 5\n"
           "checkpoint_boost = 0.5\nstart_boost = 0.5\nreach_radius = 5\n" + extra +
           "[checkpoints]\n0 = 0, 0, 0\n1 = " + goal + "\n";
}

void writeHeightmap(const std::string& path, uint16_t level = 30000) {
    ASSERT_TRUE(writePng(path, 8, 8, 1, 16, std::vector<uint16_t>(64, level)));
}

int lines(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

std::vector<std::string> ids(const std::vector<CourseEntry>& courses) {
    std::vector<std::string> out;
    for (const CourseEntry& c : courses) out.push_back(c.course.id);
    return out;
}

class CourseListTest : public ::testing::Test {
protected:
    // A shipped course whose heightmap is named from the data folder, as the shipped ones are.
    void ship(const std::string& id, const std::string& extra = "") {
        writeHeightmap(dir.path("data/Courses/" + id + "/heightmap.png"));
        dir.write("data/Courses/" + id + "/course.ini",
                  courseText("Shipped " + id, "Courses/" + id + "/heightmap.png", "10, 0, 10", extra));
    }
    // A player's course with its heightmap beside its course file.
    void own(const std::string& id, const std::string& goal = "10, 0, 10") {
        writeHeightmap(dir.path("player/" + id + "/ground.png"));
        dir.write("player/" + id + "/course.ini", courseText("Own " + id, "ground.png", goal));
    }
    std::vector<CourseEntry> list() { return listCourses(data, player); }

    TempDir dir;
    std::string data = dir.path("data"), player = dir.path("player");
};

TEST_F(CourseListTest, ShippedCoursesComeFirstWithTheDefaultLeadingThenThePlayersByName) {
    for (const char* id : {"zeta", "alpha", defaultCourseId}) ship(id, "[medals]\ngold = 20\nsilver = 25\nbronze = 30\n");
    own("mine");
    own("another");
    writeHeightmap(dir.path("data/Courses/alpha/preview.png"));
    std::vector<CourseEntry> courses;
    EXPECT_EQ(stderrOf([&] { courses = list(); }), "");
    EXPECT_EQ(ids(courses), (std::vector<std::string>{defaultCourseId, "alpha", "zeta", "another", "mine"}));
    EXPECT_EQ(courses[1].origin, CourseOrigin::Shipped);
    EXPECT_EQ(courses[4].origin, CourseOrigin::Player);
    EXPECT_EQ(courses[4].folder, player + "/mine");
    EXPECT_EQ(courses[4].course.name, "Own mine");
    EXPECT_EQ(courses[1].previewFile, data + "/Courses/alpha/preview.png");
    EXPECT_EQ(courses[2].previewFile, "") << "no picture: none named";
    EXPECT_FLOAT_EQ(courses[0].course.silverSeconds, 25.0f);
    EXPECT_EQ(findCourse(courses, "zeta"), 2);
    EXPECT_EQ(findCourse(courses, "gone"), -1);
    // No player folder at all is no courses of one's own, and nothing to say.
    EXPECT_EQ(stderrOf([&] {
                  EXPECT_EQ(listCourses(data, dir.path("nowhere")).size(), 3u);
                  EXPECT_EQ(listCourses(data, "").size(), 3u);
              }),
              "");
}

TEST_F(CourseListTest, ABrokenCourseIsLeftOutWithOneLineNamingItsFileAndProblem) {
    own("good");
    own("badnumber");
    std::string bad = courseText("Bad", "ground.png");
    bad.replace(bad.find("countdown = 20"), 14, "countdown = soon");
    dir.write("player/badnumber/course.ini", bad);
    dir.write("player/nomap/course.ini", courseText("No map", "missing.png"));
    dir.write("player/notpng/course.ini", courseText("Not a picture", "ground.png"));
    dir.write("player/notpng/ground.png", "just text");
    own("bad name");
    fs::create_directories(dir.path("player/nofile"));
    dir.write("player/notes.txt", "a note beside the courses is no course");
    fs::create_directories(dir.path("player/.hidden"));

    std::vector<CourseEntry> courses;
    const std::string err = stderrOf([&] { courses = list(); });
    EXPECT_EQ(ids(courses), (std::vector<std::string>{"good"}));
    EXPECT_EQ(lines(err), 5) << err;
    for (const char* named : {"badnumber/course.ini", "countdown", "nomap/course.ini", "missing.png",
                              "notpng/course.ini", "bad name", "nofile/course.ini"}) {
        EXPECT_NE(err.find(named), std::string::npos) << named << " in:\n" << err;
    }
}

TEST_F(CourseListTest, APlayersCourseWithAShippedIdTakesItsPlaceWithOneLine) {
    ship("alpha");
    ship("beta");
    own("alpha");
    std::vector<CourseEntry> courses;
    const std::string err = stderrOf([&] { courses = list(); });
    ASSERT_EQ(ids(courses), (std::vector<std::string>{"beta", "alpha"}));
    EXPECT_EQ(courses[1].origin, CourseOrigin::Player);
    EXPECT_EQ(courses[1].course.name, "Own alpha");
    EXPECT_EQ(lines(err), 1);
    EXPECT_NE(err.find(player + "/alpha"), std::string::npos);
}

TEST_F(CourseListTest, AHeightmapIsFoundBesideItsCourseFirstAndItsBytesMakeTheIdentity) {
    own("here");
    writeHeightmap(dir.path("data/Textures/shared.png"));
    dir.write("player/shared/course.ini", courseText("Shared", "Textures/shared.png"));
    own("moved", "20, 0, 20");
    const std::vector<CourseEntry> courses = list();
    ASSERT_EQ(ids(courses), (std::vector<std::string>{"here", "moved", "shared"}));
    EXPECT_EQ(courses[0].course.heightmapFile, player + "/here/ground.png");
    EXPECT_EQ(courses[2].course.heightmapFile, data + "/Textures/shared.png");
    // The same bytes and checkpoints in another place are the same course, so its record follows it; moved
    // checkpoints make another course.
    EXPECT_NE(courses[0].identity, 0u);
    EXPECT_EQ(courses[0].identity, courses[2].identity);
    EXPECT_NE(courses[0].identity, courses[1].identity);
    EXPECT_EQ(courseFileIn(player + "/here", data, "/abs/map.png"), "/abs/map.png");
}

TEST(ShippedCourses, AllLoadWithTheValleyFirstAndItsIdentity) {
    std::vector<CourseEntry> courses;
    EXPECT_EQ(stderrOf([&] { courses = listCourses(KELVARA_DATA_DIR, ""); }), "") << "every shipped course loads";
    ASSERT_FALSE(courses.empty());
    EXPECT_EQ(courses[0].course.id, defaultCourseId);
    EXPECT_EQ(courseIdText(courses[0].identity), "848eddd5ce5ed61c") << "the records it was always filed under";
    for (const CourseEntry& c : courses) EXPECT_EQ(c.origin, CourseOrigin::Shipped) << c.course.id;
}

TEST_F(CourseListTest, EachCourseHasItsOwnRecordAndTheMedalItEarns) {
    ship(defaultCourseId, "[medals]\ngold = 20\nsilver = 25\nbronze = 30\n");
    own("mine", "30, 0, 30");
    std::vector<CourseEntry> courses = list();
    ASSERT_EQ(courses.size(), 2u);
    const std::string records = dir.path("records.ini");
    CourseRecord current;
    ASSERT_TRUE(offerRecord(records, courses[0].identity, 24.5f, "2025-01-02T03:04:05Z", current));
    loadCatalogueRecords(courses, records);
    EXPECT_TRUE(courses[0].record.has);
    EXPECT_FLOAT_EQ(courses[0].record.seconds, 24.5f);
    EXPECT_EQ(bestMedal(courses[0]), Medal::Silver);
    EXPECT_FALSE(courses[1].record.has);
    EXPECT_EQ(bestMedal(courses[1]), Medal::None);
    loadCatalogueRecords(courses, "");
    EXPECT_FALSE(courses[0].record.has) << "without a records file there are none";
}

TEST(PlayerFolders, CoursesAndTheLastCourseLiveInThePlayersDataFolder) {
    EXPECT_EQ(playerCoursesFolderFrom("/data", "/home/a"), "/data/kelvara-golf/courses");
    EXPECT_EQ(playerCoursesFolderFrom("relative", "/home/a"), "/home/a/.local/share/kelvara-golf/courses");
    EXPECT_EQ(playerCoursesFolderFrom(nullptr, nullptr), "");
    EXPECT_EQ(lastCoursePathFrom("/data", nullptr), "/data/kelvara-golf/last-course");
    EXPECT_EQ(lastCoursePathFrom(nullptr, "/home/a"), "/home/a/.local/share/kelvara-golf/last-course");
}

TEST(LastCourse, IsRememberedAtomicallyAndReadBackWithAFallbackForAnythingElse) {
    TempDir dir;
    const std::string path = lastCoursePathFrom(dir.root.c_str(), nullptr);
    EXPECT_EQ(stderrOf([&] { EXPECT_EQ(readLastCourse(path), "") << "the first start"; }), "");

    EXPECT_TRUE(rememberLastCourse(path, "canyon"));
    EXPECT_EQ(readLastCourse(path), "canyon");
    EXPECT_TRUE(rememberLastCourse(path, "meadow"));
    EXPECT_EQ(readLastCourse(path), "meadow");
    dir.write("kelvara-golf/last-course", "meadow  \r\n");
    EXPECT_EQ(readLastCourse(path), "meadow") << "a hand-edited line";

    for (const std::string& junk : {std::string("../../etc"), std::string("\x89PNG\r\n\x1a\n", 8), std::string(300, 'a'),
                                   std::string("")}) {
        dir.write("kelvara-golf/last-course", junk);
        const std::string err = stderrOf([&] { EXPECT_EQ(readLastCourse(path), ""); });
        EXPECT_EQ(lines(err), 1) << err;
        EXPECT_NE(err.find(path), std::string::npos);
    }
    // A place that cannot be written (its folder is a file): one line, and the game goes on.
    dir.write("blocked", "a file");
    EXPECT_EQ(lines(stderrOf([&] { EXPECT_FALSE(rememberLastCourse(dir.path("blocked/last-course"), "canyon")); })), 1);
    EXPECT_TRUE(rememberLastCourse("", "canyon")) << "no player folder: nothing to remember";
}

TEST(LastCourse, TheStartCourseFallsBackToTheDefaultWithOneLine) {
    std::vector<CourseEntry> courses(3);
    courses[0].course.id = defaultCourseId;
    courses[1].course.id = "canyon";
    courses[2].course.id = "meadow";
    struct Case {
        std::string requested, remembered;
        int expected, lines;
    };
    const Case cases[] = {
        {"", "", 0, 0},             // the first start
        {"", "meadow", 2, 0},       // where the player left off
        {"canyon", "meadow", 1, 0}, // the command line wins
        {"", "gone", 0, 1},         // removed or broken since
        {"gone", "meadow", 0, 1},
    };
    for (const Case& c : cases) {
        const std::string err = stderrOf([&] {
            EXPECT_EQ(chooseStartCourse(courses, c.requested, c.remembered), c.expected) << c.requested << c.remembered;
        });
        EXPECT_EQ(lines(err), c.lines) << err;
        EXPECT_EQ(err.find("gone") != std::string::npos, c.lines > 0) << err;
    }
    // Without the default course the first one is played, with a line.
    courses.erase(courses.begin());
    EXPECT_EQ(lines(stderrOf([&] { EXPECT_EQ(chooseStartCourse(courses, "", ""), 0); })), 1);
    EXPECT_EQ(chooseStartCourse({}, "canyon", ""), -1);
}

} // namespace
