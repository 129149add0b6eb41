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

// The checkpoint table the game was built with before courses became files, start first and goal last.
const glm::vec3 builtInCheckpoints[] = {
    {146.49858f, 53.190834f, -170.73547f},  {141.24854f, 20.0f, -70.77913f},     {45.78613f, -22.39385f, 80.911545f},
    {-86.88912f, -47.12315f, 201.9925f},    {85.1038f, 17.628458f, -110.7592f},
    {-108.14492f, -14.227075f, -10.720229f}, {53.117485f, 19.71628f, -144.23117f},
    {-73.28401f, -25.34903f, -68.47487f},   {-178.2177f, -40.63721f, 17.28054f}, {-133.0f, -74.5f, 177.0f},
};

// The route the heightmap generator carved the channel along: a checkpoint's index, or -1 and a waypoint's x, z.
struct BuiltInRoutePoint {
    int checkpoint;
    float x, z;
};
const BuiltInRoutePoint builtInRoute[] = {
    {0, 0, 0},       {-1, 144.5f, -196.0f}, {-1, 137.0f, -210.0f}, {-1, 120.0f, -216.0f}, {-1, 99.0f, -216.5f},
    {-1, 79.5f, -217.0f}, {-1, 61.0f, -212.5f}, {-1, 47.5f, -199.0f}, {-1, 42.5f, -180.5f}, {-1, 44.5f, -167.5f},
    {-1, 49.0f, -156.5f}, {6, 0, 0},  {4, 0, 0},  {1, 0, 0},  {-1, 158.0f, -40.0f}, {-1, 152.0f, 8.0f},
    {-1, 120.0f, 52.0f}, {-1, 82.0f, 76.0f},   {2, 0, 0},   {-1, -10.0f, 76.0f}, {-1, -60.0f, 56.0f},
    {-1, -95.0f, 20.0f}, {5, 0, 0},   {7, 0, 0},  {-1, -58.0f, -95.0f}, {-1, -72.0f, -122.0f},
    {-1, -102.0f, -130.0f}, {-1, -130.0f, -118.0f}, {-1, -148.0f, -92.0f}, {-1, -163.0f, -55.0f},
    {-1, -174.0f, -20.0f}, {8, 0, 0}, {-1, -170.0f, 52.0f}, {-1, -144.0f, 86.0f}, {-1, -90.8f, 126.6f},
    {-1, -34.6f, 174.4f}, {-1, -30.7f, 192.4f}, {-1, -40.5f, 207.9f}, {-1, -62.5f, 210.8f}, {3, 0, 0}, {9, 0, 0},
    {-1, -156.0f, 164.0f}, {-1, -172.0f, 154.0f},
};

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
    ASSERT_EQ(c.checkpoints.size(), std::size(builtInCheckpoints));
    for (std::size_t i = 0; i < c.checkpoints.size(); ++i) {
        EXPECT_EQ(c.checkpoints[i], builtInCheckpoints[i]) << "checkpoint " << i << ", to the last bit";
    }

    ASSERT_EQ(c.route.size(), std::size(builtInRoute));
    for (std::size_t i = 0; i < c.route.size(); ++i) {
        const BuiltInRoutePoint& p = builtInRoute[i];
        EXPECT_EQ(c.route[i].checkpoint, p.checkpoint) << "route point " << i;
        const glm::vec2 at = p.checkpoint < 0 ? glm::vec2(p.x, p.z)
                                              : glm::vec2(builtInCheckpoints[p.checkpoint].x,
                                                          builtInCheckpoints[p.checkpoint].z);
        EXPECT_EQ(c.route[i].position, at) << "route point " << i;
    }
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

// A new course file must not cost a player the records filed under the course before it was a file.
TEST(ShippedCourseFile, KeepsTheCourseIdentityPlayersRecordsAreFiledUnder) {
    const Course c = shippedCourse();
    // The records section the game wrote for this course before courses became files.
    EXPECT_EQ(courseIdText(courseIdentity(dataFile("Textures/heightmap.png"), c.checkpoints)), "848eddd5ce5ed61c");
    EXPECT_EQ(courseIdentity(c.heightmapFile, c.checkpoints), 0x848eddd5ce5ed61cull);
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

// The heightmap is only opened when a race is made on the course.
TEST(BrokenCourseFile, AHeightmapThatIsNotThereLoadsTheCourseButMakesNoRace) {
    TempDir data;
    data.write("Courses/nomap/course.ini", withLine("heightmap", "heightmap = Textures/none.png"));
    Course course;
    ASSERT_TRUE(loadCourse(data.root.string(), "nomap", course));
    std::unique_ptr<Race> race;
    const std::string said = stderrOf([&] { race = makeRace(course); });
    EXPECT_EQ(race, nullptr);
    EXPECT_EQ(said, "Error loading heightmap from file (" + data.path("Textures/none.png") + ") \n");
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
