#version 330 core
// Sky box: the cube around the camera, pushed onto the far plane behind everything.
layout(location = 0) in vec3 position;

uniform mat4 projection;
uniform mat4 view;

out vec3 direction;

// Clip z equal to w: depth exactly 1, which the sky's GL_LEQUAL test passes only where the buffer is still clear.
void main() {
    direction = position;
    vec4 clip = projection * view * vec4(position, 1.0);
    gl_Position = clip.xyww;
}
