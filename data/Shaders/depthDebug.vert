#version 330 core
// Shadow-map view: the unit quad placed in clip space by "model".
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;

uniform mat4 model;

out vec2 uv;

void main() {
    // The depth texture holds its bottom row first, like the position's y.
    uv = position.xy + 0.5;
    gl_Position = model * vec4(position, 1.0);
}
