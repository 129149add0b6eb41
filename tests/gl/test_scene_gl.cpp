// The scene pass through a real context: the shipped programs, the state it leaves, lighting, shadows, markers, flag.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/camera.h"
#include "app/input.h"
#include "app/race_state.h"
#include "app/window.h"
#include "course/physics.h"
#include "course/terrain_upload.h"
#include "effects/bloom.h"
#include "effects/particles.h"
#include "effects/particles_draw.h"
#include "effects/unit_quad.h"
#include "render/model.h"
#include "render/model_import.h"
#include "render/scene.h"
#include "render/shader.h"
#include "render/shadow_map.h"
#include "render/skybox.h"
#include "render/texture.h"
#include "tests/support/scene_fixtures.h"
#include "tests/support/temp_files.h"

namespace {

using scenefixtures::makeOctahedron;
using scenefixtures::makeTexel;
using scenefixtures::modelOf;
using scenefixtures::OffscreenTarget;
using scenefixtures::pixelOf;

constexpr int targetSize = 256;         // pixels per side: about 0.065 world units each on the lawn
constexpr int groundSamples = 32;       // a flat 32 x 32 grid: world x and z from -16 to 15
constexpr float colourTolerance = 0.01f; // half-float target and 8-bit texels
const glm::vec3 grassColour(100.0f / 255.0f, 160.0f / 255.0f, 60.0f / 255.0f);
// Flat ground facing up, sun from (0, 1, 1): ambient 0.5 plus diffuse 0.6 x cos 45 degrees.
constexpr float sunlitGround = 0.5f + 0.6f * 0.70710678f;
constexpr float shadedGround = 0.5f;

void expectColour(const glm::vec4& actual, const glm::vec3& expected, const char* what) {
    EXPECT_NEAR(actual.r, expected.r, colourTolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, colourTolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, colourTolerance) << what;
}

float brightness(const glm::vec4& c) { return c.r + c.g + c.b; }

// Looks straight down on the origin from 20 units up, with -z at the top of the picture.
void lookDownOnTheGround() {
    camera = Camera{};
    camera.front = glm::vec3(0.0f, -1.0f, 0.0f);
    camera.up = glm::vec3(0.0f, 0.0f, -1.0f);
    camera.distance = 20.0f;
}

// Looks at p from distance units towards +z.
void lookAt(const glm::vec3& p, float distance) {
    camera = Camera{};
    camera.position = camera.target = p;
    camera.front = glm::vec3(0.0f, 0.0f, -1.0f);
    camera.up = glm::vec3(0.0f, 1.0f, 0.0f);
    camera.distance = distance;
}

// Everything a scene pass reads, made small: the shipped programs, the shadow map, a flat lawn of one colour, an
// optional ball, and the globals the pass reads at their start values.
class ScenePass : public ::testing::Test {
protected:
    void SetUp() override {
        {
            testfiles::WorkingDirectory inData(KELVARA_DATA_DIR);
            ASSERT_NO_THROW(createShaders());
        }
        ASSERT_NO_THROW(createShadowMap());
        target = std::make_unique<OffscreenTarget>(targetSize);
        ASSERT_TRUE(target->complete());
        sceneTarget.framebuffer = target->framebuffer;
        window.framebufferWidth = window.framebufferHeight = targetSize;
        unitQuad.create();
        createParticlePool();
        setupSceneLight();
        setupMaterials();
        initialiseLightMatrices();
        cameraProjection = makeCameraProjection(targetSize, targetSize);
        renderFlags = RenderFlags{};
        raceState = RaceState{};
        frameClock = FrameClock{};
        lookDownOnTheGround();

        grassTexture = makeTexel(100, 160, 60, 0);
        grassSpecularTexture = makeTexel(0, 0, 0, 1);
        grassNormalTexture = makeTexel(128, 128, 255, 2);

        HeightGrid flat{groundSamples, groundSamples,
                        std::vector<int16_t>(std::size_t(groundSamples) * std::size_t(groundSamples), 0)};
        ground = new Terrain(std::move(flat));
        ASSERT_TRUE(uploadTerrain(*ground));
        terrain = ground;
        terrainBody = nullptr;
        ballBody = nullptr;
        skybox = nullptr;
        // No sky: the environment unit must read black.
        glActiveTexture(GL_TEXTURE5);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        glActiveTexture(GL_TEXTURE0);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    void TearDown() override {
        ballBody = nullptr;
        if (world != nullptr) {
            destroyPhysicsWorld(world);
            world = nullptr;
        }
        delete ball;
        ball = nullptr;
        terrain = ground;
        releaseTerrainGpu();
        terrain = nullptr;
        if (ground != nullptr) {
            ground->mesh.clear();
            delete ground;
            ground = nullptr;
        }
        for (Model* m : {&ballModel, &markerModel, &flagModel, &stickModel}) {
            m->clear();
        }
        for (Texture* t : {&grassTexture, &grassSpecularTexture, &grassNormalTexture}) {
            t->clear();
        }
        particlePool.clear();
        unitQuad.clear();
        sceneTarget = SceneTarget{};
        target.reset();
        releaseShadowMap();
        releaseShaders();
        glUseProgram(0);
    }

    // A ball of the given radius held at p: drawn from its body's motion state as the game draws it.
    void placeTestBall(const glm::vec3& p, float radius) {
        world = createPhysicsWorld();
        ball = createBall(*world, p);
        btTransform at;
        at.setIdentity();
        at.setOrigin(btVector3(p.x, p.y, p.z));
        ball->body->getMotionState()->setWorldTransform(at);
        ballBody = ball;
        ballModel = modelOf(makeOctahedron(radius));
    }

    void renderFrame() {
        renderShadowPass();
        renderScenePass();
    }

    glm::vec4 colourAt(const glm::vec3& world, int output = 0) const {
        const auto px = pixelOf(cameraProjection * cameraView(camera), world, targetSize);
        return target->read(output, px[0], px[1]);
    }

    std::unique_ptr<OffscreenTarget> target;
    Terrain* ground = nullptr;
    PhysicsWorld* world = nullptr;
    PhysicsBody* ball = nullptr;
};

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

TEST_F(ScenePass, ShippedProgramsOfferEveryUniformThePassesSet) {
    const GLuint scene = shaderList[0].programId;
    for (const char* name : {"model", "view", "projection", "eyePosition", "lightSpaceMatrix",
                             "directionalLight.colour", "directionalLight.ambientIntensity",
                             "directionalLight.direction", "directionalLight.diffuseIntensity",
                             "material.specularIntensity", "material.shininess", "material.reflectivity",
                             "diffuseMap", "specularMap", "normalMap", "shadowMap", "environmentMap", "debugNormals",
                             "smoothShadows"}) {
        EXPECT_NE(glGetUniformLocation(scene, name), -1) << "scene program: " << name;
    }
    const GLuint flag = flagShader.programId;
    for (const char* name : {"model", "view", "projection", "eyePosition", "FragPosLightSpace", "animateTime",
                             "velocity", "k", "amp", "directionalLight.colour", "directionalLight.ambientIntensity",
                             "directionalLight.direction", "directionalLight.diffuseIntensity", "diffuseMap",
                             "specularMap", "shadowMap", "debugNormals"}) {
        EXPECT_NE(glGetUniformLocation(flag, name), -1) << "flag program: " << name;
    }
    for (const char* name : {"model", "view", "projection"}) {
        EXPECT_NE(glGetUniformLocation(depthShader->programId, name), -1) << "depth program: " << name;
    }
}

TEST_F(ScenePass, LeavesTheStateTheLaterPassesRelyOn) {
    placeTestBall(glm::vec3(0.0f, 2.0f, 0.0f), 0.5f);
    renderFrame();
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC_RGB), GL_ONE) << "the particles' additive function stays";
    EXPECT_EQ(integer(GL_BLEND_DST_RGB), GL_ONE);
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), static_cast<GLint>(flagShader.programId));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], targetSize);
    EXPECT_EQ(viewport[3], targetSize);
    // The shadow map stays on unit 3 for the next frame's first draws.
    glActiveTexture(GL_TEXTURE3);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(shadowMapTexture));
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScenePass, FlatGroundUnderTheSunIsLitByAmbientAndDiffuseAndDoesNotGlow) {
    renderFrame();
    const glm::vec3 middle(0.0f, 0.0f, 0.0f);
    expectColour(colourAt(middle), grassColour * sunlitGround, "a flat normal map gives the upward normal");
    expectColour(colourAt(middle, 1), glm::vec3(0.0f), "sunlit grass stays out of the glow");
    expectColour(colourAt(glm::vec3(6.0f, 0.0f, 6.0f)), grassColour * sunlitGround, "the whole lawn is lit alike");
}

