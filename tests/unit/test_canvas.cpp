// The generator's sprite canvas: shape distances, anti-aliased coverage, mask operations, compositing and the
// conversion to 8-bit pixels.
#include <cmath>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "tools/generate/canvas.h"

namespace {

float totalCoverage(const Mask& mask) {
    return std::accumulate(mask.coverage.begin(), mask.coverage.end(), 0.0f);
}

const float pi = 3.14159265f;

} // namespace

TEST(ShapeDistance, CircleRingRectangleAndCapsuleMeasureToTheirEdges) {
    EXPECT_FLOAT_EQ(circleDistance({13.0f, 10.0f}, {10.0f, 10.0f}, 5.0f), -2.0f);
    EXPECT_FLOAT_EQ(circleDistance({10.0f, 17.0f}, {10.0f, 10.0f}, 5.0f), 2.0f);
    EXPECT_FLOAT_EQ(ringDistance({10.0f, 10.0f}, {10.0f, 10.0f}, 5.0f, 1.0f), 4.0f);
    EXPECT_FLOAT_EQ(ringDistance({15.5f, 10.0f}, {10.0f, 10.0f}, 5.0f, 1.0f), -0.5f);
    // Rectangle 20 x 10 centred at the origin with corners rounded by 2.
    EXPECT_FLOAT_EQ(roundedRectDistance({0.0f, 0.0f}, {0.0f, 0.0f}, {10.0f, 5.0f}, 2.0f), -5.0f);
    EXPECT_FLOAT_EQ(roundedRectDistance({13.0f, 0.0f}, {0.0f, 0.0f}, {10.0f, 5.0f}, 2.0f), 3.0f);
    float corner = roundedRectDistance({10.0f, 5.0f}, {0.0f, 0.0f}, {10.0f, 5.0f}, 2.0f);
    EXPECT_NEAR(corner, std::sqrt(8.0f) - 2.0f, 1e-5f); // the sharp corner is cut off by the rounding
    EXPECT_FLOAT_EQ(segmentDistance({5.0f, 3.0f}, {0.0f, 0.0f}, {10.0f, 0.0f}, 1.0f), 2.0f);
    EXPECT_FLOAT_EQ(segmentDistance({13.0f, 4.0f}, {0.0f, 0.0f}, {10.0f, 0.0f}, 1.0f), 4.0f); // past the end cap
}

TEST(ShapeDistance, PolygonSignsInsideAndOutsideForEitherWindingAndConcaveShapes) {
    std::vector<glm::vec2> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    std::vector<glm::vec2> reversed(square.rbegin(), square.rend());
    for (const auto* corners : {&square, &reversed}) {
        EXPECT_FLOAT_EQ(polygonDistance({5, 5}, *corners), -5.0f);
        EXPECT_FLOAT_EQ(polygonDistance({2, 5}, *corners), -2.0f);
        EXPECT_FLOAT_EQ(polygonDistance({13, 5}, *corners), 3.0f);
        EXPECT_FLOAT_EQ(polygonDistance({13, 14}, *corners), 5.0f);
    }
    // An L: the notch at the top right is outside although it lies within the bounding box.
    std::vector<glm::vec2> ell = {{0, 0}, {4, 0}, {4, 6}, {10, 6}, {10, 10}, {0, 10}};
    EXPECT_GT(polygonDistance({8, 2}, ell), 0.0f);
    EXPECT_LT(polygonDistance({2, 2}, ell), 0.0f);
    EXPECT_LT(polygonDistance({8, 8}, ell), 0.0f);
    EXPECT_GT(polygonDistance({5, 5}, {{0, 0}, {1, 1}}), 1e8f) << "fewer than three corners cover nothing";
}

TEST(ShapeMask, CoverageIsAntiAliasedAcrossOnePixelAndAddsUpToTheArea) {
    const float radius = 20.0f;
    Mask disc = shapeMask(64, 64, [&](glm::vec2 p) { return circleDistance(p, {32.0f, 32.0f}, radius); });
    EXPECT_NEAR(totalCoverage(disc), pi * radius * radius, pi * radius * radius * 0.005f);
    EXPECT_FLOAT_EQ(disc.at(32, 32), 1.0f);
    EXPECT_FLOAT_EQ(disc.at(1, 1), 0.0f);
    // The pixel whose centre lies on the edge is half covered.
    Mask half = shapeMask(8, 1, [](glm::vec2 p) { return p.x - 3.5f; });
    EXPECT_FLOAT_EQ(half.at(2, 0), 1.0f);
    EXPECT_FLOAT_EQ(half.at(3, 0), 0.5f);
    EXPECT_FLOAT_EQ(half.at(4, 0), 0.0f);
    EXPECT_FLOAT_EQ(half.at(-1, 0), 0.0f) << "outside the mask reads as uncovered";
}

TEST(MaskOperations, DilationGrowsADotIntoADiscOfTheRadius) {
    Mask dot = makeMask(41, 41);
    dot.coverage[20 * 41 + 20] = 1.0f;
    Mask grown = dilateMask(dot, 6.0f);
    EXPECT_NEAR(totalCoverage(grown), pi * 36.0f, pi * 36.0f * 0.06f);
    EXPECT_FLOAT_EQ(grown.at(25, 20), 1.0f);
    EXPECT_FLOAT_EQ(grown.at(20, 15), 1.0f);
    EXPECT_FLOAT_EQ(grown.at(26, 20), 0.5f) << "the edge runs through the pixel at the radius";
    EXPECT_FLOAT_EQ(grown.at(27, 20), 0.0f);
    EXPECT_FLOAT_EQ(grown.at(25, 25), 0.0f) << "a disc, not a square: the diagonal at 7.1 is outside";
}

