// Every course the generator makes, as data: its route with the ground under each checkpoint, the shape of its
// channel and land, its race numbers and its grass colours. The valley's route and checkpoints live in its own
// course file, which the generator reads; the other courses' files are written from these designs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/vec3.hpp>

#include "tools/generate/course_shape.h"

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

// The shapes and knots of the first course; its route and checkpoints come from Courses/valley/course.ini.
const CourseDesign& valleyDesign();
// The courses made from their designs alone, in the order of their difficulty, easiest first.
const std::vector<CourseDesign>& generatedCourseDesigns();

// Ground under the checkpoints. The collision surface lies 0.5 above the drawn one and the ball's radius is 0.5,
// so a ball rolling on the floor has its centre 1 unit above the drawn ground: 0.75 below the checkpoint.
constexpr double groundBelowCheckpoint = 1.75; // world units
constexpr double groundBelowGoal = 1.2;        // the game presses its hollow (about 2.4 deeper) on top
constexpr double goalAboveHollow = 3.64;       // the goal above the ground with the hollow pressed

struct Course;
struct HeightGrid;
struct Image8;
// The heightmap of a course (512 x 512 16-bit samples, as written), carved along its route as its design says.
bool carveHeightmap(const Course& course, const CourseDesign& design, std::vector<uint16_t>& samples);
bool writeHeightmap(const std::string& path, const std::vector<uint16_t>& samples);
// Height of the drawn ground at world (x, z), on the same two triangles per cell that the terrain mesh draws.
double drawnGround(const HeightGrid& grid, double x, double z);
// Decodes the course's heightmap; false with the reason on standard error.
bool readCourseGrid(const Course& course, HeightGrid& grid);
// The grass diffuse map in these colours.
Image8 paintGrassDiffuse(const GrassTint& tint, uint32_t seed);
// A small shaded top-down map of the course: north up, the route dashed, start blue, goal red, checkpoints yellow.
Image8 coursePicture(const HeightGrid& grid, const Course& course, int size);