TEST_F(ScenePass, DebugNormalsShowTheNormalMapInTheTerrainFrame) {
    renderFlags.debugNormals = true;
    renderFrame();
    expectColour(colourAt(glm::vec3(0.0f)), glm::vec3(0.5f, 1.0f, 0.5f), "flat map: straight up");

    // A texel leaning fully along red follows the ground's tangent, which runs towards -x.
    grassNormalTexture.clear();
    grassNormalTexture = makeTexel(255, 128, 128, 2);
    renderFrame();
    expectColour(colourAt(glm::vec3(0.0f)), glm::vec3(0.0f, 0.5f, 0.5f), "red along the tangent");

    grassNormalTexture.clear();
    grassNormalTexture = makeTexel(128, 255, 128, 2);
    renderFrame();
    expectColour(colourAt(glm::vec3(0.0f)), glm::vec3(0.5f, 0.5f, 1.0f), "green along the bitangent (+z)");
}

TEST_F(ScenePass, AMissingNormalMapLeavesTheGroundFacingUp) {
    // A normal-map file that failed to load leaves texture 0 on unit 2, which reads black.
    grassNormalTexture.clear();
    renderFlags.debugNormals = true;
    renderFrame();
    expectColour(colourAt(glm::vec3(0.0f)), glm::vec3(0.5f, 1.0f, 0.5f), "debug view: straight up");
    renderFlags.debugNormals = false;
    renderFrame();
    expectColour(colourAt(glm::vec3(0.0f)), grassColour * sunlitGround, "and lit as usual");
}

