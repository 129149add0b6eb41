// 2D textures from image files: decoding, the two uploads, release, and the fourteen start-up textures.
#include "render/texture.h"

#include <GL/glew.h>
#include <stb_image.h>

#include <cstdio>

#include "render/scene.h"

namespace {

// Decoded rows are tightly packed; the default alignment of 4 would read past the end of rows whose byte
// length is not a multiple of 4 (three-channel images of odd width). Left at 1: every upload here is packed.
constexpr GLint tightUnpackAlignment = 1; // bytes

enum class Loader { Repeating, ClampedRgb };

struct StartupTexture {
    Texture* texture;
    const char* path;
    Loader loader;
    uint32_t unit;
};

// Start-up loads these in this order; only the terrain's three use units other than 0.
const StartupTexture startupTextures[] = {
    {&grassTexture, "Textures/gras.png", Loader::Repeating, 0},
    {&grassSpecularTexture, "Textures/gras_specular.png", Loader::Repeating, 1},
    {&grassNormalTexture, "Textures/gras_normals.png", Loader::Repeating, 2},
    {&particleTexture, "Textures/particle.jpg", Loader::Repeating, 0},
    {&boostPTexture, "UserInterface/boostP.png", Loader::ClampedRgb, 0},
    {&boostTexture, "UserInterface/boost.png", Loader::Repeating, 0},
    {&boostGaugeTexture, "UserInterface/boost_gauge.png", Loader::Repeating, 0},
    {&boostGaugePointerTexture, "UserInterface/boost_gauge_pointer.png", Loader::Repeating, 0},
    {&timePTexture, "UserInterface/timeP.png", Loader::ClampedRgb, 0},
    {&timeTexture, "UserInterface/time.png", Loader::Repeating, 0},
    {&youWonTexture, "UserInterface/youwon.png", Loader::Repeating, 0},
    {&youLostTexture, "UserInterface/youlost.png", Loader::Repeating, 0},
    {&getReadyTexture, "UserInterface/getready.png", Loader::Repeating, 0},
    {&letRollTexture, "UserInterface/letroll.png", Loader::Repeating, 0},
};

// Uploads level 0 and its mipmaps into a new texture; the caller has set nothing yet.
GLuint uploadTexture(const unsigned char* pixels, int width, int height, GLenum format, GLint wrap, GLint minFilter) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, tightUnpackAlignment);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    // The clamped sprites never sample their mipmaps, but the chain is made all the same.
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return id;
}

} // namespace

Texture grassTexture, grassSpecularTexture, grassNormalTexture, particleTexture;
Texture boostPTexture, boostTexture, boostGaugeTexture, boostGaugePointerTexture;
Texture timePTexture, timeTexture, youWonTexture, youLostTexture, getReadyTexture, letRollTexture;

uint32_t textureFormatForChannels(int channelCount) {
    switch (channelCount) {
    case 1: return GL_RED;
    case 2: return GL_RG;
    case 3: return GL_RGB;
    default: return GL_RGBA;
    }
}

bool Texture::load() {
    // No vertical flip: the file's first row is the texture's first row.
    unsigned char* pixels = stbi_load(filePath.c_str(), &width, &height, &channelCount, 0);
    if (pixels == nullptr) {
        std::printf("Failed to find: %s\n", filePath.c_str());
        return false;
    }
    const GLenum format = textureFormatForChannels(channelCount);
    textureId = uploadTexture(pixels, width, height, format, GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR);
    stbi_image_free(pixels);
    return true;
}

bool Texture::loadClampedRgb() {
    // Decoded as three channels whatever the file holds, so the RGB upload reads exactly the decoded bytes;
    // channelCount still reports the file's own count.
    constexpr int rgbChannels = 3;
    unsigned char* pixels = stbi_load(filePath.c_str(), &width, &height, &channelCount, rgbChannels);
    if (pixels == nullptr) {
        std::printf("Failed to find: %s\n", filePath.c_str());
        return false;
    }
    textureId = uploadTexture(pixels, width, height, GL_RGB, GL_CLAMP_TO_BORDER, GL_LINEAR);
    stbi_image_free(pixels);
    return true;
}

void Texture::clear() {
    // Deleting name 0 is ignored by OpenGL, so a never-loaded texture needs no test.
    glDeleteTextures(1, &textureId);
    textureId = 0;
    width = 0;
    height = 0;
    channelCount = 0;
    filePath.clear();
}

void loadStartupTextures() {
    // A missing image prints its line and stays empty (textureId 0); start-up goes on.
    for (const StartupTexture& entry : startupTextures) {
        *entry.texture = Texture(entry.path);
        if (entry.loader == Loader::ClampedRgb) {
            entry.texture->loadClampedRgb();
        } else {
            entry.texture->load();
        }
        entry.texture->unit = entry.unit;
    }
    // The materials belong to the same start-up step as the textures they shade.
    setupMaterials();
}

void releaseStartupTextures() {
    for (const StartupTexture& entry : startupTextures) {
        entry.texture->clear();
    }
}
