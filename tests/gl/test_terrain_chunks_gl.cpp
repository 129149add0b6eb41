// A course's ground on the GPU through the scene pass: near the eye the same picture and the same ground as the
// full-resolution mesh, no cracks where two levels of detail meet, and a course dropped with every GL object it made
// and another uploaded in its place, many times over in one renderer.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "core/scene_layout.h"
#include "gl/gl_util.h"
#include "gl/mesh.h"
#include "gl/scene.h"
#include "tests/support/gl_pass.h"

namespace {

// A 64 x 64 map with four colours in its corners, so a texture coordinate that strays shows.
Texture makeGradientTexture() {
    Image image{64, 64, 4, 4, {}};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.pixels.insert(image.pixels.end(), {uint8_t(x * 4), uint8_t(255 - y * 3), uint8_t((x + y) * 2), 255});
    Texture texture;
    texture.textureId = uploadTexture(image, GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR);
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

// The terrain as one mesh of every grid point, the way the game drew it before it drew chunks, drawn with whatever
// program is in use: mesh space (x / width - 0.5, s / 32767, z / height - 0.5); the normal of the cell a point is the
// first corner of, into the ground; the tangent that normal crossed with (0, 0, 1); uv mirrored every 20 points.
void drawWholeMesh(const Terrain& terrain) {
    const int32_t width = terrain.width, height = terrain.height;
    auto position = [&](int32_t x, int32_t z) {
        return glm::vec3(float(x) / float(width) - 0.5f, float(terrain.samples[z * width + x]) / 32767.0f,
                         float(z) / float(height) - 0.5f);
    };
    auto mirrored = [](int32_t n) { return (n % 40) >= 20 ? 1.0f - float(n % 20) / 20.0f : float(n % 20) / 20.0f; };
    std::vector<float> vertices;
    std::vector<uint32_t> indices;
    for (int32_t z = 0; z < height; ++z)
        for (int32_t x = 0; x < width; ++x) {
            const int32_t cx = std::min(x, width - 2), cz = std::min(z, height - 2);
            const glm::vec3 a = position(cx, cz), b = position(cx + 1, cz), c = position(cx, cz + 1);
            const glm::vec3 normal = glm::normalize(glm::cross(b - a, c - b));
            const glm::vec3 tangent = glm::normalize(glm::cross(normal, glm::vec3(0.0f, 0.0f, 1.0f)));
            const glm::vec3 p = position(x, z);
            vertices.insert(vertices.end(), {p.x, p.y, p.z, mirrored(x), mirrored(z), normal.x, normal.y, normal.z,
                                             tangent.x, tangent.y, tangent.z, 0.0f, 0.0f, 1.0f});
            const uint32_t v = uint32_t(z * width + x), below = v + uint32_t(width);
            if (x + 1 < width && z + 1 < height) indices.insert(indices.end(), {v, below, v + 1, v + 1, below, below + 1});
        }
    Mesh mesh;
    mesh.createMesh(vertices.data(), indices.data(), uint32_t(vertices.size()), uint32_t(indices.size()));
    mesh.draw();
    mesh.clear();
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
    void renderScene() { renderScenePass(renderer, *race, flags, size, size, 0.0); }
    // Looks straight down on the middle of the ground from above; pixels the ground covers.
    int groundPixels() {
        lookFrom(glm::vec3(0.0f, 30.0f, 0.0f), glm::vec3(0.0f, -1.0f, 0.0f), glm::vec3(0.0f, 0.0f, -1.0f));
        renderScene();
        int covered = 0;
        for (const glm::vec4& c : readAll()) covered += c.r + c.g + c.b > 0.0f ? 1 : 0;
        return covered;
    }

    // The eye at eye (world), looking along look.
    void lookFrom(const glm::vec3& eye, const glm::vec3& look, const glm::vec3& up = glm::vec3(0.0f, 1.0f, 0.0f)) {
        Camera& camera = race->camera;
        camera = Camera{};
        camera.front = glm::normalize(look);
        camera.armDistance = 10.0f;
        camera.position = camera.target = eye + camera.front * camera.armDistance;
        camera.up = up;
    }

    // Depth of every pixel turned back into world positions; pixels without ground come back with w = 0.
    std::vector<glm::vec4> groundPoints() const {
        std::vector<float> depth(std::size_t(size) * size);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadPixels(0, 0, size, size, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        const glm::mat4 worldFromClip = glm::inverse(renderer.projection * cameraView(race->camera));
        std::vector<glm::vec4> points(depth.size(), glm::vec4(0.0f));
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const float d = depth[std::size_t(y * size + x)];
                if (d >= 1.0f) continue;
                const glm::vec4 ndc((x + 0.5f) / size * 2.0f - 1.0f, (y + 0.5f) / size * 2.0f - 1.0f,
                                    d * 2.0f - 1.0f, 1.0f);
                const glm::vec4 p = worldFromClip * ndc;
                points[std::size_t(y * size + x)] = glm::vec4(glm::vec3(p) / p.w, 1.0f);
            }
        return points;
    }
};

TEST_F(TerrainChunksGl, NearTheEyeTheGroundIsTheFullResolutionSurfaceInPictureAndPlace) {
    // Bumpy enough that every cell leans its own way; all of it seen within full-detail distance.
    onGround(makeGround(257, 6.0f, 1.5f, 0.0f));
    lookFrom(glm::vec3(-20.0f, 45.0f, -30.0f), glm::vec3(0.4f, -1.0f, 0.5f));
    renderScene();
    ASSERT_GT(renderer.course.drawnChunks.size(), 1u);
    const std::vector<glm::vec4> chunked = readAll();
    const std::vector<glm::vec4> points = groundPoints();

    // The same frame with the full mesh of every grid point, drawn by the scene program with this frame's uniforms.
    const uint32_t heights = renderer.course.heightTexture;
    renderer.course.heightTexture = 0;
    renderScene();
    renderer.course.heightTexture = heights;
    const Terrain& terrain = race->terrain;
    drawIntoTarget();
    const Shader& scene = renderer.programs.scene;
    scene.use();
    activateAllUniforms(renderer.uniforms, scene);
    uploadMatrix(renderer.uniforms.model, glm::scale(glm::mat4(1.0f), glm::vec3(257.0f, 100.0f, 257.0f)));
    sendMaterial(renderer.uniforms, dullMaterial());
    const StartupTextures& maps = renderer.textures;
    for (const Texture* t : {&maps.grass, &maps.grassSpecular, &maps.grassNormal}) bindTexture2D(*t);
    drawWholeMesh(terrain);
    const std::vector<glm::vec4> whole = readAll();

    // The same to a grey level, but for a few lone pixels where the two ways of choosing a mipmap round apart.
    int ground = 0, apart = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            ASSERT_NEAR(chunked[i][c], whole[i][c], 0.04f) << "pixel " << i % size << ", " << i / size;
            apart += std::abs(chunked[i][c] - whole[i][c]) > 1.0f / 255.0f;
        }
        if (points[i].w == 0.0f) continue;
        ++ground;
        // The height the camera keeps clear of, from the same samples as the ball's heightfield.
        ASSERT_NEAR(points[i].y, drawnGroundHeight(terrain, points[i].x, points[i].z), 0.02f)
            << "at " << points[i].x << ", " << points[i].z;
    }
    EXPECT_EQ(ground, size * size) << "the ground fills the view";
    EXPECT_LT(apart, size * size * 3 / 1000);
}

