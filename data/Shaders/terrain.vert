#version 330 core
// Terrain program: one small grid mesh drawn once per chunk, standing on the heightmap's samples read from a
// texture, with the normal of the cell each vertex is the first corner of; the scene program's fragment stage
// lights it. Near the end of its level's distance a chunk's odd vertices slide onto their even neighbours, so it
// meets a chunk one level coarser edge to edge.
#extension GL_ARB_shading_language_420pack : require
layout(location = 0) in ivec2 gridPosition; // 0..cells of the chunk mesh along x and z
layout(location = 1) in ivec3 chunk;        // per chunk: first grid point (x, z) and level

uniform mat4 model;         // mesh space to world: the terrain body scaled by (width, 100, height)
uniform mat3 normalMatrix;  // the inverse transpose of model's linear part
uniform mat4 view;
uniform mat4 projection;
uniform mat4 lightSpaceMatrix;
uniform vec3 eyeGrid;       // the eye in grid space: columns, world units up, rows
uniform float morphStart[9]; // per level, grid units from the eye
uniform float morphEnd[9];
layout(binding = 4) uniform sampler2D heights; // mesh heights, s / 32767

out vec3 worldPosition;
out vec2 uv;             // 0 to 1 across one texture tile and back down across the next
out vec3 worldNormal;    // outward
out vec3 worldTangent;
out vec3 worldBitangent;
out vec4 lightSpacePosition;

const float heightScale = 100.0;     // world units per mesh unit up
// Grid points across one texture tile. The tiling turns back at every multiple of 20, which is a vertex of every
// level up to 2 (spacing 4) and stays one while vertices slide onto level 2, so interpolating the folded coordinate
// between vertices gives the same coordinates as the full-resolution mesh. Sliding onto level 3 starts no nearer than
// 495 units, at the camera's far plane (500).
const float tilePoints = 20.0;
const float slideMargin = 1.0;       // world units: a slide ends this much before a coarser chunk may begin
const vec3 bitangent = vec3(0.0, 0.0, 1.0);

ivec2 gridSize() {
    return textureSize(heights, 0);
}

vec3 meshPoint(ivec2 p) {
    ivec2 size = gridSize();
    p = clamp(p, ivec2(0), size - 1);
    float h = texelFetch(heights, p, 0).r;
    return vec3(float(p.x) / float(size.x) - 0.5, h, float(p.y) / float(size.y) - 0.5);
}

// The normal, into the ground, of the cell of the given size whose first corner is p; the last row and column
// borrow the cell before them.
vec3 cellNormal(ivec2 p, int size) {
    ivec2 last = gridSize() - 1;
    ivec2 step = min(ivec2(size), last);
    ivec2 corner = min(clamp(p, ivec2(0), last), last - step);
    vec3 a = meshPoint(corner);
    vec3 b = meshPoint(corner + ivec2(step.x, 0));
    vec3 c = meshPoint(corner + ivec2(0, step.y));
    return normalize(cross(b - a, c - b));
}

void main() {
    ivec2 last = gridSize() - 1;
    int level = chunk.z;
    int spacing = 1 << level;
    ivec2 fine = chunk.xy + gridPosition * spacing;
    ivec2 coarse = fine - (gridPosition & 1) * spacing;

    vec3 finePoint = meshPoint(fine);
    vec2 fineGrid = vec2(clamp(fine, ivec2(0), last));
    float d = distance(vec3(fineGrid.x, finePoint.y * heightScale, fineGrid.y), eyeGrid);
    float slide = clamp((d - morphStart[level]) / max(morphEnd[level] - slideMargin - morphStart[level], 1.0),
                        0.0, 1.0);

    vec3 position;
    vec3 normal;
    vec2 grid;
    if (slide <= 0.0) {
        position = finePoint;
        normal = cellNormal(fine, spacing);
        grid = fineGrid;
    } else {
        // Fully slid, the vertex is exactly the coarser level's: no blend, so both chunks compute the same numbers.
        vec3 coarsePoint = meshPoint(coarse);
        vec3 coarseNormal = cellNormal(coarse, 2 * spacing);
        vec2 coarseGrid = vec2(clamp(coarse, ivec2(0), last));
        bool done = slide >= 1.0;
        position = done ? coarsePoint : mix(finePoint, coarsePoint, slide);
        normal = done ? coarseNormal : normalize(mix(cellNormal(fine, spacing), coarseNormal, slide));
        grid = done ? coarseGrid : mix(fineGrid, coarseGrid, slide);
    }
    vec3 tangent = normalize(cross(normal, bitangent));

    vec4 world = model * vec4(position, 1.0);
    mat3 linear = mat3(model);
    worldPosition = world.xyz;
    uv = 1.0 - abs(1.0 - mod(grid / tilePoints, 2.0));
    worldNormal = normalMatrix * -normal;
    worldTangent = linear * tangent;
    worldBitangent = linear * bitangent;
    lightSpacePosition = lightSpaceMatrix * world;
    gl_Position = projection * view * world;
}
