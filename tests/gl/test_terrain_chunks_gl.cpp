// The chunked terrain through the scene pass: near the eye the same picture and the same ground as the
// full-resolution mesh, and no cracks where two levels of detail meet.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>
#include <random>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "core/camera.h"
#include "core/physics.h"
#include "core/scene_layout.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"
#include "gl/scene.h"
#include "tests/support/gl_pass.h"
#include "tests/support/reference_terrain.h"

namespace {

constexpr int targetSize = GlPass::size; // pixels per side

// A 64 x 64 map with four colours in its corners, so a texture coordinate that strays shows.
Texture makeGradientTexture() {
    std::vector<uint8_t> pixels(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = &pixels[std::size_t(y * 64 + x) * 4];
            p[0] = uint8_t(x * 4), p[1] = uint8_t(255 - y * 3), p[2] = uint8_t((x + y) * 2), p[3] = 255;
        }
    Texture texture;
    glGenTextures(1, &texture.textureId);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    texture.unit = diffuseUnit;
    return texture;
}

// Heights in world units for a side x side map: smooth hills of the given height, a random jitter and a ripple that
// lifts every other grid point and lowers the rest, so a coarser level's straight edge runs far from the finer one.
HeightGrid makeGround(int32_t side, float hills, float jitter, float ripple) {
    HeightGrid grid{side, side, std::vector<int16_t>(std::size_t(side) * std::size_t(side))};
    std::mt19937 random(5);
    std::uniform_real_distribution<float> noise(-jitter, jitter);
    for (int32_t z = 0; z < side; ++z)
        for (int32_t x = 0; x < side; ++x) {
            const float h = hills * std::sin(float(x) / 9.0f) * std::cos(float(z) / 13.0f) + noise(random) +
                            ((x + z) % 2 == 0 ? ripple : -ripple);
            grid.samples[std::size_t(z) * std::size_t(side) + std::size_t(x)] = int16_t(std::lround(h * 327.67f));
        }
    return grid;
}

class TerrainChunksGl : public GlPass {
protected:
    TerrainChunksGl() {
        // The shipped grass stands aside for maps that show a stray texture coordinate or normal.
        replaceGrass(renderer, makeGradientTexture(), texel(255, 255, 255, specularUnit),
                     texel(160, 110, 230, normalUnit));
    }

    // The race over grid, its ball out of every view: only ground is seen.
    void onGround(HeightGrid grid) {
        useGround(std::move(grid));
        placeBall(race->ball, glm::vec3(0.0f, -1000.0f, 0.0f));
        stepPhysics(race->world, physicsSubstep);
    }
    void renderScene() { renderScenePass(renderer, *race, flags, targetSize, targetSize, 0.0); }

    // The eye at eye (world), looking along look.
    void lookFrom(const glm::vec3& eye, const glm::vec3& look) {
        Camera& camera = race->camera;
        camera = Camera{};
        camera.front = glm::normalize(look);
        camera.armDistance = 10.0f;
        camera.position = camera.target = eye + camera.front * camera.armDistance;
        camera.up = glm::vec3(0.0f, 1.0f, 0.0f);
    }

