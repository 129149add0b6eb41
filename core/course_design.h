// A course's design as data (its route with the ground under each checkpoint, the shape of its channel and land,
// its race numbers and grass colours) and how a design becomes a course: the heightmap carved along its route, the
// checkpoints set on the carved ground, the course file, the grass and the menu's small map. The generator makes the
// shipped courses with it, and the game the courses it makes from seeds.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <glm/vec3.hpp>

#include "core/course.h"
#include "core/course_shape.h"
#include "core/image_io.h"
#include "core/terrain.h"

// An extra knot shaping the floor between checkpoints: (checkpoint, distance along the route from it, height above
// that checkpoint's ground).
struct ProfileKnot {
    int checkpoint;
    double offset; // world units along the route, negative before the checkpoint
    double height; // world units above the checkpoint's ground
};

// The land around the course.
struct LandShape {
    double hillHeight = 26.0;     // world units, top of the tallest hills above the course level
    double hillScale = 80.0;      // world units per noise period
    double swellHeight = 3.0;     // world units, either way
    double mountainHeight = 75.0;
    int noiseSeed = 7;            // third noise coordinate: picks one fixed landscape
};

// Colours of the grass map, 0..1. The brightest blade stays near 0.7 so sunlit grass never crosses the glow threshold.
struct GrassTint {
    glm::vec3 soil;
    glm::vec3 dark;
    glm::vec3 light;
    glm::vec3 dry; // a few blades of this colour
};

// A control point of the route: a waypoint, or (with a ground height) the next checkpoint in race order.
struct DesignPoint {
    double x;
    double z;
    bool checkpoint = false;
    double ground = 0.0; // world units: the drawn ground under the checkpoint
};

struct CourseDesign {
    std::string id;
    std::string name;
    std::string about; // one line for the course file's head
    std::vector<DesignPoint> route;
    std::vector<ProfileKnot> knots;
    ChannelShape channel;
    LandShape land;
    float countdown = 20.0f;
    float checkpointSeconds = 5.0f;
    float checkpointBoost = 0.5f;
    float startBoost = 0.5f;
    float reachRadius = 5.5f;
    GrassTint grass;
    uint32_t grassSeed = 20240611;
};

// Ground under the checkpoints. The collision surface lies 0.5 above the drawn one and the ball's radius is 0.5,
// so a ball rolling on the floor has its centre 1 unit above the drawn ground: 0.75 below the checkpoint.
constexpr double groundBelowCheckpoint = 1.75; // world units
constexpr double groundBelowGoal = 1.2;        // the game presses its hollow (about 2.4 deeper) on top
constexpr double goalAboveHollow = 3.64;       // the goal above the ground with the hollow pressed

// The carved map: one sample per world unit; grid point (x, z) lies at world (x - 256, y, z - 256).
constexpr int courseMapSize = 512; // samples along x and along z

// The design as a course, its checkpoints on the floor the profile is carved from (placeCheckpoints sets them on the
// carved ground). fileFolder prefixes the heightmap's and grass's names: "Courses/<id>/" for a shipped course, which
// names files of the data folder, or "" for a course whose files lie beside its course file.
Course courseOfDesign(const CourseDesign& design, const std::string& fileFolder);

// What the carving found, for the generator's report.
struct CarveReport {
    double centreLength = 0.0; // world units of centre line
    double steepest = 0.0;     // the largest step between neighbouring samples, units per unit
    int steepX = 0;            // where, in world units
    int steepZ = 0;
};
// The heightmap of a course (courseMapSize squared 16-bit samples, as written), carved along its route as its design
// says. progress, when given, hears the share done (0..1) now and then; a true cancel stops early with false.
bool carveHeightmap(const Course& course, const CourseDesign& design, std::vector<uint16_t>& samples,
                    CarveReport* report = nullptr, const std::function<void(float)>& progress = {},
                    const std::atomic<bool>* cancel = nullptr);
// The samples as the game decodes them.
HeightGrid gridOfSamples(const std::vector<uint16_t>& samples, int size);
// Height of the drawn ground at world (x, z), on the same two triangles per cell that the terrain mesh draws.
double drawnGround(const HeightGrid& grid, double x, double z);
// Sets each checkpoint's height on the carved ground (the goal's on its pressed hollow), rounded as the file
// writes it.
void placeCheckpoints(Course& course, const HeightGrid& grid);
// The course file's text: head lines (each written after "; "), the course's numbers, checkpoints and route, and
// medals (a whole [medals] section, or empty).
std::string courseFileText(const std::vector<std::string>& head, const Course& course, const std::string& grassPath,
                           const std::string& medals);
// The grass maps in these colours: the colour, the shine and the relief.
struct GrassMaps {
    Image8 diffuse, specular, normals;
};
GrassMaps paintGrass(const GrassTint& tint, uint32_t seed);
// Its colour alone.
Image8 paintGrassDiffuse(const GrassTint& tint, uint32_t seed);
// The map's colour of ground at height y with this slope: low meadows to high rock and snow, darker where steep.
struct Colour;
Colour terrainColour(double y, double slope);
// A small shaded top-down map of the course: north up, the route drawn, start blue, goal red, checkpoints yellow.
Image8 coursePicture(const HeightGrid& grid, const Course& course, int size);
