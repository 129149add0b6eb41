// The terrain's start-up step through a real context: the heights and chunk mesh upload, their release, the body.
#include <gtest/gtest.h>

#include <vector>

#include <GL/glew.h>
#include <stb_image_write.h>

#include "course/physics.h"
#include "course/terrain_upload.h"
#include "render/model.h"
#include "render/model_import.h"
#include "tests/support/temp_files.h"

namespace {

class TerrainUpload : public testing::Test {
protected:
    void SetUp() override {
        physicsWorld = createPhysicsWorld();
        ballBody = nullptr;
        terrainBody = nullptr;
        terrain = nullptr;
        meshesBefore = terrainMeshes.size();
    }
    void TearDown() override {
        while (terrainMeshes.size() > meshesBefore) {
            terrainMeshes.back()->clear();
            terrainMeshes.pop_back();
        }
        releaseTerrain();
        shutdownPhysics();
        physicsWorld = savedWorld;
        ballBody = savedBall;
        terrainBody = savedTerrainBody;
        terrain = savedTerrain;
    }

    // A grey 8-bit heightmap in a scratch data folder.
    void writeHeightmap(int width, int height) {
        std::vector<unsigned char> grey(static_cast<std::size_t>(width * height), 128);
        const std::string path = dir.path("Textures/heightmap.png").string();
        dir.write("Textures/.keep", "");
        ASSERT_NE(stbi_write_png(path.c_str(), width, height, 1, grey.data(), width), 0);
    }

    testfiles::TempDir dir;
    std::size_t meshesBefore = 0;
    PhysicsWorld* savedWorld = physicsWorld;
    PhysicsBody* savedBall = ballBody;
    PhysicsBody* savedTerrainBody = terrainBody;
    Terrain* savedTerrain = terrain;
};

TEST_F(TerrainUpload, UploadsTheHeightsAndOneChunkMeshAndHandsTheMeshToShutdown) {
    writeHeightmap(12, 9);
    testfiles::WorkingDirectory inside(dir.root);
    ASSERT_EQ(setupTerrain(), 0);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->width, 12);
    EXPECT_EQ(terrain->height, 9);
    // One height per grid point, whatever the map's size; the mesh is the chunk grid, not the map.
    GLint texWidth = 0, texHeight = 0, format = 0;
    glBindTexture(GL_TEXTURE_2D, terrain->heightTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texHeight);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(texWidth, 12);
    EXPECT_EQ(texHeight, 9);
    EXPECT_EQ(format, GL_R32F);
    EXPECT_EQ(terrain->mesh.indexCount, 6 * chunkCells * chunkCells);
    EXPECT_TRUE(glIsVertexArray(terrain->mesh.vao));
    ASSERT_EQ(terrainMeshes.size(), meshesBefore + 1);
    EXPECT_EQ(terrainMeshes.back(), &terrain->mesh);
    ASSERT_NE(terrainBody, nullptr);
    EXPECT_EQ(bodyModelMatrix(*terrainBody), glm::mat4(1.0f));

    const GLuint heights = terrain->heightTexture;
    releaseTerrainGpu();
    EXPECT_FALSE(glIsTexture(heights));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TerrainUpload, AMissingHeightmapUploadsNothing) {
    testfiles::WorkingDirectory inside(dir.root);
    testing::internal::CaptureStderr();
    EXPECT_EQ(setupTerrain(), -1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(terrain, nullptr);
    EXPECT_EQ(terrainMeshes.size(), meshesBefore);
}

} // namespace
