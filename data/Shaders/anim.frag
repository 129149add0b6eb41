#version 330 core
// Animated models: unlit diffuse texture.
in vec2 uv;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 glow;

uniform sampler2D diffuseMap;

void main() {
    colour = texture(diffuseMap, uv);
    glow = vec4(0.0, 0.0, 0.0, 1.0);
}
