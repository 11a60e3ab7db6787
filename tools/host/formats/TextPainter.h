// Text for pictures: measured and drawn onto an RgbImage at a pixel size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "PngWriter.h"

namespace cchost {

class TextPainter {
 public:
  virtual ~TextPainter() = default;
  // Width in pixels of text at a font size (the em square, in pixels).
  virtual int Width(const std::string& text, int size, bool bold = false) = 0;
  // Draws text with the top of its capital letters at y.
  virtual void Draw(RgbImage* image, int x, int y, const std::string& text, uint32_t rgb, int size,
                    bool bold = false) = 0;
};

// Liberation Sans, antialiased, where FreeType and the font are there; the built-in bitmap font otherwise.
std::unique_ptr<TextPainter> MakeTextPainter();
std::unique_ptr<TextPainter> MakeBitmapTextPainter();
// Whether this build draws text with FreeType (the Windows builds have no FreeType).
bool BuildHasFontRendering();

}  // namespace cchost
