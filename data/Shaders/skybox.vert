#version 330 core
// Sky box: the cube around the camera, drawn behind everything.
layout(location = 0) in vec3 position;

uniform mat4 projection;
uniform mat4 view;

out vec3 direction;

void main() {
    direction = position;
    gl_Position = projection * view * vec4(position, 1.0);
}
