// The pause menu pass: the layout's quads drawn with the unit quad, tinted, over the finished frame.
#include "gl/menu_draw.h"

#include <cstdio>

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include "core/course_list.h"
#include "core/image.h"
#include "core/menu_layout.h"
#include "gl/gl_util.h"
#include "gl/renderer.h"

namespace {

constexpr const char* fontPath = "UserInterface/font.png";

// Clamped so a cell or picture never picks up its neighbour's edge; mipmapped, as the menu shrinks with the window.
bool uploadClampedTexture(Texture& texture, const Image& image, const std::string& path) {
    texture.clear();
    if (image.empty()) {
        return false;
    }
    texture.textureId = uploadTexture(image, GL_CLAMP_TO_EDGE, GL_LINEAR_MIPMAP_LINEAR);
    texture.width = image.width;
    texture.height = image.height;
    texture.channelCount = image.channelCount;
    texture.unit = diffuseUnit;
    texture.filePath = path;
    return texture.textureId != 0;
}

bool loadClampedTexture(Texture& texture, const std::string& path) {
    return uploadClampedTexture(texture, decodeImage(path, 4), path);
}

} // namespace

bool startMenuGpu(MenuGpu& menu) {
    try {
        menu.program.createFromFiles("Shaders/hud.vert", "Shaders/menu.frag");
    } catch (FileNotFoundException* e) {
        std::printf("Shader file cannot be found: %s\n", e->getFileName());
        delete e;
        return false;
    } catch (ShaderCompilationException* e) {
        std::printf("%s", e->what());
        delete e;
        return false;
    }
    const GLuint id = menu.program.programId;
    menu.tintLocation = glGetUniformLocation(id, "tint");
    menu.solidLocation = glGetUniformLocation(id, "solid");
    menu.rectLocation = glGetUniformLocation(id, "textureRect");
    menu.flipLocation = glGetUniformLocation(id, "flip");
    loadClampedTexture(menu.font, fontPath);
    return true;
}

void loadMenuPictures(MenuGpu& menu, const std::vector<CourseEntry>& courses) {
    for (Texture& picture : menu.pictures) {
        picture.clear();
    }
    menu.pictures.clear();
    menu.pictures.resize(courses.size());
    for (std::size_t i = 0; i < courses.size(); ++i) {
        if (!courses[i].previewFile.empty()) {
            loadClampedTexture(menu.pictures[i], courses[i].previewFile);
        }
    }
}

void addMenuPicture(MenuGpu& menu, const Image& picture) {
    menu.pictures.emplace_back();
    uploadClampedTexture(menu.pictures.back(), picture, std::string());
}

void releaseMenuGpu(MenuGpu& menu) {
    for (Texture& picture : menu.pictures) {
        picture.clear();
    }
    menu.pictures.clear();
    menu.font.clear();
    menu.program.clear();
}

void renderMenu(const Renderer& renderer, const MenuLayout& layout, int framebufferWidth, int framebufferHeight) {
    const MenuGpu& menu = renderer.menu;
    if (menu.program.programId == 0) {
        return;
    }
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    menu.program.use();
    glUniform1i(menu.flipLocation, 0);
    glActiveTexture(GL_TEXTURE0);
    for (std::size_t i = 0; i < layout.quadCount; ++i) {
        const MenuQuad& q = layout.quads[i];
        const Texture* texture = nullptr;
        if (q.texture == MenuTexture::Font) {
            texture = &menu.font;
        } else if (q.texture == MenuTexture::Picture && q.picture >= 0 &&
                   static_cast<std::size_t>(q.picture) < menu.pictures.size()) {
            texture = &menu.pictures[static_cast<std::size_t>(q.picture)];
        }
        // A picture or font that did not load is drawn as its plain box, dimmed, rather than as black.
        const bool solid = texture == nullptr || texture->textureId == 0;
        glm::vec4 tint = q.colour;
        if (solid && q.texture != MenuTexture::Solid) {
            tint = glm::vec4(glm::vec3(tint) * 0.25f, tint.a);
        }
        glUniform1i(menu.solidLocation, solid ? 1 : 0);
        glUniform4f(menu.tintLocation, tint.r, tint.g, tint.b, tint.a);
        glUniform4f(menu.rectLocation, q.uv.x, q.uv.y, q.uv.z, q.uv.w);
        if (!solid) {
            glBindTexture(GL_TEXTURE_2D, texture->textureId);
        }
        const glm::mat4 model = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(q.centre, 0.0f)),
                                           glm::vec3(q.size, 1.0f));
        uploadMatrix(menu.program.modelLocation, model);
        renderer.quad.draw();
    }
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glUseProgram(0);
}

void renderMenuAlone(const Renderer& renderer, const MenuLayout& layout, int framebufferWidth, int framebufferHeight) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    glClearColor(0.02f, 0.03f, 0.08f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderMenu(renderer, layout, framebufferWidth, framebufferHeight);
}
