#version 330 core
// Scene program: Blinn-Phong with diffuse, specular and normal maps, a shadow lookup and sky reflections.
// Explicit sampler units: a sampler2D and the samplerCube both on unit 0 would fail program validation.
#extension GL_ARB_shading_language_420pack : require

struct DirectionalLight {
    vec3 colour;
    float ambientIntensity;
    vec3 direction;
    float diffuseIntensity;
};
struct Material {
    float specularIntensity;
    float shininess;
    float reflectivity;
};

in vec3 worldPosition;
in vec2 uv;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec4 lightSpacePosition;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 glow;

uniform DirectionalLight directionalLight;
uniform Material material;
uniform vec3 eyePosition;
layout(binding = 0) uniform sampler2D diffuseMap;
layout(binding = 1) uniform sampler2D specularMap;
layout(binding = 2) uniform sampler2D normalMap;
layout(binding = 3) uniform sampler2D shadowMap;
layout(binding = 5) uniform samplerCube environmentMap;
uniform int debugNormals;
uniform int smoothShadows;

const float shadowBias = 0.005;

float shadowFactor(vec3 n, vec3 toLight) {
    vec3 p = lightSpacePosition.xyz / lightSpacePosition.w * 0.5 + 0.5;
    if (p.z > 1.0) return 0.0;
    float bias = max(shadowBias * (1.0 - dot(n, toLight)), shadowBias * 0.1);
    int radius = smoothShadows == 1 ? 1 : 0;
    vec2 texel = 1.0 / vec2(textureSize(shadowMap, 0));
    float shadow = 0.0;
    for (int x = -radius; x <= radius; ++x)
        for (int y = -radius; y <= radius; ++y)
            shadow += p.z - bias > texture(shadowMap, p.xy + vec2(x, y) * texel).r ? 1.0 : 0.0;
    return shadow / float((2 * radius + 1) * (2 * radius + 1));
}

void main() {
    vec3 n = length(worldNormal) > 0.0 ? normalize(worldNormal) : vec3(0.0, 1.0, 0.0);
    if (length(worldTangent) > 0.0 && length(worldBitangent) > 0.0) {
        vec3 m = texture(normalMap, uv).rgb * 2.0 - 1.0;
        n = normalize(normalize(worldTangent) * m.x + normalize(worldBitangent) * m.y + n * max(m.z, 0.1));
    }
    if (debugNormals == 1) {
        colour = vec4(n * 0.5 + 0.5, 1.0);
        glow = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec3 toLight = normalize(-directionalLight.direction);
    vec3 toEye = normalize(eyePosition - worldPosition);
    float diffuse = max(dot(n, toLight), 0.0) * directionalLight.diffuseIntensity;
    float specular = 0.0;
    if (diffuse > 0.0) {
        vec3 halfway = normalize(toLight + toEye);
        specular = pow(max(dot(n, halfway), 0.0), max(material.shininess, 1.0)) * material.specularIntensity *
                   texture(specularMap, uv).r;
    }
    float lit = 1.0 - shadowFactor(n, toLight);
    vec4 base = texture(diffuseMap, uv);
    vec3 light = directionalLight.colour * (directionalLight.ambientIntensity + lit * (diffuse + specular));
    vec3 reflected = texture(environmentMap, reflect(-toEye, n)).rgb;
    vec3 rgb = mix(base.rgb * light, reflected, clamp(material.reflectivity, 0.0, 1.0));
    colour = vec4(rgb, base.a);
    float brightness = dot(rgb, vec3(0.2126, 0.7152, 0.0722));
    glow = vec4(brightness > 1.0 ? rgb : vec3(0.0), 1.0);
}
