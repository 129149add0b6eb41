// The look every HUD sprite shares: the palette, outlined lettering with a drop shadow, and the sparkles; and the
// race clock's sprites, which are drawn in that look.
#pragma once

#include <glm/vec2.hpp>

#include "core/canvas.h"

#include <string>

struct Font;

inline const Colour inkDark = rgb(14, 18, 38);
inline const Colour shadowColour = rgb(0, 0, 0, 0.55f);
inline const Colour faceDark = rgb(12, 16, 32, 0.93f);
inline const Colour faceLight = rgb(40, 50, 84, 0.93f);
inline const Colour metalLight = rgb(222, 230, 242);
inline const Colour metalDark = rgb(92, 102, 124);
inline const Colour scaleWhite = rgb(240, 244, 252);
inline const Colour timeLight = rgb(130, 232, 255);
inline const Colour timeDark = rgb(18, 104, 196);
inline const Colour boostLight = rgb(255, 214, 96);
inline const Colour boostDark = rgb(226, 86, 20);
inline const Colour goldLight = rgb(255, 248, 168);
inline const Colour goldDark = rgb(238, 164, 18);

// Lettering with a dark outline and a soft drop shadow, so it reads over bright sky and dark grass alike; the fill
// runs from top at yTop to bottom at yBottom (pixels).
void drawLettering(Canvas& canvas, const Mask& text, const Colour& top, const Colour& bottom, float yTop,
                   float yBottom, float outline, int shadowOffset, int shadowBlur);

// A four-pointed light sparkle with a thin dark edge; radius is its long arm, pixels.
void drawSparkle(Canvas& canvas, glm::vec2 centre, float radius);

// UserInterface/digits.png: the cells effects/hud_text.h describes.
Canvas drawDigitAtlas(const Font& font);
// UserInterface/best.png: the label beside the best time.
Canvas drawBestLabel(const Font& font);
// UserInterface/newrecord.png: shown with the won banner when the race beat the record.
Canvas drawNewRecord(const Font& font);
// UserInterface/medals.png: "GOLD MEDAL", "SILVER MEDAL" and "BRONZE MEDAL" stacked, each lettered in its metal.
Canvas drawMedalLabels(const Font& font);
// UserInterface/font.png: the cells core/text_layout.h describes. False, with the reason, when the font is not the
// one the layout's metrics were taken from or a glyph would leave its line or cell.
bool drawFontAtlas(const Font& font, Canvas& atlas, std::string& error);
