// Drawing the particles: additive sprites in the scene pass, farthest first, each turned at random.
#include "gl/particles_draw.h"

#include <GL/glew.h>

#include "core/particles.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"

void drawParticles(Renderer& renderer, const ParticlePool& pool) {
    // Both faces show, and each spark adds its light to what lies behind it. Depth writes stay on.
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);

    particleDrawOrder(pool, renderer.particleOrder);
    bindTexture2D(renderer.textures.particle);

    for (const uint32_t index : renderer.particleOrder) {
        const Particle& p = pool.slots[index];
        const float a1 = randomParticleAngle(renderer.particleSpin);
        const float a2 = randomParticleAngle(renderer.particleSpin);
        const float a3 = randomParticleAngle(renderer.particleSpin);
        uploadMatrix(renderer.uniforms.model, particleModelMatrix(p.position, a1, a2, a3));
        renderer.quad.draw();
    }

    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
}
