// Courses: the shipped course file reads as the course the game always had, and a broken copy is refused with one
// line naming the file and the key, never half-loaded; the catalogue holds every playable folder of the data folder
// and the player's own, in a stable order, broken ones left out with a line each, a player's course taking a shipped
// id's place, heightmaps found beside their course; records and medals per course (the best medal a time is within,
// none for a medal the course does not give or a time that is none); and the last course remembered, with a
// fallback when it is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/course_list.h"
#include "core/medals.h"
#include "core/route.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

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

TEST_F(CourseListTest, EachCourseHasItsOwnRecordAndTheBestMedalItsTimeIsWithin) {
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

    // A time earns the best medal it is within.
    struct Case { float seconds, gold, silver, bronze; Medal expected; };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {30.0f, 30.0f, 35.0f, 40.0f, Medal::Gold},      // equal counts
        {30.001f, 30.0f, 35.0f, 40.0f, Medal::Silver},
        {35.0f, 30.0f, 35.0f, 40.0f, Medal::Silver},
        {39.99f, 30.0f, 35.0f, 40.0f, Medal::Bronze},
        {40.01f, 30.0f, 35.0f, 40.0f, Medal::None},
        {0.0f, 30.0f, 35.0f, 40.0f, Medal::Gold},
        // Medals the course gives no time for are skipped, never earned.
        {20.0f, 0.0f, 35.0f, 40.0f, Medal::Silver},
        {38.0f, 30.0f, 0.0f, 40.0f, Medal::Bronze},
        {20.0f, 0.0f, 0.0f, 0.0f, Medal::None},
        // No time: a race never won.
        {-1.0f, 30.0f, 35.0f, 40.0f, Medal::None},
        {inf, 30.0f, 35.0f, 40.0f, Medal::None},
        {std::nanf(""), 30.0f, 35.0f, 40.0f, Medal::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(medalFor(c.seconds, c.gold, c.silver, c.bronze), c.expected)
            << c.seconds << " against " << c.gold << "/" << c.silver << "/" << c.bronze;
    }
    Course course;
    std::tie(course.goldSeconds, course.silverSeconds, course.bronzeSeconds) = std::make_tuple(10.0f, 12.0f, 14.0f);
    EXPECT_EQ(medalFor(11.0f, course), Medal::Silver);
    EXPECT_STREQ(medalName(Medal::Bronze), "bronze");
    EXPECT_STREQ(medalName(Medal::None), "none");
}

