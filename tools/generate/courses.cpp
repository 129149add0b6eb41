// The generated courses: per course its heightmap, its course file with the checkpoints set on the carved ground,
// its grass and its picture for the course menu; and the picture of the valley.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/course.h"
#include "core/route.h"
#include "core/terrain.h"
#include "tools/generate/course_designs.h"
#include "tools/generate/generators.h"
#include "core/image_io.h"

namespace {

constexpr int pictureSize = 128; // pixels, square

std::string coursePath(const std::string& id, const char* file) {
    return std::string(coursesFolder) + "/" + id + "/" + file;
}

// The [medals] section of the course file already there, kept word for word: the medal times are measured by
// racing the written course (scripts/medal_times.sh), not made here.
std::string keptMedals(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::string kept;
    bool inMedals = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            inMedals = line.rfind("[medals]", 0) == 0;
        }
        if (inMedals) {
            kept += line + "\n";
        }
    }
    while (kept.size() >= 2 && kept.compare(kept.size() - 2, 2, "\n\n") == 0) {
        kept.pop_back();
    }
    return kept;
}

bool writeText(const std::string& path, const std::string& text) {
    std::string error;
    if (!ensureDirectory(std::filesystem::path(path).parent_path().string(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
        return false;
    }
    std::printf("wrote %s\n", path.c_str());
    return true;
}

bool generateCourse(const std::string& dataDir, const CourseDesign& design) {
    const std::filesystem::path data(dataDir);
    Course course = courseOfDesign(design, std::string(coursesFolder) + "/" + design.id + "/");
    std::vector<uint16_t> samples;
    CarveReport report;
    if (!carveHeightmap(course, design, samples, &report) ||
        !writeHeightmap((data / course.heightmapPath).string(), samples)) {
        return false;
    }
    printCarveReport(design.id, course, report);
    const HeightGrid grid = gridOfSamples(samples, courseMapSize);
    placeCheckpoints(course, grid);
    const std::string file = courseFilePath(dataDir, design.id);
    const std::vector<std::string> head = {
        design.about,
        "Made by kelvara-generate (the courses target) from its design; paths are relative to the data folder,",
        "coordinates are world units (x, y up, z). [medals]: race-clock seconds from \"Let's roll!\" to the",
        "goal, measured by scripts/medal_times.sh and kept when the course is made again."};
    bool ok = writeText(file, courseFileText(head, course, course.grassPath, keptMedals(file)));
    ok = saveDataPng(dataDir, course.grassPath, paintGrassDiffuse(design.grass, design.grassSeed)) && ok;
    ok = saveDataPng(dataDir, coursePath(design.id, "preview.png"), coursePicture(grid, course, pictureSize)) && ok;
    return ok;
}

} // namespace

bool generateCourses(const std::string& dataDir) {
    bool ok = true;
    for (const CourseDesign& design : generatedCourseDesigns()) {
        ok = generateCourse(dataDir, design) && ok;
    }
    // The valley's picture, from the heightmap and course file it ships with.
    Course valley;
    HeightGrid grid;
    if (loadCourse(dataDir, defaultCourseId, valley) && readCourseGrid(valley, grid)) {
        const Image8 picture = coursePicture(grid, valley, pictureSize);
        ok = saveDataPng(dataDir, coursePath(defaultCourseId, "preview.png"), picture) && ok;
    } else {
        ok = false;
    }
    return ok;
}
