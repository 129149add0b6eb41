// A course's ground on the GPU through a real context: uploaded, drawn, dropped with every GL object it made, and
// another uploaded in its place, many times over in one renderer.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

#include "core/camera.h"
#include "core/physics.h"
#include "gl/renderer.h"
#include "gl/scene.h"
#include "tests/support/gl_pass.h"

namespace {

class CourseUpload : public GlPass {
protected:
    // Looks straight down on the middle of the ground from above, the ball out of sight; pixels the ground covers.
    int groundPixels() {
        placeBall(race->ball, glm::vec3(0.0f, -1000.0f, 0.0f));
        stepPhysics(race->world, physicsSubstep);
        Camera& camera = race->camera;
        camera = Camera{};
        camera.front = glm::vec3(0.0f, -1.0f, 0.0f);
        camera.up = glm::vec3(0.0f, 0.0f, -1.0f);
        camera.armDistance = 20.0f;
        camera.position = camera.target = glm::vec3(0.0f, 10.0f, 0.0f);
        renderScenePass(renderer, *race, flags, size, size, 0.0);
        int covered = 0;
        for (const glm::vec4& c : readAll()) covered += c.r + c.g + c.b > 0.0f ? 1 : 0;
        return covered;
    }
};

TEST_F(CourseUpload, ACourseIsDroppedWithEveryGlObjectAndAnotherDrawsInItsPlace) {
    for (int i = 0; i < 20; ++i) {
        const int side = i % 2 == 0 ? 65 : 129;
        const std::string what = "course " + std::to_string(i);
        useGround(levelGrid(side, int16_t(1000 * (i % 3))));
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
