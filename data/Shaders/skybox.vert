#version 330 core
// Sky box: the cube around the camera, pushed to the far plane behind everything.
layout(location = 0) in vec3 position;

uniform mat4 projection;
uniform mat4 view;

out vec3 direction;

// Fraction of w given as clip z: just inside the far plane, because the scene's depth test is GL_LESS against a
// buffer cleared to 1, which a depth of exactly 1 would fail; 0.9999 stays below 1 even in a 16-bit buffer.
const float farDepth = 0.9999;

void main() {
    direction = position;
    vec4 clip = projection * view * vec4(position, 1.0);
    gl_Position = vec4(clip.xy, clip.w * farDepth, clip.w);
}
