// Lettering for the generator's sprites: a TrueType font from a Debian package, rendered to coverage masks.
#pragma once

#include <string>
#include <vector>

#include <glm/vec2.hpp>
#include <stb_truetype.h>

#include "core/canvas.h"

// The bold sans face every sprite uses; fonts-dejavu-core installs it.
constexpr const char* spriteFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct Font {
    std::vector<unsigned char> data; // the font file; info points into it
    stbtt_fontinfo info{};
};

// False, with the file and the reason in error, when the file cannot be read or is no usable font.
bool loadFont(const std::string& path, Font& font, std::string& error);

// Horizontal advance of a UTF-8 line in pixels, kerning included, at a size where capitals are capHeight tall.
float textWidth(const Font& font, const std::string& utf8, float capHeight);
// Adds the coverage of a UTF-8 line to mask (keeping the larger value where glyphs overlap), with the line's left
// end at origin.x and its baseline at origin.y; capitals are capHeight pixels tall.
void drawText(Mask& mask, const Font& font, const std::string& utf8, float capHeight, glm::vec2 origin);
// The same, centred on centre: horizontally by advance, vertically by capital height.
void drawTextCentred(Mask& mask, const Font& font, const std::string& utf8, float capHeight, glm::vec2 centre);

// Code points of a UTF-8 string; malformed bytes become U+FFFD.
std::vector<int> decodeUtf8(const std::string& utf8);
