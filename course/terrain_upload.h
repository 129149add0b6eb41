// The terrain's start-up step with its mesh uploaded: needs the GL context.
#pragma once

#include "course/terrain.h"

// The terrain from "Textures/heightmap.png" with its mesh (appended to terrainMeshes), heightfield and body in
// physicsWorld. 0 when done; -1 after printing the heightmap failure to stderr.
int setupTerrain();
