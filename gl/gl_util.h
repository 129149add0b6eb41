// The small GL helpers every pass shares: matrix uploads and binding a texture on a unit.
#pragma once

#include <cstdint>

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "gl/texture.h"

// Sends one matrix, column-major, not transposed. A location of -1 is ignored by OpenGL.
inline void uploadMatrix(GLint location, const glm::mat4& m) {
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(m));
}

// Binds on the given unit, then makes unit 0 active again as every pass expects.
inline void bindTextureOnUnit(GLenum target, uint32_t texture, uint32_t unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, texture);
    glActiveTexture(GL_TEXTURE0);
}

// A 2D texture on its own unit.
inline void bindTexture2D(const Texture& texture) {
    bindTextureOnUnit(GL_TEXTURE_2D, texture.textureId, texture.unit);
}
