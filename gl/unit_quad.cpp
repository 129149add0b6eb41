// The unit quad: four vertices of position and texture coordinate, two counter-clockwise triangles.
#include "gl/unit_quad.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float quadVertices[] = {
    // x, y, z, u, v
    -0.5f, 0.5f, 0.0f, 0.0f, 0.0f,
    -0.5f, -0.5f, 0.0f, 0.0f, 1.0f,
    0.5f, -0.5f, 0.0f, 1.0f, 1.0f,
    0.5f, 0.5f, 0.0f, 1.0f, 0.0f,
};
constexpr uint32_t quadIndices[] = {0, 1, 2, 2, 3, 0};
constexpr GLsizei quadStride = 5 * sizeof(float);
constexpr float fullViewportScale = 2.0f; // the quad spans -0.5..0.5, the viewport -1..1

} // namespace

void UnitQuad::create() {
    indexCount = sizeof(quadIndices) / sizeof(quadIndices[0]);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(quadIndices), quadIndices, GL_STATIC_DRAW);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadVertices), quadVertices, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, quadStride, reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, quadStride, reinterpret_cast<void*>(3 * sizeof(float)));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void UnitQuad::draw() const {
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void UnitQuad::clear() {
    glDeleteBuffers(1, &indexBuffer);
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
    indexBuffer = vertexBuffer = vertexArray = 0;
    indexCount = 0;
}

const glm::mat4& fullViewportModel() {
    static const glm::mat4 model = glm::scale(glm::mat4(1.0f), glm::vec3(fullViewportScale));
    return model;
}
