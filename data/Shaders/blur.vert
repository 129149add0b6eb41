#version 330 core
// Bloom blur: the unit quad scaled over the whole target.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;

uniform mat4 model;

out vec2 uv;

void main() {
    // From the position rather than texCoord (v = 0 at the quad's top), so the target keeps the source's
    // bottom-row-first orientation and each fragment lands on a texel centre.
    uv = position.xy + 0.5;
    gl_Position = model * vec4(position, 1.0);
}
