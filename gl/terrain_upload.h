// The terrain's start-up step with its heights and chunk mesh uploaded, and their release: needs the GL context.
#pragma once

#include "core/terrain.h"

// The terrain from "Textures/heightmap.png" with its heightfield and body in physicsWorld, its levels of detail, the
// heights as a texture and the chunk grid mesh (appended to terrainMeshes). 0 when done; -1 after printing the
// heightmap failure to stderr.
int setupTerrain();
// The terrain's GL objects made from a terrain record that has its samples: the level bounds, the height texture,
// the chunk mesh and the chunk buffer. False, with nothing made, when the driver refuses the height texture.
bool uploadTerrain(Terrain& t);
// Deletes the height texture and the chunk buffer of terrain (the mesh goes with terrainMeshes); needs the context.
void releaseTerrainGpu();
