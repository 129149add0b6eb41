// Lettering for the generator's sprites: glyph coverage from stb_truetype, laid out along a baseline.
#include "tools/generate/text.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace {

constexpr int replacementCharacter = 0xFFFD;

// Font units to pixels such that a capital H is capHeight pixels tall.
float scaleForCapHeight(const Font& font, float capHeight) {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    if (stbtt_GetCodepointBox(&font.info, 'H', &x0, &y0, &x1, &y1) == 0 || y1 <= y0) {
        return stbtt_ScaleForPixelHeight(&font.info, capHeight / 0.7f);
    }
    return capHeight / static_cast<float>(y1 - y0);
}

} // namespace

std::vector<int> decodeUtf8(const std::string& utf8) {
    std::vector<int> out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto byte = static_cast<unsigned char>(utf8[i]);
        int extra = byte < 0x80 ? 0 : (byte >> 5) == 0x6 ? 1 : (byte >> 4) == 0xE ? 2 : (byte >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= utf8.size()) {
            out.push_back(replacementCharacter);
            ++i;
            continue;
        }
        int code = extra == 0 ? byte : byte & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(replacementCharacter);
            ++i;
            continue;
        }
        out.push_back(code);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

bool loadFont(const std::string& path, Font& font, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read font " + path + " (install fonts-dejavu-core)";
        return false;
    }
    font.data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    int offset = font.data.empty() ? -1 : stbtt_GetFontOffsetForIndex(font.data.data(), 0);
    if (offset < 0 || stbtt_InitFont(&font.info, font.data.data(), offset) == 0) {
        error = "cannot use font " + path + ": not a TrueType font";
        font.data.clear();
        return false;
    }
    return true;
}

float textWidth(const Font& font, const std::string& utf8, float capHeight) {
    float scale = scaleForCapHeight(font, capHeight);
    std::vector<int> codes = decodeUtf8(utf8);
    float width = 0.0f;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&font.info, codes[i], &advance, &bearing);
        width += static_cast<float>(advance) * scale;
        if (i + 1 < codes.size()) {
            width += static_cast<float>(stbtt_GetCodepointKernAdvance(&font.info, codes[i], codes[i + 1])) * scale;
        }
    }
    return width;
}

void drawText(Mask& mask, const Font& font, const std::string& utf8, float capHeight, glm::vec2 origin) {
    float scale = scaleForCapHeight(font, capHeight);
    std::vector<int> codes = decodeUtf8(utf8);
    float penX = origin.x;
    float baseline = std::floor(origin.y);
    float shiftY = origin.y - baseline;
    std::vector<unsigned char> glyph;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        float left = std::floor(penX);
        float shiftX = penX - left;
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(&font.info, codes[i], scale, scale, shiftX, shiftY, &x0, &y0, &x1, &y1);
        int w = x1 - x0;
        int h = y1 - y0;
        if (w > 0 && h > 0) {
            glyph.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
            stbtt_MakeCodepointBitmapSubpixel(&font.info, glyph.data(), w, h, w, scale, scale, shiftX, shiftY,
                                              codes[i]);
            for (int gy = 0; gy < h; ++gy) {
                for (int gx = 0; gx < w; ++gx) {
                    int x = static_cast<int>(left) + x0 + gx;
                    int y = static_cast<int>(baseline) + y0 + gy;
                    if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) {
                        continue;
                    }
                    float& cell = mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                                                static_cast<std::size_t>(x)];
                    cell = std::max(cell, static_cast<float>(glyph[static_cast<std::size_t>(gy) *
                                                                       static_cast<std::size_t>(w) +
                                                                   static_cast<std::size_t>(gx)]) /
                                              255.0f);
                }
            }
        }
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&font.info, codes[i], &advance, &bearing);
        penX += static_cast<float>(advance) * scale;
        if (i + 1 < codes.size()) {
            penX += static_cast<float>(stbtt_GetCodepointKernAdvance(&font.info, codes[i], codes[i + 1])) * scale;
        }
    }
}

void drawTextCentred(Mask& mask, const Font& font, const std::string& utf8, float capHeight, glm::vec2 centre) {
    float width = textWidth(font, utf8, capHeight);
    drawText(mask, font, utf8, capHeight, glm::vec2(centre.x - width * 0.5f, centre.y + capHeight * 0.5f));
}
