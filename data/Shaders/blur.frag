#version 330 core
// Bloom blur: one axis of a separable Gaussian, the centre tap and four taps to each side.
in vec2 uv;

layout(location = 0) out vec4 colour;

uniform sampler2D image;
uniform int horizontal;
uniform float weight[5];

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 offset = horizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = texture(image, uv).rgb * weight[0];
    float total = weight[0];
    for (int i = 1; i < 5; ++i) {
        sum += texture(image, uv + offset * float(i)).rgb * weight[i];
        sum += texture(image, uv - offset * float(i)).rgb * weight[i];
        total += 2.0 * weight[i];
    }
    // The weights sum to one over a single side; dividing by both sides keeps the glow's total brightness.
    colour = vec4(sum / total, 1.0);
}
