// The course ground: heightmap decoding and conversion, the goal hollow and the heightfield.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>
#include <btBulletDynamicsCommon.h>
#include <glm/geometric.hpp>

#include "app/race_state.h"
#include "course/physics.h"
#include "course/terrain.h"
#include "render/shader_file.h"

namespace {

// Writes a PNG of the given bit depth (8 or 16) and libpng colour type; values hold every channel of every pixel,
// row by row.
bool writePng(const std::string& path, int width, int height, int bitDepth, int colourType,
              const std::vector<uint16_t>& values) {
    const int bytesPerValue = bitDepth / 8;
    const std::size_t rowValues = values.size() / std::size_t(height);
    std::vector<png_byte> bytes(values.size() * std::size_t(bytesPerValue));
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (bytesPerValue == 2) { // PNG stores 16-bit samples big-endian
            bytes[2 * i] = png_byte(values[i] >> 8);
            bytes[2 * i + 1] = png_byte(values[i] & 0xff);
        } else {
            bytes[i] = png_byte(values[i]);
        }
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) rows[std::size_t(y)] = &bytes[std::size_t(y) * rowValues * bytesPerValue];

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// A file in the test temp folder, removed when the test ends.
struct TempFile {
    explicit TempFile(const std::string& name)
        : path(testing::TempDir() + "kelvara_terrain_" + std::to_string(getpid()) + "_" + name) {}
    ~TempFile() { std::remove(path.c_str()); }
    std::string path;
};

HeightGrid levelGrid(int32_t width, int32_t height, int16_t s) {
    HeightGrid g;
    g.width = width;
    g.height = height;
    g.samples.assign(std::size_t(width) * std::size_t(height), s);
    return g;
}

int16_t at(const HeightGrid& g, int32_t x, int32_t z) { return g.samples[std::size_t(z) * std::size_t(g.width) + std::size_t(x)]; }

// Swaps in fresh physics and terrain globals for the set-up functions and restores the game's afterwards.
class FreshCourse : public testing::Test {
protected:
    void SetUp() override {
        physicsWorld = createPhysicsWorld();
        ballBody = nullptr;
        terrainBody = nullptr;
        terrain = nullptr;
    }
    void TearDown() override {
        releaseTerrain();
        shutdownPhysics();
        physicsWorld = savedWorld;
        ballBody = savedBall;
        terrainBody = savedTerrainBody;
        terrain = savedTerrain;
    }
    PhysicsWorld* savedWorld = physicsWorld;
    PhysicsBody* savedBall = ballBody;
    PhysicsBody* savedTerrainBody = terrainBody;
    Terrain* savedTerrain = terrain;
};

// --- Decoding and conversion ---

TEST(HeightmapConversion, ShiftsToSignedAndHoldsTheTopValue) {
    EXPECT_EQ(convertSample(0), -32767);
    EXPECT_EQ(convertSample(1), -32766);
    EXPECT_EQ(convertSample(32767), 0);
    EXPECT_EQ(convertSample(32768), 1);
    EXPECT_EQ(convertSample(65534), 32767);
    EXPECT_EQ(convertSample(65535), 32767) << "would wrap to -32768 in 16-bit arithmetic";
}

TEST(HeightmapDecoding, SixteenBitGreyKeepsRowsAndColumnsInImageOrder) {
    TempFile file("grey16.png");
    // Three columns, two rows; row 0 is the top row of the image.
    ASSERT_TRUE(writePng(file.path, 3, 2, 16, PNG_COLOR_TYPE_GRAY, {0, 32767, 65534, 65535, 1, 40000}));
    const HeightGrid g = decodeHeightmap(file.path.c_str());
    EXPECT_EQ(g.width, 3);
    EXPECT_EQ(g.height, 2);
    EXPECT_EQ(g.samples, (std::vector<int16_t>{-32767, 0, 32767, 32767, -32766, 7233}));
}

TEST(HeightmapDecoding, EightBitGreyIsWidenedBy257) {
    TempFile file("grey8.png");
    ASSERT_TRUE(writePng(file.path, 2, 3, 8, PNG_COLOR_TYPE_GRAY, {0, 1, 127, 128, 200, 255}));
    const HeightGrid g = decodeHeightmap(file.path.c_str());
    ASSERT_EQ(g.width, 2);
    ASSERT_EQ(g.height, 3);
    const std::vector<int16_t> expected{-32767, 257 - 32767, 257 * 127 - 32767, 257 * 128 - 32767,
                                        257 * 200 - 32767, 32767};
    EXPECT_EQ(g.samples, expected);
}

TEST(HeightmapDecoding, OfSeveralChannelsOnlyTheFirstCounts) {
    TempFile rgb("rgb8.png");
    // Two pixels: the green and blue channels disagree with red on purpose.
    ASSERT_TRUE(writePng(rgb.path, 2, 1, 8, PNG_COLOR_TYPE_RGB, {10, 250, 0, 200, 3, 99}));
    const HeightGrid g = decodeHeightmap(rgb.path.c_str());
    ASSERT_EQ(g.samples.size(), 2u);
    EXPECT_EQ(g.samples[0], 257 * 10 - 32767);
    EXPECT_EQ(g.samples[1], 257 * 200 - 32767);

    TempFile greyAlpha("ga16.png");
    ASSERT_TRUE(writePng(greyAlpha.path, 3, 1, 16, PNG_COLOR_TYPE_GRAY_ALPHA, {1000, 65535, 40000, 0, 32767, 7}));
    const HeightGrid h = decodeHeightmap(greyAlpha.path.c_str());
    EXPECT_EQ(h.samples, (std::vector<int16_t>{1000 - 32767, 40000 - 32767, 0}));
}

TEST(HeightmapDecoding, MissingFileThrowsWithMessageAndPath) {
    const std::string path = testing::TempDir() + "kelvara_no_such_heightmap.png";
    try {
        decodeHeightmap(path.c_str());
        FAIL() << "no exception";
    } catch (FileNotFoundException* e) {
        EXPECT_STREQ(e->what(), "Error loading heightmap from file");
        EXPECT_EQ(std::string(e->getFileName()), path);
        delete e;
    }
}

TEST(HeightmapDecoding, AMapTooLargeToHoldIsRefusedBeforeDecoding) {
    TempFile file("wide.png");
    // A few kilobytes on disk that declare more grid points than a course may have.
    ASSERT_TRUE(writePng(file.path, 4097, 2, 8, PNG_COLOR_TYPE_GRAY, std::vector<uint16_t>(4097 * 2, 100)));
    try {
        decodeHeightmap(file.path.c_str());
        FAIL() << "no exception";
    } catch (FileNotFoundException* e) {
        EXPECT_STREQ(e->what(), "Heightmap is larger than 4096 x 4096 pixels");
        EXPECT_EQ(std::string(e->getFileName()), file.path);
        delete e;
    }
    TempFile fits("fits.png");
    ASSERT_TRUE(writePng(fits.path, 4096, 2, 8, PNG_COLOR_TYPE_GRAY, std::vector<uint16_t>(4096 * 2, 100)));
    EXPECT_EQ(decodeHeightmap(fits.path.c_str()).width, 4096);
}

TEST(HeightmapDecoding, FileThatIsNoImageThrowsLikeAMissingOne) {
    TempFile file("not_an_image.png");
    std::FILE* f = std::fopen(file.path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("this is not a picture", f);
    std::fclose(f);
    try {
        decodeHeightmap(file.path.c_str());
        FAIL() << "no exception";
    } catch (FileNotFoundException* e) {
        EXPECT_STREQ(e->what(), "Error loading heightmap from file");
        EXPECT_EQ(std::string(e->getFileName()), file.path);
        delete e;
    }
}

// --- Goal hollow ---

TEST(GoalHollow, PressesCentreEdgesAndCornersAroundTheGoal) {
    HeightGrid g = levelGrid(8, 8, 100);
    // width/2 + (-1) = 3, height/2 + 1 = 5
    pressGoalHollow(g, -1.0f, 1.0f);
    EXPECT_EQ(at(g, 3, 5), 100 - 800);
    EXPECT_EQ(at(g, 2, 5), 100 - 600);
    EXPECT_EQ(at(g, 4, 5), 100 - 600);
    EXPECT_EQ(at(g, 3, 4), 100 - 600);
    EXPECT_EQ(at(g, 3, 6), 100 - 600);
    EXPECT_EQ(at(g, 2, 4), 100 - 400);
    EXPECT_EQ(at(g, 4, 4), 100 - 400);
    EXPECT_EQ(at(g, 2, 6), 100 - 400);
    EXPECT_EQ(at(g, 4, 6), 100 - 400);
    long total = 0;
    for (int16_t s : g.samples) total += 100 - s;
    EXPECT_EQ(total, 800 + 4 * 600 + 4 * 400) << "nothing else is touched";
}

TEST(GoalHollow, CentreIsTruncatedTowardZero) {
    HeightGrid g = levelGrid(8, 8, 0);
    pressGoalHollow(g, -0.5f, 0.9f); // 3.5 -> 3, 4.9 -> 4
    EXPECT_EQ(at(g, 3, 4), -800);

    // -0.5 truncates to column 0, where rounding down would give -1.
    HeightGrid h = levelGrid(8, 8, 0);
    pressGoalHollow(h, -4.5f, 0.0f);
    EXPECT_EQ(at(h, 0, 4), -800);
    EXPECT_EQ(at(h, 1, 4), -600);
}

TEST(GoalHollow, StopsAtTheBottomInsteadOfWrapping) {
    HeightGrid g = levelGrid(4, 4, -32500);
    pressGoalHollow(g, 0.0f, 0.0f); // centre (2, 2)
    EXPECT_EQ(at(g, 2, 2), -32767);
    EXPECT_EQ(at(g, 1, 2), -32767);
    EXPECT_EQ(at(g, 1, 1), -32767);
    EXPECT_EQ(at(g, 0, 0), -32500);
}

TEST(GoalHollow, IsClippedToTheImage) {
    HeightGrid corner = levelGrid(4, 3, 0);
    pressGoalHollow(corner, -2.0f, -1.0f); // centre (0, 0)
    EXPECT_EQ(at(corner, 0, 0), -800);
    EXPECT_EQ(at(corner, 1, 0), -600);
    EXPECT_EQ(at(corner, 0, 1), -600);
    EXPECT_EQ(at(corner, 1, 1), -400);
    long total = 0;
    for (int16_t s : corner.samples) total -= s;
    EXPECT_EQ(total, 800 + 2 * 600 + 400);

    // The real goal offset lies far outside a small map: nothing changes.
    HeightGrid small = levelGrid(4, 3, 7);
    pressGoalHollow(small, checkpoints[goalIndex].x, checkpoints[goalIndex].z);
    EXPECT_EQ(small.samples, levelGrid(4, 3, 7).samples);

    HeightGrid odd = levelGrid(4, 3, 7);
    pressGoalHollow(odd, std::nanf(""), 1e30f);
    EXPECT_EQ(odd.samples, levelGrid(4, 3, 7).samples);
}

TEST(GoalHollow, LiesStraightUnderTheGoalOnACourseSizedMap) {
    const int32_t width = 300, height = 400;
    HeightGrid g = levelGrid(width, height, 0);
    const glm::vec3 goal = checkpoints[goalIndex];
    pressGoalHollow(g, goal.x, goal.z);
    const int32_t cx = width / 2 - 133, cz = height / 2 + 177;
    EXPECT_EQ(at(g, cx, cz), -800);
    // Grid point (x, z) is drawn at world (x - width/2, z - height/2).
    EXPECT_FLOAT_EQ(float(cx) - float(width) / 2.0f, goal.x);
    EXPECT_FLOAT_EQ(float(cz) - float(height) / 2.0f, goal.z);
    EXPECT_NEAR(100.0f * 800.0f / 32767.0f, 2.44f, 0.01f);
}

// --- Collision heightfield ---

class TerrainCollision : public testing::Test {
protected:
    void TearDown() override {
        destroyPhysicsWorld(world);
        delete ground;
        delete ball;
    }
    PhysicsWorld* world = createPhysicsWorld();
    PhysicsBody* ground = nullptr;
    PhysicsBody* ball = nullptr;
};

TEST_F(TerrainCollision, TerrainKeepsTheGridsHeightsWithoutAMesh) {
    HeightGrid g = levelGrid(5, 4, 42);
    const int16_t* data = g.samples.data();
    Terrain t(std::move(g));
    EXPECT_EQ(t.width, 5);
    EXPECT_EQ(t.height, 4);
    EXPECT_EQ(t.samples, data) << "the heights are taken over, not copied";
    EXPECT_EQ(t.samples[19], 42);
    EXPECT_EQ(t.mesh.vao, 0u);
    EXPECT_EQ(static_cast<void*>(&t), static_cast<void*>(&t.mesh)) << "the mesh is the first member";

    Terrain broken(HeightGrid{3, 3, {1, 2}});
    EXPECT_EQ(broken.samples, nullptr);
    EXPECT_EQ(createTerrainBody(*world, broken), nullptr);
}

TEST_F(TerrainCollision, BallComesToRestHalfAUnitAboveTheDrawnSurface) {
    const int16_t s = 3277; // about 10 world units up
    const Terrain flat(levelGrid(16, 16, s));
    ground = createTerrainBody(*world, flat);
    ASSERT_NE(ground, nullptr);
    EXPECT_TRUE(ground->body->isStaticObject());
    EXPECT_EQ(bodyModelMatrix(*ground), glm::mat4(1.0f));

    const float drawnY = 100.0f * float(s) / 32767.0f;
    ball = createBall(*world, glm::vec3(0.3f, drawnY + 3.0f, -0.2f));
    for (int frame = 0; frame < 300; ++frame) stepPhysics(*world, 1.0f / 60.0f);
    const glm::vec3 p = bodyPosition(*ball);
    EXPECT_NEAR(p.y, drawnY + 0.5f + ballRadius, 0.03f);
    EXPECT_NEAR(p.x, 0.3f, 0.01f);
    EXPECT_NEAR(p.z, -0.2f, 0.01f);
}

TEST_F(TerrainCollision, SurfaceSitsHalfAStepBesideAndHalfAUnitAboveTheDrawnGrid) {
    // A ramp: two world units up per grid step along x, so a half-step shift shows as a full unit of height.
    const int32_t w = 12, h = 9;
    const double perStep = 655.34;
    HeightGrid g = levelGrid(w, h, 0);
    for (int32_t z = 0; z < h; ++z)
        for (int32_t x = 0; x < w; ++x) g.samples[std::size_t(z * w + x)] = int16_t(std::lround((x - 6) * perStep));
    const Terrain ramp(std::move(g));
    ground = createTerrainBody(*world, ramp);
    ASSERT_NE(ground, nullptr);

    btVector3 aabbMin, aabbMax;
    ground->body->getAabb(aabbMin, aabbMax);
    EXPECT_NEAR(aabbMin.x(), -(w - 1) / 2.0f, 0.05f);
    EXPECT_NEAR(aabbMax.x(), (w - 1) / 2.0f, 0.05f);
    EXPECT_NEAR(aabbMin.z(), -(h - 1) / 2.0f, 0.05f);

    for (const float worldX : {-3.0f, 0.25f, 2.5f}) {
        const float worldZ = 1.5f;
        const btVector3 from(worldX, 500.0f, worldZ), to(worldX, -500.0f, worldZ);
        btCollisionWorld::ClosestRayResultCallback hit(from, to);
        world->dynamicsWorld->rayTest(from, to, hit);
        ASSERT_TRUE(hit.hasHit()) << "x=" << worldX;
        // Grid column under worldX on the collision surface, and the height the samples give there.
        const double column = worldX + (w - 1) / 2.0;
        const double expected = 100.0 * (column - 6.0) * perStep / 32767.0 + 0.5;
        EXPECT_NEAR(hit.m_hitPointWorld.y(), expected, 0.02) << "x=" << worldX;
    }
}

// --- Start-up ---

TEST_F(FreshCourse, HeadlessSetupBuildsTerrainAndBodyWithoutAMesh) {
    TempFile file("course16.png");
    const int32_t w = 20, h = 10;
    std::vector<uint16_t> pixels(std::size_t(w * h));
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint16_t(30000 + 37 * i);
    ASSERT_TRUE(writePng(file.path, w, h, 16, PNG_COLOR_TYPE_GRAY, pixels));
    ASSERT_EQ(setupTerrainCollision(file.path.c_str()), 0);
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->width, w);
    EXPECT_EQ(terrain->height, h);
    EXPECT_EQ(terrain->mesh.vao, 0u);
    // The goal lies far off this small map, so the hollow touches nothing.
    for (std::size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(terrain->samples[i], int(pixels[i]) - 32767) << i;

    ASSERT_NE(terrainBody, nullptr);
    EXPECT_EQ(physicsWorld->dynamicsWorld->getNumCollisionObjects(), 1);
    EXPECT_EQ(terrainBody->body->getCollisionShape()->getShapeType(), TERRAIN_SHAPE_PROXYTYPE);
    EXPECT_EQ(bodyModelMatrix(*terrainBody), glm::mat4(1.0f));
}

TEST_F(FreshCourse, HeadlessSetupPressesTheHollowUnderTheGoal) {
    TempFile file("course_full.png");
    const int32_t w = 300, h = 400;
    ASSERT_TRUE(writePng(file.path, w, h, 8, PNG_COLOR_TYPE_GRAY, std::vector<uint16_t>(std::size_t(w * h), 128)));
    ASSERT_EQ(setupTerrainCollision(file.path.c_str()), 0);
    const int16_t level = 257 * 128 - 32767;
    const int32_t cx = w / 2 - 133, cz = h / 2 + 177;
    EXPECT_EQ(terrain->samples[cz * w + cx], level - 800);
    EXPECT_EQ(terrain->samples[cz * w + cx + 1], level - 600);
    EXPECT_EQ(terrain->samples[(cz + 1) * w + cx + 1], level - 400);
    EXPECT_EQ(terrain->samples[0], level);
}

TEST_F(FreshCourse, MissingHeightmapPrintsOneLineAndFails) {
    const std::string path = testing::TempDir() + "kelvara_missing_course.png";
    testing::internal::CaptureStderr();
    const int status = setupTerrainCollision(path.c_str());
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, -1);
    EXPECT_EQ(printed, "Error loading heightmap from file (" + path + ") \n");
    EXPECT_EQ(terrain, nullptr);
    EXPECT_EQ(terrainBody, nullptr);
    EXPECT_EQ(physicsWorld->dynamicsWorld->getNumCollisionObjects(), 0);
}

TEST_F(FreshCourse, AMapWithoutCellsIsRefused) {
    TempFile file("thin.png");
    ASSERT_TRUE(writePng(file.path, 1, 4, 8, PNG_COLOR_TYPE_GRAY, {1, 2, 3, 4}));
    testing::internal::CaptureStderr();
    const int status = setupTerrainCollision(file.path.c_str());
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, -1);
    EXPECT_EQ(printed, "Heightmap is smaller than 2 x 2 pixels (" + file.path + ") \n");
    EXPECT_EQ(terrain, nullptr);
    EXPECT_EQ(terrainBody, nullptr);
}

TEST_F(FreshCourse, WithoutAPhysicsWorldTheTerrainStepFails) {
    destroyPhysicsWorld(physicsWorld);
    physicsWorld = nullptr;
    testing::internal::CaptureStderr();
    EXPECT_EQ(setupTerrainCollision("unused.png"), -1);
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(terrain, nullptr);
}

} // namespace
