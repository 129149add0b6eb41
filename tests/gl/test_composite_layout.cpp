// Composite layout: where the shadow-map picture lands in the window.
#include <gtest/gtest.h>

#include <glm/vec4.hpp>

#include "effects/composite.h"

namespace {

glm::vec4 place(const glm::mat4& model, float x, float y) {
    return model * glm::vec4(x, y, 0.0f, 1.0f);
}

TEST(DepthPicture, CoversTheUpperLeftQuarterLeftOfAndAboveTheCentre) {
    const glm::mat4 model = depthPictureModel();
    // Unit quad corners -0.5..0.5 become x -0.75..-0.25 and y 0.25..0.75: scale first, then move.
    const glm::vec4 topLeft = place(model, -0.5f, 0.5f);
    const glm::vec4 bottomRight = place(model, 0.5f, -0.5f);
    EXPECT_FLOAT_EQ(topLeft.x, -0.75f);
    EXPECT_FLOAT_EQ(topLeft.y, 0.75f);
    EXPECT_FLOAT_EQ(bottomRight.x, -0.25f);
    EXPECT_FLOAT_EQ(bottomRight.y, 0.25f);
    EXPECT_FLOAT_EQ(topLeft.w, 1.0f);
}

TEST(DepthPicture, KeepsTheQuadFrontFacing) {
    const glm::mat4 model = depthPictureModel();
    // The quad's first triangle (top-left, bottom-left, bottom-right) must stay counter-clockwise under culling.
    const glm::vec4 a = place(model, -0.5f, 0.5f);
    const glm::vec4 b = place(model, -0.5f, -0.5f);
    const glm::vec4 c = place(model, 0.5f, -0.5f);
    const float signedArea = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    EXPECT_GT(signedArea, 0.0f);
}

} // namespace