TEST_F(ScenePass, TheBallShadowFallsOnTheGroundAlongTheLight) {
    // The light travels along (0, -1, -1): a ball 2 above the origin shades the ground around (0, 0, -2).
    placeTestBall(glm::vec3(0.0f, 2.0f, 0.0f), 0.75f);
    renderFrame();
    expectColour(colourAt(glm::vec3(0.0f, 0.0f, -2.0f)), grassColour * shadedGround, "in the ball's shadow");
    expectColour(colourAt(glm::vec3(4.0f, 0.0f, -2.0f)), grassColour * sunlitGround, "beside the shadow");
    expectColour(colourAt(glm::vec3(0.0f, 0.0f, 5.0f)), grassColour * sunlitGround, "on the sunny side");
}

TEST_F(ScenePass, HardShadowsHaveASharperEdgeThanSmoothOnes) {
    placeTestBall(glm::vec3(0.0f, 2.0f, 0.0f), 0.75f);
    // Walk across the shadow's edge in x and count the pixels that are neither fully lit nor fully shaded.
    auto partlyShaded = [&]() {
        int count = 0;
        const auto from = pixelOf(cameraProjection * cameraView(camera), glm::vec3(-2.0f, 0.0f, -2.0f), targetSize);
        const auto to = pixelOf(cameraProjection * cameraView(camera), glm::vec3(2.0f, 0.0f, -2.0f), targetSize);
        for (int x = from[0]; x <= to[0]; ++x) {
            const float g = target->read(0, x, from[1]).g / grassColour.g;
            if (g > shadedGround + 0.02f && g < sunlitGround - 0.02f) {
                ++count;
            }
        }
        return count;
    };
    renderFlags.smoothShadows = false;
    renderFrame();
    const int hard = partlyShaded();
    renderFlags.smoothShadows = true;
    renderFrame();
    const int smooth = partlyShaded();
    EXPECT_EQ(hard, 0) << "one lookup per pixel is either in or out";
    EXPECT_GT(smooth, 0) << "the 3 x 3 filter blends the edge";
}

