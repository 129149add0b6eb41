// The sky box's cube, its face files and the face checks.
#include "core/sky_faces.h"

#include <cstdio>

#include <glm/mat3x3.hpp>

#include "core/vertex.h"

const std::array<std::string, skyboxFaceCount> skyboxFacePaths = {
    "Skybox/mountain-skyboxes/Maskonaive/posx.jpg", "Skybox/mountain-skyboxes/Maskonaive/negx.jpg",
    "Skybox/mountain-skyboxes/Maskonaive/posy.jpg", "Skybox/mountain-skyboxes/Maskonaive/negy.jpg",
    "Skybox/mountain-skyboxes/Maskonaive/posz.jpg", "Skybox/mountain-skyboxes/Maskonaive/negz.jpg",
};

namespace {

constexpr float cubeCorners[8][3] = {
    {-1.0f, 1.0f, -1.0f}, {-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, -1.0f}, {1.0f, -1.0f, -1.0f},
    {-1.0f, 1.0f, 1.0f},  {1.0f, 1.0f, 1.0f},    {-1.0f, -1.0f, 1.0f}, {1.0f, -1.0f, 1.0f},
};

// Each corner in the position slot of a Vertex; texture coordinate, normal and tangents stay 0.
constexpr std::array<float, 8 * floatsPerVertex> makeCubeVertices() {
    std::array<float, 8 * floatsPerVertex> vertices{};
    for (std::size_t corner = 0; corner < 8; ++corner) {
        for (std::size_t axis = 0; axis < 3; ++axis) {
            vertices[corner * floatsPerVertex + axis] = cubeCorners[corner][axis];
        }
    }
    return vertices;
}

} // namespace

const std::array<float, 8 * 14> skyboxCubeVertices = makeCubeVertices();

const std::array<uint32_t, 36> skyboxCubeIndices = {
    0, 1, 2, 2, 1, 3, // z = -1
    2, 3, 5, 5, 3, 7, // x = +1
    5, 7, 4, 4, 7, 6, // z = +1
    4, 6, 0, 0, 6, 1, // x = -1
    4, 0, 5, 5, 0, 2, // y = +1
    1, 6, 3, 3, 6, 7, // y = -1
};

glm::mat4 stripTranslation(const glm::mat4& view) {
    // The rotation part alone; the fourth column and row become those of the identity.
    return glm::mat4(glm::mat3(view));
}

bool checkSkyFace(const std::string& path, const Image& face, int& sideLength) {
    // A cube map with faces of other shapes is incomplete: it would sample black and refuse its mipmaps.
    if (face.width != face.height || (sideLength != 0 && face.width != sideLength)) {
        std::printf("Sky box face %s is %d x %d; every face must be square and of one size\n", path.c_str(), face.width,
                    face.height);
        return false;
    }
    sideLength = face.width;
    return true;
}