    // Depth of every pixel turned back into world positions; pixels without ground come back with w = 0.
    std::vector<glm::vec4> groundPoints() const {
        std::vector<float> depth(std::size_t(targetSize) * targetSize);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadPixels(0, 0, targetSize, targetSize, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        const glm::mat4 worldFromClip = glm::inverse(renderer.projection * cameraView(race->camera));
        std::vector<glm::vec4> points(depth.size(), glm::vec4(0.0f));
        for (int y = 0; y < targetSize; ++y)
            for (int x = 0; x < targetSize; ++x) {
                const float d = depth[std::size_t(y * targetSize + x)];
                if (d >= 1.0f) continue;
                const glm::vec4 ndc((x + 0.5f) / targetSize * 2.0f - 1.0f, (y + 0.5f) / targetSize * 2.0f - 1.0f,
                                    d * 2.0f - 1.0f, 1.0f);
                const glm::vec4 p = worldFromClip * ndc;
                points[std::size_t(y * targetSize + x)] = glm::vec4(glm::vec3(p) / p.w, 1.0f);
            }
        return points;
    }

    std::vector<glm::vec4> colours() const { return readAll(); }
};

TEST_F(TerrainChunksGl, NearTheEyeTheGroundIsTheFullResolutionSurfaceInPictureAndPlace) {
    // Bumpy enough that every cell leans its own way; all of it seen within full-detail distance.
    onGround(makeGround(257, 6.0f, 1.5f, 0.0f));
    lookFrom(glm::vec3(-20.0f, 45.0f, -30.0f), glm::vec3(0.4f, -1.0f, 0.5f));
    renderScene();
    ASSERT_GT(renderer.course.drawnChunks.size(), 1u);
    const std::vector<glm::vec4> chunked = colours();
    const std::vector<glm::vec4> points = groundPoints();

    // The same frame with the full mesh of every grid point, drawn by the scene program with this frame's uniforms.
    const uint32_t heights = renderer.course.heightTexture;
    renderer.course.heightTexture = 0;
    renderScene();
    renderer.course.heightTexture = heights;
    const Terrain& terrain = race->terrain;
    const referenceterrain::Geometry g = referenceterrain::build(terrain.width, terrain.height, terrain.samples.data());
    Mesh mesh;
    mesh.createMesh(g.vertices.data(), g.indices.data(), uint32_t(g.vertices.size()), uint32_t(g.indices.size()));
    drawIntoTarget();
    const Shader& scene = renderer.programs.scene;
    scene.use();
    activateAllUniforms(renderer.uniforms, scene);
    uploadMatrix(renderer.uniforms.model, glm::scale(glm::mat4(1.0f), glm::vec3(257.0f, 100.0f, 257.0f)));
    sendMaterial(renderer.uniforms, dullMaterial());
    const StartupTextures& maps = renderer.textures;
    for (const Texture* t : {&maps.grass, &maps.grassSpecular, &maps.grassNormal}) bindTexture2D(*t);
    mesh.draw();
    mesh.clear();
    const std::vector<glm::vec4> whole = colours();

    // The same to a grey level, but for a few lone pixels where the two ways of choosing a mipmap round apart.
    int ground = 0, apart = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            ASSERT_NEAR(chunked[i][c], whole[i][c], 0.04f) << "pixel " << i % targetSize << ", " << i / targetSize;
            apart += std::abs(chunked[i][c] - whole[i][c]) > 1.0f / 255.0f;
        }
        if (points[i].w == 0.0f) continue;
        ++ground;
        // The height the camera keeps clear of, from the same samples as the ball's heightfield.
        ASSERT_NEAR(points[i].y, drawnGroundHeight(terrain, points[i].x, points[i].z), 0.02f)
            << "at " << points[i].x << ", " << points[i].z;
    }
    EXPECT_EQ(ground, targetSize * targetSize) << "the ground fills the view";
    EXPECT_LT(apart, targetSize * targetSize * 3 / 1000);
}

TEST_F(TerrainChunksGl, LevelsOfDetailMeetWithoutCracks) {
    onGround(makeGround(1025, 10.0f, 0.0f, 4.0f));
    lookFrom(glm::vec3(0.0f, 60.0f, -400.0f), glm::vec3(0.0f, -0.85f, 1.0f));
    renderScene();
    int finest = maxTerrainLevels, coarsest = 0;
    for (const TerrainChunk& c : renderer.course.drawnChunks) {
        finest = std::min(finest, c.level);
        coarsest = std::max(coarsest, c.level);
    }
    ASSERT_GT(coarsest, finest) << "the view should hold two levels";

    // The pass clears to black and the lit ground is never black: a black pixel is a hole in the ground.
    const std::vector<glm::vec4> pixels = colours();
    int holes = 0;
    for (const glm::vec4& p : pixels) holes += p.r + p.g + p.b == 0.0f;
    EXPECT_EQ(holes, 0);
}

} // namespace
