// The menu pass through a real context: plain quads show their colour, pictures their image, glyphs the font atlas
// tinted, a course without a picture a dim square, and an open menu dims the frame under it by its backdrop.
#include <gtest/gtest.h>

#include <vector>

#include "core/course_list.h"
#include "core/image.h"
#include "core/menu.h"
#include "core/menu_layout.h"
#include "core/text_layout.h"
#include "gl/menu_draw.h"
#include "tests/support/files.h"
#include "tests/support/gl_pass.h"

namespace {

class MenuPass : public GlPass {
protected:
    MenuPass() {
        WorkingDirectory inData(KELVARA_DATA_DIR);
        EXPECT_TRUE(startMenuGpu(renderer.menu));
        courses.resize(2);
        courses[0].previewFile = std::string(KELVARA_DATA_DIR) + "/Courses/canyon/preview.png";
        loadMenuPictures(renderer.menu, courses); // the second course has no picture
    }
    ~MenuPass() override { releaseMenuGpu(renderer.menu); }

    void draw() {
        drawIntoTarget();
        renderMenu(renderer, layout, size, size);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer); // renderMenu draws into what is bound
    }
    // Pixel (x, y) from the top-left corner.
    glm::vec4 at(const std::vector<glm::vec4>& shown, int x, int y) const {
        return shown[std::size_t(size - 1 - y) * size + std::size_t(x)];
    }

    std::vector<CourseEntry> courses;
    MenuLayout layout;
};

TEST_F(MenuPass, QuadsShowTheirColourPictureAndGlyphs) {
    const glm::vec4 red(1.0f, 0.0f, 0.0f, 1.0f);
    // Top-left quarter solid red; top-right the first course's picture; bottom-left the second's missing one; bottom
    // right the medal disc tinted gold.
    layout.quads[0] = MenuQuad{MenuTexture::Solid, -1, glm::vec2(-0.5f, 0.5f), glm::vec2(1.0f), glm::vec4(0, 0, 1, 1), red};
    layout.quads[1] = MenuQuad{MenuTexture::Picture, 0, glm::vec2(0.5f, 0.5f), glm::vec2(1.0f), glm::vec4(0, 0, 1, 1),
                               glm::vec4(1.0f)};
    layout.quads[2] = MenuQuad{MenuTexture::Picture, 1, glm::vec2(-0.5f, -0.5f), glm::vec2(1.0f),
                               glm::vec4(0, 0, 1, 1), glm::vec4(0.8f, 0.8f, 0.8f, 1.0f)};
    layout.quads[3] = MenuQuad{MenuTexture::Font, -1, glm::vec2(0.5f, -0.5f), glm::vec2(1.0f),
                               fontTextureRect(fontMedalCell), glm::vec4(1.0f, 0.8f, 0.1f, 1.0f)};
    layout.quadCount = 4;
    draw();
    const std::vector<glm::vec4> shown = readAll();

    const glm::vec4 solid = at(shown, size / 4, size / 4);
    EXPECT_NEAR(solid.r, 1.0f, 0.01f);
    EXPECT_NEAR(solid.g, 0.0f, 0.01f);

    // The picture's middle as the file holds it.
    const Image picture = decodeImage(courses[0].previewFile, 4);
    ASSERT_FALSE(picture.empty());
    const std::size_t middle = (std::size_t(picture.height / 2) * std::size_t(picture.width) + std::size_t(picture.width / 2)) * 4;
    const glm::vec4 shownMiddle = at(shown, size * 3 / 4, size / 4);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(shownMiddle[c], picture.pixels[middle + std::size_t(c)] / 255.0f, 0.12f) << "channel " << c;
    }

    // No picture: a dim square of the quad's own colour, neither black nor full.
    const glm::vec4 none = at(shown, size / 4, size * 3 / 4);
    EXPECT_GT(none.r, 0.05f);
    EXPECT_LT(none.r, 0.5f);

    // The medal disc: its middle is inked and tinted gold (more red than blue).
    const glm::vec4 disc = at(shown, size * 3 / 4, size * 3 / 4);
    EXPECT_GT(disc.r, 0.3f);
    EXPECT_GT(disc.r, disc.b * 2.0f);
    // Around it, the atlas cell is clear: the black target shows through.
    const glm::vec4 clear = at(shown, size / 2 + 2, size - 3);
    EXPECT_LT(clear.r + clear.g + clear.b, 0.05f);
}

TEST_F(MenuPass, AnOpenMenuDimsTheFrameUnderIt) {
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Menu menu;
    openMenu(menu, int(courses.size()), 0);
    layoutMenu(menu, courses, 1.0f, layout);
    ASSERT_GT(layout.quadCount, 10u);
    draw();
    const glm::vec4 corner = at(readAll(), 1, size - 2);
    EXPECT_LT(corner.r, 0.7f) << "the backdrop dims white";
    EXPECT_GT(corner.r, 0.2f) << "the race still shows through";
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
}

} // namespace
