// The designs of the shipped courses. The valley's route and checkpoints live in its own course file, which the
// generator reads; the other courses' files are written from these designs.
#pragma once

#include <string>
#include <vector>

#include "core/course_design.h"

// The shapes and knots of the first course; its route and checkpoints come from Courses/valley/course.ini.
const CourseDesign& valleyDesign();
// The courses made from their designs alone, in the order of their difficulty, easiest first.
const std::vector<CourseDesign>& generatedCourseDesigns();

bool writeHeightmap(const std::string& path, const std::vector<uint16_t>& samples);
// Decodes the course's heightmap; false with the reason on standard error.
bool readCourseGrid(const Course& course, HeightGrid& grid);
// The carving's figures, as the generator prints them.
void printCarveReport(const std::string& id, const Course& course, const CarveReport& report);
