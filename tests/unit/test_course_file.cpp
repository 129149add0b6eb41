// The course as a file: the shipped one reads as the course the game always had, and a broken copy is refused with
// one line naming the file and the key, never half-loaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/course.h"
#include "core/race.h"
#include "core/records.h"
#include "core/route.h"
#include "tests/support/checks.h"
#include "tests/support/files.h"
#include "tests/support/race_fixture.h"

namespace {

TEST(ShippedCourseFile, HoldsTheCourseTheGameWasBuiltWith) {
    Course c;
    ASSERT_EQ(stderrOf([&] { EXPECT_TRUE(loadCourse(KELVARA_DATA_DIR, defaultCourseId, c)); }), "");
    EXPECT_EQ(c.id, "valley");
    EXPECT_EQ(c.heightmapPath, "Textures/heightmap.png") << "a data folder laid out as before still plays";
    EXPECT_EQ(c.heightmapFile, dataFile("Textures/heightmap.png"));
    EXPECT_EQ(c.heightScale, 100.0f);
    EXPECT_EQ(c.startHeading, -60.0f);
    EXPECT_EQ(c.countdown, 20.0f);
    EXPECT_EQ(c.checkpointSeconds, 5.0f);
    EXPECT_EQ(c.checkpointBoost, 0.5f);
    EXPECT_EQ(c.startBoost, 0.5f);
    EXPECT_EQ(c.reachRadius, 5.5f);
    // The checkpoints to the last bit, and the heightmap's bytes: a new course file must not cost a player the
    // records the game filed under this course before courses became files.
    EXPECT_EQ(courseIdText(courseIdentity(c.heightmapFile, c.checkpoints)), "848eddd5ce5ed61c");
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
        if (i > 0) {
            EXPECT_GT(met[i].routePoint, met[i - 1].routePoint);
        }
    }
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
    for (int i = 0; i < count; ++i) {
        out += std::to_string(i) + " = " + std::to_string(i) + ", 0, " + std::to_string(-i) + "\n";
    }
    return out;
}

TEST(BrokenCourseFile, IsRefusedWithOneLineNamingTheFileAndTheKey) {
    std::string junk;
    for (int i = 0; i < 600; ++i) junk += char((i * 37 + 11) % 256);
    const struct {
        const char* what;
        std::string text;
        const char* key; // named on the line, as [section] key
    } cases[] = {
        {"a bad number", withLine("countdown", "countdown = abc"), "[course] countdown"},
        {"a number out of range", withLine("reach_radius", "reach_radius = -5"), "[course] reach_radius"},
        {"a missing key", withLine("reach_radius", ""), "[course] reach_radius"},
        {"a checkpoint with two numbers", withLine("3", "3 = -86.88912, -47.12315"), "[checkpoints] 3"},
        {"one checkpoint", withCheckpoints(1), "[checkpoints]"},
        {"40 checkpoints", withCheckpoints(40), "[checkpoints]"},
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

    // The same copy unbroken loads: each refusal above is its one edit's doing.
    TempDir data;
    data.write("Courses/copy/course.ini", shippedText());
    Course copy;
    EXPECT_EQ(stderrOf([&] { EXPECT_TRUE(loadCourse(data.root.string(), "copy", copy)); }), "");
    EXPECT_EQ(copy.checkpoints.size(), 10u);
    EXPECT_EQ(copy.heightmapFile, data.path("Textures/heightmap.png"));
}

// The grass map and the medal times may be left out: the shipped grass, and no medals.
TEST(CourseFile, TheGrassMapAndTheMedalTimesAreOptional) {
    TempDir data;
    std::string noMedals = withLine("gold", "");
    noMedals = noMedals.substr(0, noMedals.find("[medals]"));
    data.write("Courses/plain/course.ini", noMedals);
    Course plain;
    ASSERT_EQ(stderrOf([&] { EXPECT_TRUE(loadCourse(data.root.string(), "plain", plain)); }), "");
    EXPECT_EQ(plain.grassPath, "Textures/gras.png");
    EXPECT_EQ(plain.grassFile, data.path("Textures/gras.png"));
    EXPECT_EQ(plain.goldSeconds, 0.0f);
    EXPECT_EQ(plain.bronzeSeconds, 0.0f);

    // Its own grass, and only a bronze time.
    data.write("Courses/own/course.ini",
               noMedals.substr(0, noMedals.find("[checkpoints]")) + "grass = Courses/own/grass.png\n" +
                   noMedals.substr(noMedals.find("[checkpoints]")) + "[medals]\nbronze = 90\n");
    Course own;
    ASSERT_EQ(stderrOf([&] { EXPECT_TRUE(loadCourse(data.root.string(), "own", own)); }), "");
    EXPECT_EQ(own.grassFile, data.path("Courses/own/grass.png"));
    EXPECT_EQ(own.goldSeconds, 0.0f);
    EXPECT_EQ(own.bronzeSeconds, 90.0f);
}

// The heightmap is only opened when a race is made on the course (its refusal then: test_terrain.cpp).
TEST(BrokenCourseFile, AHeightmapThatIsNotThereStillLoadsTheCourse) {
    TempDir data;
    data.write("Courses/nomap/course.ini", withLine("heightmap", "heightmap = Textures/none.png"));
    Course course;
    EXPECT_EQ(stderrOf([&] { EXPECT_TRUE(loadCourse(data.root.string(), "nomap", course)); }), "");
    EXPECT_EQ(course.heightmapFile, data.path("Textures/none.png"));
}

TEST(BrokenCourseFile, ACourseThatIsNotThereOrNoCourseNameIsRefusedWithOneLine) {
    for (const char* id : {"nowhere", "../valley", "", "valley/../valley"}) {
        Course course;
        const std::string said = stderrOf([&] { EXPECT_FALSE(loadCourse(KELVARA_DATA_DIR, id, course)) << id; });
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << id << ": " << said;
        EXPECT_TRUE(course.checkpoints.empty()) << id;
    }
}

} // namespace
