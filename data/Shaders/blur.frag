#version 330 core
// Bloom blur: five Gaussian taps each side, along x when "horizontal" is 1, along y when 0.
in vec2 uv;

out vec4 colour;

uniform sampler2D image;
uniform int horizontal;
uniform float weight[5];

void main() {
    vec2 step = 1.0 / vec2(textureSize(image, 0));
    step *= horizontal == 1 ? vec2(1.0, 0.0) : vec2(0.0, 1.0);
    vec3 sum = texture(image, uv).rgb * weight[0];
    for (int i = 1; i < 5; ++i) {
        sum += texture(image, uv + step * float(i)).rgb * weight[i];
        sum += texture(image, uv - step * float(i)).rgb * weight[i];
    }
    colour = vec4(sum, 1.0);
}
