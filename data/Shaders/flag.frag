#version 330 core
// Goal flag: two-sided diffuse and specular light with a shadow lookup.
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
in vec4 lightSpacePosition;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 glow;

uniform DirectionalLight directionalLight;
uniform Material material;
uniform vec3 eyePosition;
uniform sampler2D diffuseMap;
uniform sampler2D specularMap;
uniform sampler2D normalMap; // bound by the pass; the cloth is shaded from its wave normal instead
uniform sampler2D shadowMap;
uniform int debugNormals;

void main() {
    vec3 n = normalize(worldNormal);
    if (!gl_FrontFacing) n = -n;
    if (debugNormals == 1) {
        colour = vec4(n * 0.5 + 0.5, 1.0);
        glow = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec3 toLight = normalize(-directionalLight.direction);
    vec3 toEye = normalize(eyePosition - worldPosition);
    float diffuse = max(dot(n, toLight), 0.0) * directionalLight.diffuseIntensity;
    float specular = pow(max(dot(n, normalize(toLight + toEye)), 0.0), max(material.shininess, 1.0)) *
                     material.specularIntensity * texture(specularMap, uv).r;
    vec3 p = lightSpacePosition.xyz / lightSpacePosition.w * 0.5 + 0.5;
    float lit = p.z - 0.005 > texture(shadowMap, p.xy).r ? 0.5 : 1.0;
    vec4 base = texture(diffuseMap, uv);
    vec3 light = directionalLight.colour * (directionalLight.ambientIntensity + lit * (diffuse + specular));
    colour = vec4(base.rgb * light, base.a);
    glow = vec4(0.0, 0.0, 0.0, 1.0);
}
