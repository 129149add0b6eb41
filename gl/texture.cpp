// 2D textures from image files: the upload of a decoded image, the two loaders, release, the start-up textures.
#include "gl/texture.h"

#include <GL/glew.h>

namespace {

// Decoded rows are tightly packed; the default alignment of 4 would read past the end of rows whose byte
// length is not a multiple of 4 (three-channel images of odd width). Left at 1: every upload here is packed.
constexpr GLint tightUnpackAlignment = 1; // bytes

enum class Loader { Repeating, ClampedRgb };

struct StartupTexture {
    Texture StartupTextures::*texture;
    const char* path;
    Loader loader;
    uint32_t unit;
};

// Start-up loads these in this order; only the terrain's three use units other than 0.
const StartupTexture startupTextures[] = {
    {&StartupTextures::grass, "Textures/gras.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::grassSpecular, "Textures/gras_specular.png", Loader::Repeating, specularUnit},
    {&StartupTextures::grassNormal, "Textures/gras_normals.png", Loader::Repeating, normalUnit},
    {&StartupTextures::particle, "Textures/particle.jpg", Loader::Repeating, diffuseUnit},
    {&StartupTextures::boostP, "UserInterface/boostP.png", Loader::ClampedRgb, diffuseUnit},
    {&StartupTextures::boost, "UserInterface/boost.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::boostGauge, "UserInterface/boost_gauge.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::boostGaugePointer, "UserInterface/boost_gauge_pointer.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::timeP, "UserInterface/timeP.png", Loader::ClampedRgb, diffuseUnit},
    {&StartupTextures::time, "UserInterface/time.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::youWon, "UserInterface/youwon.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::youLost, "UserInterface/youlost.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::getReady, "UserInterface/getready.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::letRoll, "UserInterface/letroll.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::digits, "UserInterface/digits.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::best, "UserInterface/best.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::newRecord, "UserInterface/newrecord.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::medals, "UserInterface/medals.png", Loader::Repeating, diffuseUnit},
    {&StartupTextures::paused, "UserInterface/paused.png", Loader::Repeating, diffuseUnit},
};

} // namespace

uint32_t textureFormatForChannels(int channelCount) {
    switch (channelCount) {
    case 1: return GL_RED;
    case 2: return GL_RG;
    case 3: return GL_RGB;
    default: return GL_RGBA;
    }
}

uint32_t uploadTexture(const Image& image, int32_t wrap, int32_t minFilter) {
    const GLenum format = textureFormatForChannels(image.channels);
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, tightUnpackAlignment);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0, format, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    // The clamped sprites never sample their mipmaps, but the chain is made all the same.
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return id;
}

bool Texture::load() {
    const Image image = decodeImage(filePath, 0);
    if (image.empty()) {
        return false;
    }
    width = image.width;
    height = image.height;
    channelCount = image.channelCount;
    textureId = uploadTexture(image, GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR);
    return true;
}

bool Texture::loadClampedRgb() {
    // Decoded as three channels whatever the file holds, so the RGB upload reads exactly the decoded bytes;
    // channelCount still reports the file's own count.
    constexpr int rgbChannels = 3;
    const Image image = decodeImage(filePath, rgbChannels);
    if (image.empty()) {
        return false;
    }
    width = image.width;
    height = image.height;
    channelCount = image.channelCount;
    textureId = uploadTexture(image, GL_CLAMP_TO_BORDER, GL_LINEAR);
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

void loadStartupTextures(StartupTextures& textures) {
    // A missing image prints its line and stays empty (textureId 0); start-up goes on.
    for (const StartupTexture& entry : startupTextures) {
        Texture& texture = textures.*entry.texture;
        texture = Texture(entry.path);
        if (entry.loader == Loader::ClampedRgb) {
            texture.loadClampedRgb();
        } else {
            texture.load();
        }
        texture.unit = entry.unit;
    }
}

void releaseStartupTextures(StartupTextures& textures) {
    for (const StartupTexture& entry : startupTextures) {
        (textures.*entry.texture).clear();
    }
}
