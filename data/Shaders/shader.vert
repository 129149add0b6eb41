#version 330 core
// Scene program: ball, markers, stick, terrain and particle sprites, in world space for the fragment stage.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;    // points into the surface
layout(location = 3) in vec3 tangent;
layout(location = 4) in vec3 bitangent;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
uniform mat4 lightSpaceMatrix;

out vec3 worldPosition;
out vec2 uv;
out vec3 worldNormal;    // outward; zero for the particle quad, which has no normal
out vec3 worldTangent;
out vec3 worldBitangent;
out vec4 lightSpacePosition;

void main() {
    vec4 world = model * vec4(position, 1.0);
    mat3 linear = mat3(model);
    worldPosition = world.xyz;
    uv = texCoord;
    // The terrain is scaled unevenly (width x 100 x height): normals need the inverse transpose to stay square to
    // the ground, while tangents lie in the surface and follow the model matrix itself. Left unnormalised so a
    // missing attribute stays recognisably zero.
    worldNormal = transpose(inverse(linear)) * -normal;
    worldTangent = linear * tangent;
    worldBitangent = linear * bitangent;
    lightSpacePosition = lightSpaceMatrix * world;
    gl_Position = projection * view * world;
}
