#version 330 core
// Bloom combine: scene plus blurred glow, exposure tone mapping.
in vec2 uv;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 glow;

uniform sampler2D renderedTexture;
uniform sampler2D bloomBlur;
uniform float exposure;

void main() {
    vec3 hdr = texture(renderedTexture, uv).rgb + texture(bloomBlur, uv).rgb;
    colour = vec4(vec3(1.0) - exp(-hdr * exposure), 1.0);
    glow = vec4(0.0, 0.0, 0.0, 1.0);
}