TEST(LastCourse, IsRememberedAtomicallyReadBackWithAFallbackForAnythingElseAndChosenAtTheStart) {
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

    // The start course falls back to the default with one line.
    std::vector<CourseEntry> courses(3);
    for (int i = 0; i < 3; ++i) courses[i].course.id = std::array{defaultCourseId, "canyon", "meadow"}[i];
    struct Case { std::string requested, remembered; int expected, lines; };
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

TEST(ShippedCourseFile, HoldsTheCourseTheGameWasBuiltWithAndEveryShippedCourseLoads) {
    Course c;
    ASSERT_EQ(stderrOf([&] { EXPECT_TRUE(loadCourse(KELVARA_DATA_DIR, defaultCourseId, c)); }), "");
    EXPECT_EQ(c.id, "valley");
    EXPECT_EQ(c.heightmapPath, "Textures/heightmap.png") << "a data folder laid out as before still plays";
    EXPECT_EQ(c.heightmapFile, dataFile("Textures/heightmap.png"));
    EXPECT_EQ(std::make_tuple(c.heightScale, c.startHeading, c.countdown, c.checkpointSeconds, c.checkpointBoost,
                              c.startBoost, c.reachRadius),
              std::make_tuple(100.0f, -60.0f, 20.0f, 5.0f, 0.5f, 0.5f, 5.5f));
    // Raced along the route, the checkpoints come in the order the channel falls through them, the goal last.
    const float spacing = 0.5f;
    const SampledRoute sampled = sampleRoute(c.route, spacing);
    const std::vector<RouteCheckpoint> met = routeCheckpoints(c.route, sampled, spacing);
    const std::size_t order[] = {6, 4, 1, 2, 5, 7, 8, 3, 9};
    ASSERT_EQ(met.size(), std::size(order));
    for (std::size_t i = 0; i < met.size(); ++i) {
        EXPECT_EQ(met[i].index, order[i]);
        const glm::vec2 sample = sampled.samples[met[i].routePoint].position;
        EXPECT_LT(glm::distance(sample, glm::vec2(c.checkpoints[met[i].index].x, c.checkpoints[met[i].index].z)),
                  spacing)
            << "the centre line runs through checkpoint " << met[i].index;
        if (i > 0) { EXPECT_GT(met[i].routePoint, met[i - 1].routePoint); }
    }

    // Every shipped course loads, the valley first under the identity its records were always filed under.
    std::vector<CourseEntry> courses;
    EXPECT_EQ(stderrOf([&] { courses = listCourses(KELVARA_DATA_DIR, ""); }), "") << "every shipped course loads";
    ASSERT_FALSE(courses.empty());
    EXPECT_EQ(courses[0].course.id, defaultCourseId);
    EXPECT_EQ(courseIdText(courses[0].identity), "848eddd5ce5ed61c") << "the records it was always filed under";
    for (const CourseEntry& c : courses) EXPECT_EQ(c.origin, CourseOrigin::Shipped) << c.course.id;
}

std::string shippedText() {
    std::ifstream in(courseFilePath(KELVARA_DATA_DIR, defaultCourseId), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped text with the line that starts with key replaced by line (or dropped when line is empty).
std::string withLine(const std::string& key, const std::string& line) {
    std::istringstream in(shippedText());
    std::string out, l;
    while (std::getline(in, l)) {
        if (l.rfind(key + " =", 0) == 0) {
            if (!line.empty()) out += line + "\n";
        } else {
            out += l + "\n";
        }
    }
    return out;
}

std::string withCheckpoints(int count) {
    std::string out = shippedText();
    out = out.substr(0, out.find("[checkpoints]")) + "[checkpoints]\n";
    for (int i = 0; i < count; ++i) out += std::to_string(i) + " = " + std::to_string(i) + ", 0, " + std::to_string(-i) + "\n";
    return out;
}

TEST(BrokenCourseFile, IsRefusedWithOneLineNamingTheFileAndTheKeyAsIsOneThatIsNotThere) {
    std::string junk;
    for (int i = 0; i < 600; ++i) junk += char((i * 37 + 11) % 256);
    // The key is named on the line as [section] key, with what is wrong where it matters.
    const struct { const char* what; std::string text; const char* key; } cases[] = {
        {"a bad number", withLine("countdown", "countdown = abc"),
         "[course] countdown = \"abc\", expected a number from 1 to 3600"},
        {"a number out of range", withLine("reach_radius", "reach_radius = -5"), "[course] reach_radius"},
        {"a missing key", withLine("reach_radius", ""), "[course] reach_radius is missing, expected a number"},
        {"a checkpoint with two numbers", withLine("3", "3 = -86.88912, -47.12315"), "[checkpoints] 3"},
        {"one checkpoint", withCheckpoints(1), "[checkpoints] holds 1 checkpoint, expected 2 to 32 checkpoints"},
        {"40 checkpoints", withCheckpoints(40), "[checkpoints] holds 40 checkpoints, expected 2 to 32"},
        {"a gap in the checkpoints", withLine("4", ""), "[checkpoints] 4"},
        {"a route through a checkpoint there is not", withLine("42", "42 = -172.0, 154.0\n43 = checkpoint 12"),
         "[route] 43"},
        {"a medal time no faster than the one before", withLine("silver", "silver = 40"), "[medals] silver"},
        {"a medal time that is no number", withLine("bronze", "bronze = soon"), "[medals] bronze"},
        {"a grass map outside the data folder",
         withLine("heightmap", "heightmap = Textures/heightmap.png\ngrass = ../gras.png"), "[course] grass"},
        {"binary junk", junk, ""},
    };
    for (const auto& c : cases) {
        TempDir data;
        const std::string path = data.write("Courses/broken/course.ini", c.text);
        Course course = testCourse();
        const std::string said =
            stderrOf([&] { EXPECT_FALSE(loadCourse(data.root.string(), "broken", course)) << c.what; });
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what << ": " << said;
        EXPECT_EQ(said.rfind(path + ": ", 0), 0u) << c.what << ": " << said;
        EXPECT_NE(said.find(c.key), std::string::npos) << c.what << ": " << said;
        EXPECT_NE(said.find("refused"), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(course.name, "Test Meadow") << c.what << ": the course handed in is left as it was";
        EXPECT_EQ(course.checkpoints.size(), 4u) << c.what;
    }
    // A course that is not there, or no course name, is refused with one line.
    for (const char* id : {"nowhere", "../valley", "", "valley/../valley"}) {
        Course course;
        const std::string said = stderrOf([&] { EXPECT_FALSE(loadCourse(KELVARA_DATA_DIR, id, course)) << id; });
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << id << ": " << said;
        EXPECT_TRUE(course.checkpoints.empty()) << id;
    }
}

// The unbroken copy loads, so each refusal above is its one edit's doing; the grass map and the medal times may be
// left out (the shipped grass, no medals), and the heightmap is only opened when a race is made (test_terrain.cpp).
TEST(CourseFile, TheGrassMapTheMedalTimesAndTheHeightmapFileAreNotNeededToLoad) {
    TempDir data;
    const Course shipped = shippedCourse();
    std::string noMedals = withLine("gold", "");
    noMedals = noMedals.substr(0, noMedals.find("[medals]"));
    const std::string cut = noMedals.substr(0, noMedals.find("[checkpoints]"));
    const std::string checkpoints = noMedals.substr(noMedals.find("[checkpoints]"));
    const struct { const char* id; std::string text, heightmap, grass; float gold, bronze; } cases[] = {
        {"copy", shippedText(), "Textures/heightmap.png", "Textures/gras.png", shipped.goldSeconds,
         shipped.bronzeSeconds},
        {"plain", noMedals, "Textures/heightmap.png", "Textures/gras.png", 0.0f, 0.0f},
        {"own", cut + "grass = Courses/own/grass.png\n" + checkpoints + "[medals]\nbronze = 90\n",
         "Textures/heightmap.png", "Courses/own/grass.png", 0.0f, 90.0f},
        {"nomap", withLine("heightmap", "heightmap = Textures/none.png"), "Textures/none.png", "Textures/gras.png",
         shipped.goldSeconds, shipped.bronzeSeconds},
    };
    for (const auto& c : cases) {
        data.write(std::string("Courses/") + c.id + "/course.ini", c.text);
        Course course;
        EXPECT_EQ(stderrOf([&] { EXPECT_TRUE(loadCourse(data.root.string(), c.id, course)) << c.id; }), "") << c.id;
        EXPECT_EQ(course.checkpoints.size(), 10u) << c.id;
        EXPECT_EQ(course.heightmapFile, data.path(c.heightmap)) << c.id;
        EXPECT_EQ(course.grassPath, c.grass) << c.id;
        EXPECT_EQ(course.grassFile, data.path(c.grass)) << c.id;
        EXPECT_EQ(course.goldSeconds, c.gold) << c.id;
        EXPECT_EQ(course.bronzeSeconds, c.bronze) << c.id;
    }
}

} // namespace
