// Drawing the spark bursts in the scene pass.
#pragma once

struct ParticlePool;
struct Renderer;

// Draws every active particle of pool, farthest first, additively with the bound program (its "model" through the
// renderer's uniform cache) and the particle texture on unit 0; each spark turned by the renderer's own random
// angles. The pool is only read. Leaves culling on and blending off. Needs the context.
void drawParticles(Renderer& renderer, const ParticlePool& pool);
