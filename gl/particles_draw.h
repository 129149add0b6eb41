// Drawing the spark bursts in the scene pass.
#pragma once

// Sorts the pool and draws every active particle additively with the bound program (its "model" through
// activeUniforms) and the particle texture on unit 0; leaves culling on and blending off. Needs the context.
void drawParticles();
