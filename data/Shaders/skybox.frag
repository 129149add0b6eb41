#version 330 core
// Sky box: the cube map looked up along the view direction; the sky never glows.
in vec3 direction;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 glow;

uniform samplerCube skybox;

void main() {
    colour = vec4(texture(skybox, direction).rgb, 1.0);
    glow = vec4(0.0, 0.0, 0.0, 1.0);
}
