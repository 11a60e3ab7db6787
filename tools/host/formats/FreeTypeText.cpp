// Picture text through FreeType, with Liberation Sans (Arial's metrics where Liberation is not installed).
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "FontFiles.h"
#include "TextPainter.h"

namespace cchost {
namespace {

class FreeTypeText : public TextPainter {
 public:
  ~FreeTypeText() override {
    for (FT_Face face : mFaces)
      if (face) FT_Done_Face(face);
    if (mLibrary) FT_Done_FreeType(mLibrary);
  }

  bool Open() {
    if (FT_Init_FreeType(&mLibrary) != 0) return false;
    for (int bold = 0; bold < 2; ++bold)
      for (const std::string& path : SansFontFiles(bold == 1))
        if (!mFaces[size_t(bold)] && FT_New_Face(mLibrary, path.c_str(), 0, &mFaces[size_t(bold)]) != 0)
          mFaces[size_t(bold)] = nullptr;
    if (!mFaces[0]) std::swap(mFaces[0], mFaces[1]);
    return mFaces[0] != nullptr;
  }

  int Width(const std::string& text, int size, bool bold) override {
    FT_Face face = Face(size, bold);
    long width = 0;
    for (unsigned char c : text)
      if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0) width += face->glyph->advance.x;
    return static_cast<int>((width + 63) / 64);
  }

  void Draw(RgbImage* image, int x, int y, const std::string& text, uint32_t rgb, int size, bool bold) override {
    FT_Face face = Face(size, bold);
    // y is the top of the capitals: the baseline lies a cap height below it.
    const int baseline = y + static_cast<int>(std::lround(size * 0.72));
    long penX = long(x) * 64;
    for (unsigned char c : text) {
      if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
      const FT_GlyphSlot g = face->glyph;
      const int left = static_cast<int>(penX / 64) + g->bitmap_left;
      const int top = baseline - g->bitmap_top;
      for (unsigned row = 0; row < g->bitmap.rows; ++row)
        for (unsigned col = 0; col < g->bitmap.width; ++col) {
          const uint8_t coverage = g->bitmap.buffer[long(row) * g->bitmap.pitch + long(col)];
          if (coverage) image->Blend(left + int(col), top + int(row), rgb, coverage / 255.0f);
        }
      penX += g->advance.x;
    }
  }

 private:
  FT_Face Face(int size, bool bold) {
    FT_Face face = mFaces[bold && mFaces[1] ? 1 : 0];
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::max(1, size)));
    return face;
  }

  FT_Library mLibrary = nullptr;
  std::array<FT_Face, 2> mFaces = {nullptr, nullptr};  // regular, bold
};

}  // namespace

std::unique_ptr<TextPainter> MakeTextPainter() {
  std::unique_ptr<FreeTypeText> text(new FreeTypeText());
  if (text->Open()) return text;
  return MakeBitmapTextPainter();
}

bool BuildHasFontRendering() { return true; }

}  // namespace cchost
