#version 330 core
// Sprites and the composite: brightness and contrast around mid-grey; opacity scales alpha only.
in vec2 uv;

out vec4 colour;

uniform sampler2D theTexture;
uniform float opacity;
uniform float brightness;
uniform float contrast;

void main() {
    vec4 texel = texture(theTexture, uv);
    vec3 rgb = (texel.rgb - 0.5) * contrast + 0.5 + brightness;
    colour = vec4(clamp(rgb, 0.0, 1.0), texel.a * opacity);
}
