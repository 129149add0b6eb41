#version 330 core
// Bloom combine: the scene plus its blurred glow weighted by the exposure. Colours up to the knee pass unchanged, so
// the scene looks the same with and without bloom; brighter ones roll off smoothly towards 1.
in vec2 uv;

layout(location = 0) out vec4 colour;

uniform sampler2D renderedTexture;
uniform sampler2D bloomBlur;
uniform float exposure;

const float knee = 0.8;

vec3 rollOff(vec3 c) {
    vec3 above = max(c - knee, 0.0);
    return min(c, knee) + (1.0 - knee) * (1.0 - exp(-above / (1.0 - knee)));
}

void main() {
    vec3 hdr = texture(renderedTexture, uv).rgb + texture(bloomBlur, uv).rgb * exposure;
    colour = vec4(rollOff(hdr), 1.0);
}
