// Particle drawing through a real context: sparks add their light to the target; only live ones are drawn.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <glm/gtc/type_ptr.hpp>

#include "effects/particles.h"
#include "effects/particles_draw.h"
#include "effects/unit_quad.h"
#include "render/scene.h"
#include "render/shader.h"
#include "render/texture.h"
#include "tests/support/scene_fixtures.h"
#include "tests/support/temp_files.h"

namespace {

using scenefixtures::makeTexel;
using scenefixtures::OffscreenTarget;

// Odd, so the middle pixel's centre is the middle of clip space, where the sparks are put.
constexpr int targetSize = 33;
constexpr int middle = targetSize / 2;
constexpr float background = 0.25f;
// A white spark under the scene program: ambient 0.5 plus diffuse 0.6, as it has no normal to turn from the sun.
constexpr float sparkLight = 1.1f;

// The scene program bound as the scene pass leaves it for the particles, with clip space as the world.
class ParticleDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        {
            testfiles::WorkingDirectory inData(KELVARA_DATA_DIR);
            ASSERT_NO_THROW(createShaders());
        }
        target = std::make_unique<OffscreenTarget>(targetSize);
        ASSERT_TRUE(target->complete());
        unitQuad.create();
        particleTexture = makeTexel(255, 255, 255, 0);
        createParticlePool();
        setupSceneLight();
        setupMaterials();

        glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
        glViewport(0, 0, targetSize, targetSize);
        glClearColor(background, background, background, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_CULL_FACE);

        const Shader& scene = shaderList[0];
        scene.use();
        activateAllUniforms(scene);
        const glm::mat4 identity(1.0f);
        glUniformMatrix4fv(activeUniforms.view, 1, GL_FALSE, glm::value_ptr(identity));
        glUniformMatrix4fv(activeUniforms.projection, 1, GL_FALSE, glm::value_ptr(identity));
        glUniformMatrix4fv(glGetUniformLocation(scene.programId, "lightSpaceMatrix"), 1, GL_FALSE,
                           glm::value_ptr(identity));
        glUniform1i(glGetUniformLocation(scene.programId, "diffuseMap"), 0);
        sendLight(sceneLight);
        sendMaterial(dullMaterial);
        std::srand(4242);
    }

    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_BLEND);
        particlePool.clear();
        particleTexture.clear();
        unitQuad.clear();
        target.reset();
        releaseShaders();
        glUseProgram(0);
    }

    static void light(std::size_t slot, const glm::vec3& position, float cameraDistance) {
        Particle& p = particlePool[slot];
        p.active = true;
        p.life = 0.5f;
        p.position = position;
        p.cameraDistance = cameraDistance;
    }

    std::unique_ptr<OffscreenTarget> target;
};

TEST_F(ParticleDrawing, ASparkAddsItsLightToWhatIsBehindIt) {
    light(0, glm::vec3(0.0f), 1.0f);
    drawParticles();
    const glm::vec4 c = target->read(0, middle, middle);
    // Replacing would give 1.1 and mixing by alpha the same; only adding keeps the background underneath.
    EXPECT_NEAR(c.r, background + sparkLight, 0.01f);
    EXPECT_NEAR(c.g, background + sparkLight, 0.01f);
    EXPECT_NEAR(c.b, background + sparkLight, 0.01f);
}

TEST_F(ParticleDrawing, SparksBehindOneAnotherAddUp) {
    // Farther sparks first: each nearer one passes the depth test and adds on top.
    light(0, glm::vec3(0.0f, 0.0f, 0.1f), 3.0f);
    light(1, glm::vec3(0.0f, 0.0f, -0.1f), 1.0f);
    light(2, glm::vec3(0.0f, 0.0f, 0.0f), 2.0f);
    drawParticles();
    EXPECT_NEAR(target->read(0, middle, middle).r, background + 3.0f * sparkLight, 0.03f);
}

TEST_F(ParticleDrawing, DeadSlotsDrawNothing) {
    light(0, glm::vec3(0.0f), 1.0f);
    particlePool[0].active = false;
    drawParticles();
    EXPECT_NEAR(target->read(0, middle, middle).r, background, 0.005f);
}

TEST_F(ParticleDrawing, EndsWithCullingOnAndBlendingOffLeavingTheAdditiveFunction) {
    light(0, glm::vec3(0.0f), 1.0f);
    drawParticles();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetIntegerv(GL_BLEND_DST_RGB, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, static_cast<GLint>(particleTexture.textureId));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
