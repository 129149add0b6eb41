#version 330 core
// Bloom blur: one axis of a separable Gaussian of nine taps, read with five linearly filtered fetches.
in vec2 uv;

layout(location = 0) out vec4 colour;

uniform sampler2D image;
uniform int horizontal;
uniform float weight[3]; // the centre tap's, then the sums of taps 1 and 2 and of taps 3 and 4
uniform float offset[3]; // texels from the centre where a fetch splits its weight between a pair as the kernel does

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 along = horizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = texture(image, uv).rgb * weight[0];
    float total = weight[0];
    for (int i = 1; i < 3; ++i) {
        sum += texture(image, uv + along * offset[i]).rgb * weight[i];
        sum += texture(image, uv - along * offset[i]).rgb * weight[i];
        total += 2.0 * weight[i];
    }
    // The weights sum to one over a single side; dividing by both sides keeps the glow's total brightness.
    colour = vec4(sum / total, 1.0);
}