TEST_F(ScenePass, AMarkerShowsAndGlowsUntilItsCheckpointIsCollected) {
    markerModel = modelOf(makeOctahedron(0.5f));
    markerModel.textureList.push_back(makeTexel(255, 140, 0, 0));
    lookAt(checkpoints[1], 40.0f);
    const int middle = targetSize / 2;

    renderFrame();
    const glm::vec4 shown = target->read(0, middle, middle);
    const glm::vec4 glowing = target->read(1, middle, middle);
    EXPECT_GT(shown.r, 0.5f) << "the orange marker stands in front of the camera";
    EXPECT_GT(glowing.r, 0.5f) << "markers light up the bloom";
    EXPECT_GT(glowing.r, glowing.b);

    raceState.reached[1] = true;
    renderFrame();
    expectColour(target->read(0, middle, middle), glm::vec3(0.0f), "no marker once collected, no sky behind");
    expectColour(target->read(1, middle, middle), glm::vec3(0.0f), "and no glow");
}

TEST_F(ScenePass, TheReflectivityKeyTurnsTheBallIntoAMirror) {
    placeTestBall(glm::vec3(0.0f, 2.0f, 0.0f), 2.0f);
    ballModel.textureList.push_back(makeTexel(255, 255, 255, 0));
    // Without a sky the mirror shows black: the more the ball reflects, the darker it gets.
    const glm::vec3 top(0.0f, 4.0f, 0.0f);
    renderFrame();
    const float normal = brightness(colourAt(top));
    renderFlags.reflectivity = 1.0f;
    renderFrame();
    const float mirrored = brightness(colourAt(top));
    EXPECT_GT(normal, 1.2f);
    EXPECT_LT(mirrored, 0.05f);
    EXPECT_FLOAT_EQ(shinyMaterial.reflectivity, 1.0f);
}

// A flag cloth as the flag program expects it: in the model's x-y plane, held at y = -1.2, six units long and four
// high, finely divided so the wave has vertices to move.
Mesh makeCloth() {
    constexpr int columns = 48, rows = 8;
    std::vector<float> vertices;
    std::vector<uint32_t> indices;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const float y = -1.2f + 6.0f * float(c) / columns;
            const float x = -4.0f + 4.0f * float(r) / rows;
            vertices.insert(vertices.end(), {x, y, 0.0f, float(c) / columns, float(r) / rows, 0.0f, 0.0f, -1.0f,
                                             0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f});
        }
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const uint32_t a = uint32_t(r * (columns + 1) + c), b = a + 1, d = a + columns + 1, e = d + 1;
            indices.insert(indices.end(), {a, d, b, b, d, e});
        }
    }
    Mesh mesh;
    mesh.createMesh(vertices.data(), indices.data(), uint32_t(vertices.size()), uint32_t(indices.size()));
    return mesh;
}

TEST_F(ScenePass, TheFlagWavesWithTheClock) {
    flagModel = modelOf(makeCloth());
    flagModel.textureList.push_back(makeTexel(230, 30, 30, 0));
    // The cloth spans world x from goal + 1.2 to goal - 4.8 and y from goal + 21 to goal + 25. Its normals, shown as
    // colour, lean left and right with the wave: red is 0.5 where the cloth faces the camera squarely.
    lookAt(checkpoints[goalIndex] + glm::vec3(-1.8f, 23.0f, 0.0f), 9.0f);
    renderFlags.debugNormals = true;
    auto middleRow = [&]() {
        std::vector<float> reds;
        for (int x = 0; x < targetSize; ++x) {
            reds.push_back(target->read(0, x, targetSize / 2).r);
        }
        return reds;
    };
    glfwSetTime(0.0);
    renderFrame();
    const std::vector<float> first = middleRow();
    // Within a third of a second the wave moves on by about half a wavelength.
    glfwSetTime(0.3);
    renderFrame();
    const std::vector<float> later = middleRow();

    int clothPixels = 0;
    float lowest = 1.0f, highest = 0.0f, largestChange = 0.0f;
    for (std::size_t x = 0; x < first.size(); ++x) {
        if (first[x] < 0.05f) {
            continue; // background
        }
        ++clothPixels;
        lowest = std::min(lowest, first[x]);
        highest = std::max(highest, first[x]);
        largestChange = std::max(largestChange, std::fabs(first[x] - later[x]));
    }
    EXPECT_GT(clothPixels, targetSize / 3) << "the flag stands in the picture";
    EXPECT_GT(highest - lowest, 0.1f) << "the cloth is bent by the wave";
    EXPECT_GT(largestChange, 0.1f) << "the wave travels with GLFW's clock";
}

} // namespace
