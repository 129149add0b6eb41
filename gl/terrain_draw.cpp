// Drawing the terrain: the chunk choice of the frame, its upload into the chunk buffer and one instanced draw.
#include "gl/terrain_draw.h"

#include <GL/glew.h>

#include <glm/gtc/matrix_inverse.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "core/terrain_lod.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"

void drawTerrain(Renderer& renderer, const glm::mat4& groundBody, const glm::mat4& view, const glm::mat4& projection,
                 const glm::vec3& eye) {
    TerrainGpu& t = renderer.course;
    if (t.heightTexture == 0 || t.lod.levelCount == 0) return;
    const glm::mat4 worldFromGrid = groundBody * terrainBodyFromGrid(t.width, t.height);
    const glm::vec3 eyeGrid = glm::vec3(glm::inverse(worldFromGrid) * glm::vec4(eye, 1.0f));
    selectTerrainChunks(t.lod, eyeGrid, frustumPlanes(projection * view * worldFromGrid), t.drawnChunks);
    if (t.drawnChunks.empty()) return;

    const GLuint program = renderer.programs.terrain.programId;
    const glm::mat4 model = glm::scale(groundBody, glm::vec3(float(t.width), t.heightScale, float(t.height)));
    uploadMatrix(renderer.uniforms.model, model);
    glUniformMatrix3fv(glGetUniformLocation(program, "normalMatrix"), 1, GL_FALSE,
                       glm::value_ptr(glm::inverseTranspose(glm::mat3(model))));
    glUniform3fv(glGetUniformLocation(program, "eyeGrid"), 1, glm::value_ptr(eyeGrid));
    glUniform1fv(glGetUniformLocation(program, "morphStart"), t.lod.levelCount, t.lod.morphStart.data());
    glUniform1fv(glGetUniformLocation(program, "morphEnd"), t.lod.levelCount, t.lod.morphEnd.data());
    bindTextureOnUnit(GL_TEXTURE_2D, t.heightTexture, heightUnit);

    glBindBuffer(GL_ARRAY_BUFFER, t.chunkBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(t.drawnChunks.size() * sizeof(TerrainChunk)),
                    t.drawnChunks.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(t.mesh.vao);
    glDrawElementsInstanced(GL_TRIANGLES, t.mesh.indexCount, GL_UNSIGNED_INT, nullptr,
                            GLsizei(t.drawnChunks.size()));
    glBindVertexArray(0);
}
