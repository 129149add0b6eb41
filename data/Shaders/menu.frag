#version 330 core
// The pause menu's quads: a texture (font atlas or course picture) tinted by a colour, or the colour alone.
in vec2 uv;

out vec4 colour;

uniform sampler2D theTexture;
uniform vec4 tint;
uniform int solid; // 1: no texture is sampled

void main() {
    vec4 texel = solid == 1 ? vec4(1.0) : texture(theTexture, uv);
    colour = clamp(texel * tint, 0.0, 1.0);
}
