// A tiny built-in 5x7 bitmap font (upper case, digits, some punctuation): picture labels in builds without
// FreeType or on systems without the font.
#pragma once

#include <cstdint>
#include <string>

#include "PngWriter.h"
#include "TextPainter.h"

namespace cchost {

// Lower case is drawn as upper case; characters without a glyph are drawn as '?'.
void DrawText(RgbImage* image, int x, int y, const std::string& text, uint32_t rgb, int scale = 1);
int TextWidth(const std::string& text, int scale = 1);
constexpr int kGlyphHeight = 7;

}  // namespace cchost
