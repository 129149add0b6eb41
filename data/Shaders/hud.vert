#version 330 core
// Sprites and the composite: the unit quad placed straight in clip space by "model".
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;

uniform mat4 model;
uniform int flip;
// The part of the image to show, (u, v, width, height); a rectangle of no size shows the whole image.
uniform vec4 textureRect;

out vec2 uv;

void main() {
    // The quad's v is 0 at its top, which suits images stored top row first; the off-screen targets hold their
    // bottom row first and are drawn with flip 1.
    uv = flip == 1 ? vec2(texCoord.x, 1.0 - texCoord.y) : texCoord;
    if (textureRect.z > 0.0 && textureRect.w > 0.0) {
        uv = textureRect.xy + uv * textureRect.zw;
    }
    gl_Position = model * vec4(position, 1.0);
}
