// One font for text drawing on Linux: a fontconfig match opened with FreeType, with its glyphs kept rendered.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "IGraphicsStructs.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;
struct PixelContext;

class FreeTypeFont {
 public:
  // Finds the style's face (an alias such as "Arial" resolves to a metric-compatible face), with its weight
  // and slant, at a cell height of the style's size in pixels; null when no face can be opened.
  static std::unique_ptr<FreeTypeFont> Create(const ITextStyle* style);
  ~FreeTypeFont();
  FreeTypeFont(const FreeTypeFont&) = delete;
  FreeTypeFont& operator=(const FreeTypeFont&) = delete;

  // Draws one line of Latin-1 text with the top of its cell at rect's top, aligned between rect's left and right,
  // antialiased in colour's R, G and B, touching only pixels inside clip.
  void Draw(PixelContext* surface, const char* text, const IRect* rect, int align, const IColor* color,
            const IRect* clip);
  // Width of the text in pixels along its direction.
  int TextWidth(const char* text);
  int Ascent() const { return mAscent; }
  int CellHeight() const { return mCellHeight; }
  // The font file that fontconfig chose.
  const char* FilePath() const { return mFilePath.c_str(); }

 private:
  struct Glyph {
    bool mLoaded = false;
    int mLeft = 0;  // from the pen position to the bitmap's left column
    int mTop = 0;   // from the baseline up to the bitmap's top row
    int mWidth = 0;
    int mHeight = 0;
    long mAdvanceX = 0;  // 26.6 fixed point
    long mAdvanceY = 0;
    std::vector<std::uint8_t> mCoverage;
  };

  FreeTypeFont() = default;
  const Glyph& GlyphFor(unsigned char c);

  FT_LibraryRec_* mLibrary = nullptr;
  FT_FaceRec_* mFace = nullptr;
  int mAscent = 0;
  int mCellHeight = 0;
  double mAngle = 0.0;  // radians, counter-clockwise
  std::string mFilePath;
  std::array<Glyph, 256> mGlyphs;
};
