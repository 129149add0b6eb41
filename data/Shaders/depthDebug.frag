#version 330 core
// Shadow-map view: stored depth as grey.
in vec2 uv;

out vec4 colour;

uniform sampler2D depthMap;

void main() {
    colour = vec4(vec3(texture(depthMap, uv).r), 1.0);
}
