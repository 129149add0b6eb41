#version 330 core
// Scene program: Blinn-Phong sunlight with diffuse, specular and normal maps, a filtered shadow lookup and sky
// reflections; output 0 is the lit colour, output 1 the glow that the bloom pass blurs.
// The program is validated before its samplers are set, and a sampler2D and the samplerCube both on unit 0 fail
// validation, so every sampler names its unit here.
#extension GL_ARB_shading_language_420pack : require

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
layout(binding = 2) uniform sampler2D normalMap;   // red along the tangent, green along the bitangent
layout(binding = 3) uniform sampler2D shadowMap;
layout(binding = 5) uniform samplerCube environmentMap;
uniform int debugNormals;
uniform int smoothShadows;
// Above 0 only for the ghost ball: drawn see-through in a pale tint, its rim denser, at this opacity (0..1).
uniform float ghostOpacity;

// Depth offsets against self-shadowing; the light box is 100 units deep, so 0.001 is a tenth of a unit.
const float flatBias = 0.0015;
const float slopeBias = 0.005;     // added as the surface turns away from the light
// Bright pass: luminance where the glow starts and where all of the colour glows. Sunlit grass stays below.
const float glowStart = 0.95;
const float glowFull = 1.4;
// Shiny surfaces (the ball, markers and stick) whose texels are strongly coloured light up by themselves: the
// checkpoint markers are painted so. Chroma is the spread between the largest and smallest channel.
const float shinyFrom = 0.5;       // material specular intensity
const float emissiveChromaStart = 0.45;
const float emissiveChromaFull = 0.75;
const float emissiveColour = 0.3;  // added to the lit colour, times the texel
const float emissiveGlow = 1.2;    // sent to the glow, times the texel
const vec3 lumaWeights = vec3(0.2126, 0.7152, 0.0722);
// The ghost: a cold pale blue, a quarter opaque where it faces the eye and most of the way at its outline, so it
// reads as a shell of light that never hides what lies behind it.
const vec3 ghostTint = vec3(0.35, 0.72, 1.0);
const float ghostFaceAlpha = 0.3;
const float ghostRimAlpha = 0.85;
const float ghostTintShare = 0.8; // of the lit colour replaced by the tint

float luminance(vec3 c) { return dot(c, lumaWeights); }

// Tangent frame made square to the outward normal; a mesh without tangents (or the sprite quad) keeps n.
vec3 mappedNormal(vec3 n) {
    vec3 t = worldTangent - n * dot(n, worldTangent);
    if (dot(t, t) < 1e-10) return n;
    t = normalize(t);
    vec3 b = worldBitangent - n * dot(n, worldBitangent) - t * dot(t, worldBitangent);
    if (dot(b, b) < 1e-10) return n;
    b = normalize(b);
    // A flat texel (128, 128, 255) reads almost exactly (0, 0, 1) and so gives n back. No tangent-space texel
    // points into the surface: such a value means no map is bound (an empty unit reads black), so keep n.
    vec3 m = texture(normalMap, uv).rgb * 2.0 - 1.0;
    if (m.z <= 0.0) return n;
    vec3 mapped = t * m.x + b * m.y + n * m.z;
    return dot(mapped, mapped) > 1e-10 ? normalize(mapped) : n;
}

// 0 lit .. 1 fully shadowed. Anything outside the light's box is lit.
float shadowAmount(float cosToLight) {
    vec3 p = lightSpacePosition.xyz / lightSpacePosition.w * 0.5 + 0.5;
    if (p.x < 0.0 || p.x > 1.0 || p.y < 0.0 || p.y > 1.0 || p.z < 0.0 || p.z > 1.0) return 0.0;
    float bias = max(slopeBias * (1.0 - cosToLight), flatBias);
    int radius = smoothShadows == 1 ? 1 : 0; // 3 x 3 percentage-closer filter when smooth
    vec2 texel = 1.0 / vec2(textureSize(shadowMap, 0));
    float shadow = 0.0;
    for (int x = -radius; x <= radius; ++x) {
        for (int y = -radius; y <= radius; ++y) {
            float stored = texture(shadowMap, p.xy + vec2(x, y) * texel).r;
            shadow += p.z - bias > stored ? 1.0 : 0.0;
        }
    }
    float taps = float((2 * radius + 1) * (2 * radius + 1));
    return shadow / taps;
}

void main() {
    vec4 base = texture(diffuseMap, uv);
    vec3 toLight = normalize(-directionalLight.direction);

    // The particle quad carries no normal: its sparks are lit evenly, without shadow or reflection.
    if (dot(worldNormal, worldNormal) < 1e-12) {
        vec3 rgb = base.rgb * directionalLight.colour *
                   (directionalLight.ambientIntensity + directionalLight.diffuseIntensity);
        colour = debugNormals == 1 ? vec4(0.5, 0.5, 0.5, 1.0) : vec4(rgb, base.a);
        glow = vec4(debugNormals == 1 ? vec3(0.0) : rgb * smoothstep(glowStart, glowFull, luminance(rgb)), 1.0);
        return;
    }

    vec3 geometric = normalize(worldNormal);
    vec3 n = mappedNormal(geometric);
    if (debugNormals == 1) {
        colour = vec4(n * 0.5 + 0.5, 1.0);
        glow = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }

    vec3 toEye = normalize(eyePosition - worldPosition);
    float diffuse = max(dot(n, toLight), 0.0) * directionalLight.diffuseIntensity;
    float specular = 0.0;
    if (dot(geometric, toLight) > 0.0) {
        vec3 halfway = normalize(toLight + toEye);
        specular = pow(max(dot(n, halfway), 0.0), max(material.shininess, 1.0)) * material.specularIntensity *
                   texture(specularMap, uv).r;
    }
    float lit = 1.0 - shadowAmount(max(dot(geometric, toLight), 0.0));
    // Highlights take the light's colour, not the surface's, so they can outshine a dark texture.
    vec3 rgb = directionalLight.colour *
               (base.rgb * (directionalLight.ambientIntensity + lit * diffuse) + lit * specular);

    // A surface that reflects nothing (the ground, most of the picture) skips the sky lookup.
    if (material.reflectivity > 0.0) {
        vec3 reflected = texture(environmentMap, reflect(-toEye, n)).rgb;
        rgb = mix(rgb, reflected, clamp(material.reflectivity, 0.0, 1.0));
    }

    if (ghostOpacity > 0.0) {
        float rim = pow(1.0 - max(dot(geometric, toEye), 0.0), 2.0);
        vec3 shell = mix(rgb, ghostTint * (directionalLight.ambientIntensity + diffuse), ghostTintShare) +
                     ghostTint * rim * 0.5;
        float alpha = clamp(ghostOpacity, 0.0, 1.0) * mix(ghostFaceAlpha, ghostRimAlpha, rim);
        colour = vec4(shell, alpha);
        glow = vec4(ghostTint * rim * 0.5, alpha); // a faint halo of its own under the bloom
        return;
    }

    float chroma = max(max(base.r, base.g), base.b) - min(min(base.r, base.g), base.b);
    float emissive = step(shinyFrom, material.specularIntensity) *
                     smoothstep(emissiveChromaStart, emissiveChromaFull, chroma);
    rgb += base.rgb * emissive * emissiveColour;

    colour = vec4(rgb, base.a);
    glow = vec4(rgb * smoothstep(glowStart, glowFull, luminance(rgb)) + base.rgb * emissive * emissiveGlow, 1.0);
}
