#version 330 core
// Goal flag: a wave runs along the cloth away from the stick and lifts it across its plane.
// The flag model's cloth lies in its x-y plane with x up the stick (the pass turns the model a quarter turn about z)
// and its held edge at y = poleY, where the stick stands 1.2 units beside the goal.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;    // points into the surface
layout(location = 3) in vec3 tangent;
layout(location = 4) in vec3 bitangent;

uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
uniform mat4 FragPosLightSpace;
uniform float animateTime; // seconds
uniform float velocity;    // flag-model units per second
uniform float k;           // radians per flag-model unit
uniform float amp;         // flag-model units

const float poleY = -1.2;      // flag-model y of the edge the stick holds
const float holdLength = 1.5;  // flag-model units over which the wave grows from nothing at the stick

out vec3 worldPosition;
out vec2 uv;
out vec3 worldNormal;
out vec4 lightSpacePosition;

void main() {
    // Distance from the stick along the cloth, whichever side of it the cloth hangs.
    float side = position.y >= poleY ? 1.0 : -1.0;
    float along = abs(position.y - poleY);
    float phase = k * (along - velocity * animateTime);
    float hold = smoothstep(0.0, holdLength, along);
    float lift = amp * hold * sin(phase);
    // Slope of the lifted cloth along y, for the normal: d(lift)/d(along) times d(along)/dy.
    float holdSlope = along < holdLength ? 6.0 * along * (holdLength - along) / (holdLength * holdLength * holdLength)
                                         : 0.0;
    float slope = side * amp * (holdSlope * sin(phase) + hold * k * cos(phase));

    vec3 moved = position + vec3(0.0, 0.0, lift);
    vec3 outward = -normal;
    // A cloth z = f(y) has the normal (0, -f', 1), scaled by whichever way the face points.
    vec3 bent = normalize(outward + vec3(0.0, -slope * outward.z, 0.0));

    vec4 world = model * vec4(moved, 1.0);
    worldPosition = world.xyz;
    uv = texCoord;
    worldNormal = transpose(inverse(mat3(model))) * bent;
    lightSpacePosition = FragPosLightSpace * world;
    gl_Position = projection * view * world;
}
