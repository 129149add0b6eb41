// Sky box geometry: the stripped view matrix and the winding of the cube seen from inside and outside.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <set>

#include "render/model_import.h"
#include "render/sky_faces.h"

namespace {

void expectMatricesNear(const glm::mat4& a, const glm::mat4& b, float tolerance) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(a[column][row], b[column][row], tolerance) << "column " << column << " row " << row;
        }
    }
}

glm::vec3 corner(uint32_t index) {
    const float* v = &skyboxCubeVertices[index * floatsPerVertex];
    return glm::vec3(v[0], v[1], v[2]);
}

// Signed area of a triangle after projection: positive when it runs counter-clockwise on screen.
float screenArea(const glm::mat4& viewProjection, uint32_t i0, uint32_t i1, uint32_t i2) {
    glm::vec2 p[3];
    const uint32_t indices[3] = {i0, i1, i2};
    for (int k = 0; k < 3; ++k) {
        const glm::vec4 clip = viewProjection * glm::vec4(corner(indices[k]), 1.0f);
        EXPECT_GT(clip.w, 0.0f) << "corner " << indices[k] << " behind the camera";
        p[k] = glm::vec2(clip) / clip.w;
    }
    return (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x);
}

const glm::mat4 testProjection = glm::perspective(glm::radians(60.0f), 1.0f, 0.1f, 100.0f);

TEST(StripTranslation, PureTranslationBecomesTheIdentity) {
    const glm::mat4 view = glm::translate(glm::mat4(1.0f), glm::vec3(12.5f, -3.0f, 40.0f));
    EXPECT_EQ(stripTranslation(view), glm::mat4(1.0f));
}

TEST(StripTranslation, MovingTheCameraDoesNotMoveTheSky) {
    const glm::vec3 front = glm::normalize(glm::vec3(0.3f, -0.4f, -0.8f));
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const glm::vec3 here(2.0f, 5.0f, 1.0f), there(-130.0f, 42.0f, 77.0f);
    const glm::mat4 viewHere = glm::lookAt(here, here + front, up);
    const glm::mat4 viewThere = glm::lookAt(there, there + front, up);
    ASSERT_NE(viewHere, viewThere);
    // lookAt rounds eye + front at the far position, hence a tolerance well above float epsilon.
    expectMatricesNear(stripTranslation(viewHere), stripTranslation(viewThere), 1e-5f);
}

TEST(StripTranslation, KeepsTheRotationAndClearsTheFourthRowAndColumn) {
    const glm::mat4 view = glm::lookAt(glm::vec3(7.0f, 3.0f, -2.0f), glm::vec3(0.0f, 1.0f, 4.0f),
                                       glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::mat4 stripped = stripTranslation(view);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            EXPECT_FLOAT_EQ(stripped[column][row], view[column][row]);
        }
        EXPECT_EQ(stripped[column][3], 0.0f);
        EXPECT_EQ(stripped[3][column], 0.0f);
    }
    EXPECT_EQ(stripped[3][3], 1.0f);
}

TEST(SkyboxCube, HasEightDistinctCornersAndNothingButPositions) {
    std::set<std::tuple<float, float, float>> corners;
    for (uint32_t i = 0; i < 8; ++i) {
        const glm::vec3 p = corner(i);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_EQ(std::abs(p[axis]), 1.0f) << "corner " << i;
        }
        corners.insert({p.x, p.y, p.z});
        for (int k = 3; k < floatsPerVertex; ++k) {
            EXPECT_EQ(skyboxCubeVertices[i * floatsPerVertex + k], 0.0f) << "corner " << i << " float " << k;
        }
    }
    EXPECT_EQ(corners.size(), 8u);
}

TEST(SkyboxCube, TwoTrianglesOnEachOfTheSixFaces) {
    std::set<std::pair<int, float>> faces; // (axis, side)
    for (std::size_t t = 0; t < skyboxCubeIndices.size(); t += 3) {
        int sharedAxes = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const float side = corner(skyboxCubeIndices[t])[axis];
            if (corner(skyboxCubeIndices[t + 1])[axis] == side && corner(skyboxCubeIndices[t + 2])[axis] == side) {
                faces.insert({axis, side});
                ++sharedAxes;
            }
        }
        EXPECT_EQ(sharedAxes, 1) << "triangle " << t / 3 << " does not lie on exactly one face";
    }
    EXPECT_EQ(faces.size(), 6u);
}

TEST(SkyboxCube, EveryTriangleFacesTheCentre) {
    for (std::size_t t = 0; t < skyboxCubeIndices.size(); t += 3) {
        ASSERT_LT(skyboxCubeIndices[t], 8u);
        ASSERT_LT(skyboxCubeIndices[t + 1], 8u);
        ASSERT_LT(skyboxCubeIndices[t + 2], 8u);
        const glm::vec3 a = corner(skyboxCubeIndices[t]);
        const glm::vec3 b = corner(skyboxCubeIndices[t + 1]);
        const glm::vec3 c = corner(skyboxCubeIndices[t + 2]);
        // Counter-clockwise seen from a viewer means the winding normal points towards that viewer.
        const glm::vec3 normal = glm::cross(b - a, c - a);
        EXPECT_LT(glm::dot(normal, a), 0.0f) << "triangle " << t / 3 << " is clockwise seen from the centre";
    }
}

TEST(SkyboxCube, FarFaceIsFrontFacingFromInsideAndCulledFromOutside) {
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const glm::mat4 inside = testProjection * glm::lookAt(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f), up);
    EXPECT_GT(screenArea(inside, 0, 1, 2), 0.0f);
    EXPECT_GT(screenArea(inside, 2, 1, 3), 0.0f);

    const glm::mat4 outside =
        testProjection * glm::lookAt(glm::vec3(0.0f, 0.0f, -5.0f), glm::vec3(0.0f), up);
    EXPECT_LT(screenArea(outside, 0, 1, 2), 0.0f);
    EXPECT_LT(screenArea(outside, 2, 1, 3), 0.0f);
}

TEST(SkyboxCube, EveryFaceIsFrontFacingWhenTheCameraLooksAtIt) {
    const glm::vec3 directions[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    int frontFacing = 0;
    for (const glm::vec3& d : directions) {
        const glm::vec3 up = d.y != 0.0f ? glm::vec3(0.0f, 0.0f, 1.0f) : glm::vec3(0.0f, 1.0f, 0.0f);
        const glm::mat4 viewProjection = testProjection * glm::lookAt(glm::vec3(0.0f), d, up);
        for (std::size_t t = 0; t < skyboxCubeIndices.size(); t += 3) {
            const glm::vec3 a = corner(skyboxCubeIndices[t]);
            const glm::vec3 b = corner(skyboxCubeIndices[t + 1]);
            const glm::vec3 c = corner(skyboxCubeIndices[t + 2]);
            if (glm::dot(a, d) == 1.0f && glm::dot(b, d) == 1.0f && glm::dot(c, d) == 1.0f) {
                EXPECT_GT(screenArea(viewProjection, skyboxCubeIndices[t], skyboxCubeIndices[t + 1],
                                     skyboxCubeIndices[t + 2]),
                          0.0f)
                    << "triangle " << t / 3;
                ++frontFacing;
            }
        }
    }
    EXPECT_EQ(frontFacing, 12);
}

} // namespace
