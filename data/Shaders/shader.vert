#version 330 core
// Scene program: models, markers, terrain and particles. The normal attribute points into the surface.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;
layout(location = 3) in vec3 tangent;
layout(location = 4) in vec3 bitangent;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
uniform mat4 lightSpaceMatrix;

out vec3 worldPosition;
out vec2 uv;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBitangent;
out vec4 lightSpacePosition;

void main() {
    vec4 world = model * vec4(position, 1.0);
    mat3 normalMatrix = transpose(inverse(mat3(model)));
    worldPosition = world.xyz;
    uv = texCoord;
    // Left unnormalised: the quad of the particles supplies no normal, tangent or bitangent (all zero).
    worldNormal = normalMatrix * -normal;
    worldTangent = mat3(model) * tangent;
    worldBitangent = mat3(model) * bitangent;
    lightSpacePosition = lightSpaceMatrix * world;
    gl_Position = projection * view * world;
}