TEST(MaskOperations, BlurSpreadsCoverageWithoutLosingAny) {
    Mask block = makeMask(40, 40);
    for (int y = 16; y < 24; ++y) {
        for (int x = 16; x < 24; ++x) {
            block.coverage[static_cast<std::size_t>(y * 40 + x)] = 1.0f;
        }
    }
    Mask soft = blurMask(block, 3);
    EXPECT_NEAR(totalCoverage(soft), 64.0f, 1e-3f);
    EXPECT_GT(soft.at(14, 20), 0.0f);
    EXPECT_LT(soft.at(16, 20), 1.0f);
    EXPECT_EQ(totalCoverage(blurMask(block, 0)), 64.0f);
}

TEST(MaskOperations, ShiftAndSubtract) {
    Mask a = makeMask(10, 10);
    a.coverage[3 * 10 + 2] = 1.0f;
    Mask moved = shiftMask(a, 4, 1);
    EXPECT_FLOAT_EQ(moved.at(6, 4), 1.0f);
    EXPECT_FLOAT_EQ(moved.at(2, 3), 0.0f);
    EXPECT_FLOAT_EQ(shiftMask(a, 20, 0).at(2, 3), 0.0f);
    Mask b = makeMask(10, 10);
    b.coverage[3 * 10 + 2] = 0.25f;
    EXPECT_FLOAT_EQ(subtractMask(a, b).at(2, 3), 0.75f);
}

TEST(Compositing, PaintGoesOverWhatIsThereWithStraightAlpha) {
    Canvas canvas = makeCanvas(2, 1);
    Mask all = makeMask(2, 1);
    all.coverage = {1.0f, 1.0f};
    fillMask(canvas, all, solidPaint(rgb(0, 0, 255)));
    fillMask(canvas, all, solidPaint(rgb(255, 0, 0, 0.5f)));
    EXPECT_FLOAT_EQ(canvas.rgba[0], 0.5f);
    EXPECT_FLOAT_EQ(canvas.rgba[2], 0.5f);
    EXPECT_FLOAT_EQ(canvas.rgba[3], 1.0f);

    Canvas layers = makeCanvas(1, 1);
    Mask one = makeMask(1, 1);
    one.coverage = {1.0f};
    fillMask(layers, one, solidPaint(rgb(255, 255, 255)), 0.5f);
    fillMask(layers, one, solidPaint(rgb(255, 255, 255)), 0.5f);
    EXPECT_FLOAT_EQ(layers.rgba[3], 0.75f) << "two half-opaque layers let a quarter through";
}

TEST(Compositing, GradientsRunBetweenTheirEnds) {
    Paint vertical = verticalGradient(rgb(255, 0, 0), rgb(0, 0, 255), 10.0f, 20.0f);
    EXPECT_FLOAT_EQ(vertical({0.0f, 0.0f}).r, 1.0f);
    EXPECT_FLOAT_EQ(vertical({0.0f, 15.0f}).r, 0.5f);
    EXPECT_FLOAT_EQ(vertical({0.0f, 30.0f}).b, 1.0f);
    Paint radial = radialGradient(rgb(255, 255, 255), rgb(0, 0, 0), {0.0f, 0.0f}, 10.0f);
    EXPECT_FLOAT_EQ(radial({0.0f, 0.0f}).g, 1.0f);
    EXPECT_FLOAT_EQ(radial({6.0f, 8.0f}).g, 0.0f);
}

TEST(CanvasToImage, KeepsStraightColourAndGivesTransparentPixelsTheirNeighboursColour) {
    Canvas canvas = makeCanvas(8, 4);
    // Left half: half-transparent orange. Right half: nothing.
    fillShape(canvas, [](glm::vec2 p) { return p.x - 4.0f; }, solidPaint(rgb(255, 128, 0, 0.5f)));
    Image8 image = canvasToImage(canvas, 4);
    ASSERT_EQ(image.channels, 4);
    ASSERT_EQ(image.pixels.size(), 8u * 4u * 4u);
    const uint8_t* covered = &image.pixels[(1 * 8 + 1) * 4];
    EXPECT_EQ(covered[0], 255);
    EXPECT_EQ(covered[1], 128);
    EXPECT_EQ(covered[2], 0);
    EXPECT_EQ(covered[3], 128);
    const uint8_t* empty = &image.pixels[(1 * 8 + 7) * 4];
    EXPECT_EQ(empty[3], 0);
    EXPECT_EQ(empty[0], 255) << "no dark fringe for filtering to pull in";
    EXPECT_EQ(empty[1], 128);
}

TEST(CanvasToImage, ThreeChannelsDropAlpha) {
    Canvas canvas = makeCanvas(3, 2);
    fillShape(canvas, [](glm::vec2) { return -1.0f; }, solidPaint(rgb(10, 20, 30)));
    Image8 image = canvasToImage(canvas, 3);
    EXPECT_EQ(image.channels, 3);
    ASSERT_EQ(image.pixels.size(), 18u);
    EXPECT_EQ(image.pixels[3], 10);
    EXPECT_EQ(image.pixels[4], 20);
    EXPECT_EQ(image.pixels[5], 30);
}
