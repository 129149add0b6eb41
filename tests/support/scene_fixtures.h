// GL test helpers for the scene, shadow and particle passes: tiny meshes, one-texel textures, an off-screen target.
#pragma once

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <vector>

#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include "render/model.h"
#include "render/model_import.h"

namespace scenefixtures {

// An octahedron of the given radius around the origin, one flat face per triangle, wound counter-clockwise seen
// from outside, with normals pointing into it as every Vertex normal does, and no tangents.
inline Mesh makeOctahedron(float radius) {
    const glm::vec3 tips[6] = {{radius, 0, 0}, {-radius, 0, 0}, {0, radius, 0},
                               {0, -radius, 0}, {0, 0, radius}, {0, 0, -radius}};
    // Each face as (x tip, y tip, z tip) for one octant, ordered so the winding faces outwards.
    const int faces[8][3] = {{0, 2, 4}, {0, 5, 2}, {0, 4, 3}, {0, 3, 5}, {1, 4, 2}, {1, 2, 5}, {1, 3, 4}, {1, 5, 3}};
    std::vector<float> vertices;
    std::vector<uint32_t> indices;
    for (const auto& face : faces) {
        const glm::vec3 a = tips[face[0]], b = tips[face[1]], c = tips[face[2]];
        const glm::vec3 inward = -glm::normalize(glm::cross(b - a, c - a));
        for (const glm::vec3& p : {a, b, c}) {
            indices.push_back(static_cast<uint32_t>(vertices.size() / floatsPerVertex));
            vertices.insert(vertices.end(), {p.x, p.y, p.z, 0.5f, 0.5f, inward.x, inward.y, inward.z,
                                             0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f});
        }
    }
    Mesh mesh;
    mesh.createMesh(vertices.data(), indices.data(), static_cast<uint32_t>(vertices.size()),
                    static_cast<uint32_t>(indices.size()));
    return mesh;
}

// A model of one mesh without textures of its own.
inline Model modelOf(Mesh mesh) {
    Model model;
    model.meshList.push_back(std::move(mesh));
    model.meshMaterial.push_back(0);
    return model;
}

// A 1 x 1 texture of one colour (0..255 per channel), meant for the given unit. Release it with clear().
inline Texture makeTexel(uint8_t r, uint8_t g, uint8_t b, uint32_t unit) {
    Texture texture;
    const uint8_t pixel[4] = {r, g, b, 255};
    glGenTextures(1, &texture.textureId);
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glBindTexture(GL_TEXTURE_2D, 0);
    texture.width = texture.height = 1;
    texture.channelCount = 4;
    texture.unit = unit;
    return texture;
}

// Stands in for the scene target: two floating-point colour outputs (lit colour, glow) and a depth buffer.
struct OffscreenTarget {
    GLuint framebuffer = 0;
    GLuint colour[2] = {0, 0};
    GLuint depth = 0;
    int size = 0;

    explicit OffscreenTarget(int sizeIn) : size(sizeIn) {
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenTextures(2, colour);
        for (int i = 0; i < 2; ++i) {
            glBindTexture(GL_TEXTURE_2D, colour[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, size, size, 0, GL_RGBA, GL_FLOAT, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, colour[i], 0);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size, size);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        const GLenum outputs[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glDrawBuffers(2, outputs);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    ~OffscreenTarget() {
        glDeleteRenderbuffers(1, &depth);
        glDeleteTextures(2, colour);
        glDeleteFramebuffers(1, &framebuffer);
    }
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    bool complete() const {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        const bool ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return ok;
    }

    // One texel of output 0 (lit colour) or 1 (glow); x and y count from the bottom left.
    glm::vec4 read(int output, int x, int y) const {
        glm::vec4 texel(0.0f);
        GLint previous = 0;
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0 + output);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, &texel.x);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
        return texel;
    }
};

// The pixel a world point falls on, for a target of the given size.
inline std::array<int, 2> pixelOf(const glm::mat4& viewProjection, const glm::vec3& p, int size) {
    const glm::vec4 clip = viewProjection * glm::vec4(p, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return {static_cast<int>((ndc.x * 0.5f + 0.5f) * static_cast<float>(size)),
            static_cast<int>((ndc.y * 0.5f + 0.5f) * static_cast<float>(size))};
}

} // namespace scenefixtures
