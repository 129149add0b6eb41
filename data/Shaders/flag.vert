#version 330 core
// Goal flag: a wave travels along the model's x axis and lifts the cloth along z.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;
layout(location = 3) in vec3 tangent;
layout(location = 4) in vec3 bitangent;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
uniform mat4 FragPosLightSpace;
uniform float animateTime; // seconds
uniform float velocity;    // model units per second
uniform float k;           // radians per model unit
uniform float amp;         // model units

out vec3 worldPosition;
out vec2 uv;
out vec3 worldNormal;
out vec4 lightSpacePosition;

void main() {
    float phase = k * (position.x - velocity * animateTime);
    vec3 moved = position + vec3(0.0, 0.0, amp * sin(phase));
    // The slope of the wave tilts the normal, which points into the surface like every Vertex normal.
    vec3 outward = normalize(-normal + vec3(-amp * k * cos(phase), 0.0, 0.0));
    vec4 world = model * vec4(moved, 1.0);
    worldPosition = world.xyz;
    uv = texCoord;
    worldNormal = transpose(inverse(mat3(model))) * outward;
    lightSpacePosition = FragPosLightSpace * world;
    gl_Position = projection * view * world;
}
