#version 330 core
// Sprites and the composite: brightness and contrast around mid-grey; opacity scales alpha only.
in vec2 uv;

out vec4 colour;

uniform sampler2D theTexture;
uniform float opacity;
uniform float brightness;
uniform float contrast;
// 1 for a split's digits: their light lettering takes the tint, their dark outline stays dark.
uniform int tinted;
uniform vec3 tint;

void main() {
    vec4 texel = texture(theTexture, uv);
    if (tinted == 1) texel.rgb *= tint;
    // With brightness 0 and contrast 1 the colour passes through unchanged.
    vec3 rgb = (texel.rgb - 0.5) * contrast + 0.5 + brightness;
    // Opacity may arrive above 1 or below 0 at the ends of a fade; the blend needs it within 0..1.
    colour = vec4(clamp(rgb, 0.0, 1.0), clamp(texel.a * opacity, 0.0, 1.0));
}
