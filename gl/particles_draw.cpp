// Drawing the particles: additive sprites in the scene pass, farthest first, each turned at random.
#include "gl/particles_draw.h"

#include <GL/glew.h>

#include "core/particles.h"
#include "gl/unit_quad.h"
#include "gl/gl_util.h"
#include "gl/shader.h"
#include "gl/texture.h"

void drawParticles() {
    // Both faces show, and each spark adds its light to what lies behind it. Depth writes stay on.
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);

    sortParticlesForDrawing();
    bindTexture2D(particleTexture);

    for (const Particle& p : particlePool) {
        if (!p.active) {
            continue;
        }
        // Drawn in this order on purpose: spawning and drawing share one rand() sequence.
        const float a1 = randomParticleAngle();
        const float a2 = randomParticleAngle();
        const float a3 = randomParticleAngle();
        const glm::mat4 model = particleModelMatrix(p.position, a1, a2, a3);
        uploadMatrix(activeUniforms.model, model);
        unitQuad.draw();
    }

    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
}