TEST_F(TerrainChunksGl, LevelsOfDetailMeetWithoutCracks) {
    onGround(makeGround(1025, 10.0f, 0.0f, 4.0f));
    lookFrom(glm::vec3(0.0f, 60.0f, -400.0f), glm::vec3(0.0f, -0.85f, 1.0f));
    renderScene();
    const std::vector<TerrainChunk>& drawn = renderer.course.drawnChunks;
    ASSERT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const TerrainChunk& c) { return c.level != drawn[0].level; }))
        << "the view should hold two levels";

    // The pass clears to black and the lit ground is never black: a black pixel is a hole in the ground.
    int holes = 0;
    for (const glm::vec4& p : readAll()) holes += p.r + p.g + p.b == 0.0f;
    EXPECT_EQ(holes, 0);
}

TEST_F(TerrainChunksGl, ACourseIsDroppedWithEveryGlObjectAndAnotherDrawsInItsPlace) {
    for (int i = 0; i < 20; ++i) {
        const int side = i % 2 == 0 ? 65 : 129;
        const std::string what = "course " + std::to_string(i);
        onGround(levelGrid(side, int16_t(1000 * (i % 3))));
        const TerrainGpu& course = renderer.course;
        ASSERT_EQ(course.width, side) << what;
        EXPECT_TRUE(glIsTexture(course.heightTexture)) << what;
        EXPECT_EQ(groundPixels(), size * size) << what << ": the ground fills the view";
        EXPECT_FALSE(course.drawnChunks.empty()) << what;

        const GLuint heights = course.heightTexture, chunks = course.chunkBuffer, mesh = course.mesh.vao,
                     vertices = course.mesh.vbo, indices = course.mesh.ibo;
        releaseCourse(renderer);
        EXPECT_FALSE(glIsTexture(heights)) << what;
        EXPECT_FALSE(glIsBuffer(chunks)) << what;
        EXPECT_FALSE(glIsBuffer(vertices)) << what;
        EXPECT_FALSE(glIsBuffer(indices)) << what;
        EXPECT_FALSE(glIsVertexArray(mesh)) << what;
        EXPECT_EQ(course.drawnChunks.capacity(), 0u) << what << ": the chunk list's memory goes too";
        EXPECT_EQ(course.lod.levelCount, 0) << what;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << what;
    }
    // Without a course the pass draws no ground and raises no error.
    EXPECT_EQ(groundPixels(), 0);
    EXPECT_TRUE(renderer.course.drawnChunks.empty());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
