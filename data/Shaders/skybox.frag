#version 330 core
// Sky box: the cube map looked up along the view direction; the glow output stays dark.
in vec3 direction;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 glow;

uniform samplerCube skybox;

void main() {
    colour = texture(skybox, direction);
    glow = vec4(0.0, 0.0, 0.0, 1.0);
}
