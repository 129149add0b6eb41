#version 330 core
// Bloom combine: the unit quad scaled over the whole target.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;

uniform mat4 model;

out vec2 uv;

void main() {
    // From the position, not texCoord, so the result keeps the scene's bottom-row-first orientation and each
    // fragment reads the texels under it.
    uv = position.xy + 0.5;
    gl_Position = model * vec4(position, 1.0);
}
