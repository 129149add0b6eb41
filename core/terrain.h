// The course ground: heightmap decoding, the goal hollow, the collision heightfield and the record the drawn
// terrain is made from. No GL here: the renderer uploads the heights and the chunk mesh.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/physics.h"

class btHeightfieldTerrainShape;
struct Course;

// One signed height per pixel, row-major (column x of row z is element z * width + x), row 0 the image's top row.
struct HeightGrid {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<int16_t> samples; // -32767..32767; s stands for 100 * s / 32767 world units
};

// World units above the terrain body of a converted sample: heightScale * s / 32767.
float sampleHeight(int16_t s, float heightScale);
// The same in mesh units: s / 32767.
float meshHeight(int16_t s);

// A decoded pixel value (0..65535) as a signed sample: u - 32767, with 65535 held at 32767.
int16_t convertSample(uint16_t u);

// Decodes a heightmap image (8 bit arrives widened by 257) and converts it. Of an image with several channels only
// the first channel of each pixel is used. Throws FileNotFoundException by pointer, naming path, when the file cannot
// be opened or decoded; path must outlive the exception.
HeightGrid decodeHeightmap(const char* path);

// Presses the goal hollow under the grid point nearest (goalX, goalZ) in world units: 800 at the centre, 600 at the
// edge neighbours, 400 at the corners. Heights stop at -32767; points outside the grid are left out.
void pressGoalHollow(HeightGrid& grid, float goalX, float goalZ);

// Decodes path, refuses a map without a cell (the heightfield needs one) and presses the goal hollow at (goalX,
// goalZ): the heights both the drawn terrain and the heightfield are made from. Throws FileNotFoundException by
// pointer.
HeightGrid loadCourseGrid(const char* path, float goalX, float goalZ);

// The drawn ground is one pair of triangles per cell, split along the diagonal from (x + 1, z) to (x, z + 1), each
// grid point at mesh position (x / width - 0.5, s / 32767, z / height - 0.5), scaled by (width, heightScale, height)
// into the terrain body. A point's normal is that of the cell it is the first corner of (the last row and column
// borrow the cell before them), pointing into the ground; its tangent is the normal crossed with the bitangent
// (0, 0, 1). Textures tile every 20 grid points, every other tile mirrored. Far from the eye it is drawn coarser
// (terrain_lod.h).
struct Terrain {
    int32_t width = 0;  // heightmap columns, world units along x
    int32_t height = 0; // heightmap rows, world units along z
    float heightScale = 100.0f; // world units from mesh height 0 to 1
    std::vector<int16_t> samples; // width * height heights; the heightfield reads them in place

    Terrain() = default;
    // Takes over the grid's heights.
    Terrain(HeightGrid&& grid, float scale);
};

// Height of the drawn ground at world (x, z); minus infinity where nothing is drawn (off the grid, or no number).
float drawnGroundHeight(const Terrain& t, float x, float z);

// A heightfield over t.samples, centred on its body's origin; null for a terrain without a cell.
std::unique_ptr<btHeightfieldTerrainShape> createHeightfieldShape(const Terrain& t);
// A static body with t's heightfield at the origin of world; an empty record for a terrain without a cell. t must
// stay unmoved while the world lives.
PhysicsBody createTerrainBody(PhysicsWorld& world, const Terrain& t);

// The course's ground from its heightmap, with the goal hollow pressed. False after printing the failure to stderr.
bool loadTerrain(const Course& course, Terrain& out);
