#version 330 core
// Goal flag: the scene's sunlight on both faces of the cloth, with the shadow lookup and no sky reflection.
struct DirectionalLight {
    vec3 colour;
    float ambientIntensity;
    vec3 direction; // the way the light travels
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
uniform Material material; // never sent to this program: it reads zero, so the cloth has no highlight
uniform vec3 eyePosition;
uniform sampler2D diffuseMap;
uniform sampler2D specularMap;
uniform sampler2D shadowMap;
uniform int debugNormals;

const float shadowBias = 0.0015;

// The pass hands this program the light's projection without the light's view, so the lookup only finds the map
// near the middle of the course; the flag stands far outside that box and stays lit.
float shadowAmount() {
    vec3 p = lightSpacePosition.xyz / lightSpacePosition.w * 0.5 + 0.5;
    if (p.x < 0.0 || p.x > 1.0 || p.y < 0.0 || p.y > 1.0 || p.z < 0.0 || p.z > 1.0) return 0.0;
    return p.z - shadowBias > texture(shadowMap, p.xy).r ? 1.0 : 0.0;
}

void main() {
    // Culling is off for the flag: the back face shades with the normal turned towards the viewer.
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
    float specular = 0.0;
    if (diffuse > 0.0) {
        specular = pow(max(dot(n, normalize(toLight + toEye)), 0.0), max(material.shininess, 1.0)) *
                   material.specularIntensity * texture(specularMap, uv).r;
    }
    float lit = 1.0 - shadowAmount();
    vec4 base = texture(diffuseMap, uv);
    vec3 rgb = directionalLight.colour *
               (base.rgb * (directionalLight.ambientIntensity + lit * diffuse) + lit * specular);
    colour = vec4(rgb, base.a);
    glow = vec4(0.0, 0.0, 0.0, 1.0);
}
