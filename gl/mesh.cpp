// Indexed meshes on the GPU: upload of interleaved vertices and indices, the draw, and the release.
#include "gl/mesh.h"

#include <GL/glew.h>

#include <cstddef>

namespace {

// Attribute location, float count and float offset of each Vertex field.
struct AttributeLayout {
    GLuint location;
    GLint floats;
    std::size_t offset;
};
constexpr AttributeLayout vertexAttributes[] = {
    {0, 3, offsetof(Vertex, position)},
    {1, 2, offsetof(Vertex, texCoord)},
    {2, 3, offsetof(Vertex, normal)},
    {3, 3, offsetof(Vertex, tangent)},
    {4, 3, offsetof(Vertex, bitangent)},
};

} // namespace

void Mesh::createMesh(const float* vertices, const uint32_t* indices, uint32_t floatCount, uint32_t indexCountIn) {
    indexCount = static_cast<int32_t>(indexCountIn);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);

    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(uint32_t)) * indexCountIn, indices,
                 GL_STATIC_DRAW);

    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(float)) * floatCount, vertices, GL_STATIC_DRAW);

    for (const AttributeLayout& a : vertexAttributes) {
        glEnableVertexAttribArray(a.location);
        glVertexAttribPointer(a.location, a.floats, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(a.offset));
    }

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // Unbinding inside the vertex array drops its index buffer: draw() binds ibo itself every time.
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void Mesh::draw() const {
    glBindVertexArray(vao);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void Mesh::clear() {
    if (ibo != 0) {
        glDeleteBuffers(1, &ibo);
        ibo = 0;
    }
    if (vbo != 0) {
        glDeleteBuffers(1, &vbo);
        vbo = 0;
    }
    if (vao != 0) {
        glDeleteVertexArrays(1, &vao);
        vao = 0;
    }
    indexCount = 0;
}

