// The course ground: heightmap decoding, the goal hollow, the render geometry and the collision heightfield.
// No GL here: the mesh is uploaded by setupTerrain.
#pragma once

#include <cstdint>
#include <vector>

#include "course/physics.h"
#include "render/mesh.h"

class btHeightfieldTerrainShape;

constexpr const char* heightmapPath = "Textures/heightmap.png";
// The terrain mesh holds heights in -1..1; the course stands this many world units from mesh height 0 to 1.
constexpr float terrainHeightScale = 100.0f;

// One signed height per pixel, row-major (column x of row z is element z * width + x), row 0 the image's top row.
struct HeightGrid {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<int16_t> samples; // -32767..32767; s stands for 100 * s / 32767 world units
};

// Interleaved Vertex floats and triangle indices, ready for Mesh::createMesh.
struct TerrainGeometry {
    std::vector<float> vertices;   // floatsPerVertex per grid point
    std::vector<uint32_t> indices; // six per grid point; the last row and column stay empty triangles
};

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
// goalZ): the heights both the mesh and the heightfield are made from. Throws FileNotFoundException by pointer.
HeightGrid loadCourseGrid(const char* path, float goalX, float goalZ);

// Mesh-space vertices (x and z in -0.5..0.5, y = s / 32767) with mirrored texture tiling, normals pointing into
// the ground and one pair of triangles per cell.
TerrainGeometry buildTerrainGeometry(const HeightGrid& grid);
TerrainGeometry buildTerrainGeometry(int32_t width, int32_t height, const int16_t* samples);

struct Terrain {
    Mesh mesh; // first member, so the terrain is drawn and released like any Mesh; empty until setupTerrain uploads it
    int32_t width = 0;  // heightmap columns, world units along x
    int32_t height = 0; // heightmap rows, world units along z
    int16_t* samples = nullptr; // width * height heights; kept unmoved until exit because the heightfield reads them

    Terrain() = default;
    // Takes over the grid's heights; the mesh stays empty.
    explicit Terrain(HeightGrid&& grid);
};

// Height of the drawn ground at world (x, z); minus infinity where nothing is drawn (off the grid, or no number).
float drawnGroundHeight(const Terrain& t, float x, float z);

// A heightfield over t.samples, centred on its body's origin; kept until exit.
btHeightfieldTerrainShape* createHeightfieldShape(const Terrain& t);
// A static body with t's heightfield at the origin of world. The caller owns the returned record.
PhysicsBody* createTerrainBody(PhysicsWorld& world, const Terrain& t);

// The terrain record, heightfield and body in physicsWorld from path, without a mesh: what the game's setupTerrain
// and the simulator share. 0 when done; -1 after printing the heightmap failure to stderr.
int setupTerrainCollision(const char* path);
// Frees the Terrain record (not its mesh's GL objects, which go with terrainMeshes, nor its samples).
void releaseTerrain();

// Set by setupTerrain or setupTerrainCollision; null before, and after a failed setup.
extern Terrain* terrain;
