#version 330 core
// Shadow-map view: the stored depth as grey, near black and far white.
in vec2 uv;

out vec4 colour;

uniform sampler2D depthMap;

void main() {
    // The light's projection is orthographic, so the stored depth is already linear in distance.
    colour = vec4(vec3(texture(depthMap, uv).r), 1.0);
}
