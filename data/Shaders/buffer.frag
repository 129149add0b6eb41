#version 330 core
// Bloom combine: the scene plus its blurred glow, tone-mapped from high dynamic range by the exposure.
in vec2 uv;

layout(location = 0) out vec4 colour;

uniform sampler2D renderedTexture;
uniform sampler2D bloomBlur;
uniform float exposure;

void main() {
    vec3 hdr = texture(renderedTexture, uv).rgb + texture(bloomBlur, uv).rgb;
    // Exponential tone mapping: never above 1, close to linear for dim colours.
    colour = vec4(vec3(1.0) - exp(-hdr * exposure), 1.0);
}
