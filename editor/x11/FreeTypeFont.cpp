// Font lookup through fontconfig and glyph rendering with FreeType onto a 32-bit pixel surface.
#include "FreeTypeFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

#include "PixelContext.h"

namespace {

// The file and face index that fontconfig picks for a family, weight and slant. A configuration of our own,
// released again, keeps us out of the host's fontconfig state and leaves nothing behind.
bool MatchFont(const ITextStyle* style, std::string* path, int* index) {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) {
    FcConfigDestroy(config);
    return false;
  }
  const char* family = style->mFont[0] ? style->mFont : "sans-serif";
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, style->mStyle == ITextStyle::StyleBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, style->mStyle == ITextStyle::StyleItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  bool found = false;
  if (match) {
    FcChar8* file = nullptr;
    found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
      *path = reinterpret_cast<const char*>(file);
      if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
    }
    FcPatternDestroy(match);
  }
  FcConfigDestroy(config);
  return found;
}

std::uint32_t BlendChannel(std::uint32_t d, std::uint32_t c, std::uint32_t coverage) {
  return (d * (255 - coverage) + c * coverage + 127) / 255;
}

}  // namespace

std::unique_ptr<FreeTypeFont> FreeTypeFont::Create(const ITextStyle* style) {
  std::unique_ptr<FreeTypeFont> font(new FreeTypeFont());
  int index = 0;
  if (!MatchFont(style, &font->mFilePath, &index)) return nullptr;
  if (FT_Init_FreeType(&font->mLibrary) != 0) return nullptr;
  if (FT_New_Face(font->mLibrary, font->mFilePath.c_str(), index, &font->mFace) != 0) return nullptr;
  FT_Face face = font->mFace;

  // The size is the height of the whole cell, ascent plus descent, as the Windows font mapper takes it.
  FT_Size_RequestRec request = {};
  request.type = FT_SIZE_REQUEST_TYPE_CELL;
  request.width = 0;
  request.height = static_cast<FT_Long>(style->mSize > 0 ? style->mSize : 1) * 64;
  if (FT_Request_Size(face, &request) != 0) return nullptr;
  font->mCellHeight = style->mSize;
  font->mAscent = static_cast<int>((FT_MulFix(face->ascender, face->size->metrics.y_scale) + 32) >> 6);

  if (style->mOrientation % 360 != 0) {
    font->mAngle = style->mOrientation * 3.14159265358979323846 / 180.0;
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::cos(font->mAngle) * 0x10000);
    matrix.xy = static_cast<FT_Fixed>(-std::sin(font->mAngle) * 0x10000);
    matrix.yx = static_cast<FT_Fixed>(std::sin(font->mAngle) * 0x10000);
    matrix.yy = static_cast<FT_Fixed>(std::cos(font->mAngle) * 0x10000);
    FT_Set_Transform(face, &matrix, nullptr);
  }
  return font;
}

FreeTypeFont::~FreeTypeFont() {
  if (mFace) FT_Done_Face(mFace);
  if (mLibrary) FT_Done_FreeType(mLibrary);
}

const FreeTypeFont::Glyph& FreeTypeFont::GlyphFor(unsigned char c) {
  Glyph& glyph = mGlyphs[c];
  if (glyph.mLoaded) return glyph;
  glyph.mLoaded = true;
  // Bytes are taken as Latin-1, whose code points are the first 256 of Unicode.
  if (FT_Load_Char(mFace, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return glyph;
  const FT_GlyphSlot slot = mFace->glyph;
  glyph.mAdvanceX = slot->advance.x;
  glyph.mAdvanceY = slot->advance.y;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
  glyph.mLeft = slot->bitmap_left;
  glyph.mTop = slot->bitmap_top;
  glyph.mWidth = static_cast<int>(bitmap.width);
  glyph.mHeight = static_cast<int>(bitmap.rows);
  glyph.mCoverage.resize(static_cast<std::size_t>(glyph.mWidth) * static_cast<std::size_t>(glyph.mHeight));
  for (int y = 0; y < glyph.mHeight; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    for (int x = 0; x < glyph.mWidth; ++x) glyph.mCoverage[std::size_t(y * glyph.mWidth + x)] = row[x];
  }
  return glyph;
}

int FreeTypeFont::TextWidth(const char* text) {
  long x = 0, y = 0;
  for (const char* p = text; *p; ++p) {
    const Glyph& glyph = GlyphFor(static_cast<unsigned char>(*p));
    x += glyph.mAdvanceX;
    y += glyph.mAdvanceY;
  }
  return static_cast<int>(std::lround(std::hypot(double(x), double(y)) / 64.0));
}

void FreeTypeFont::Draw(PixelContext* surface, const char* text, const IRect* rect, int align, const IColor* color,
                        const IRect* clip) {
  const int width = TextWidth(text);
  int start = rect->L;
  if (align == ITextStyle::AlignCenter) {
    start = rect->L + (rect->W() - width) / 2;
  } else if (align == ITextStyle::AlignFar) {
    start = rect->R - width;
  }
  // The cell's top-left corner is the reference point; the baseline lies one ascent below it, across the
  // direction of writing when the text is turned.
  const double sinA = std::sin(mAngle), cosA = std::cos(mAngle);
  double penX = rect->L + (start - rect->L) * cosA + mAscent * sinA;
  double penY = rect->T - (start - rect->L) * sinA + mAscent * cosA;
  const std::uint32_t r = std::uint32_t(color->R & 0xFF), g = std::uint32_t(color->G & 0xFF),
                      b = std::uint32_t(color->B & 0xFF);

  for (const char* p = text; *p; ++p) {
    const Glyph& glyph = GlyphFor(static_cast<unsigned char>(*p));
    const int originX = static_cast<int>(std::floor(penX + 0.5)) + glyph.mLeft;
    const int originY = static_cast<int>(std::floor(penY + 0.5)) - glyph.mTop;
    for (int gy = 0; gy < glyph.mHeight; ++gy) {
      const int y = originY + gy;
      if (y < clip->T || y >= clip->B) continue;
      Pixel* row = surface->mBits + static_cast<std::ptrdiff_t>(y) * surface->mRowSpan;
      const std::uint8_t* coverage = glyph.mCoverage.data() + gy * glyph.mWidth;
      for (int gx = 0; gx < glyph.mWidth; ++gx) {
        const int x = originX + gx;
        const std::uint32_t a = coverage[gx];
        if (a == 0 || x < clip->L || x >= clip->R) continue;
        const Pixel d = row[x];
        row[x] = (d & 0xFF000000u) | (BlendChannel((d >> 16) & 0xFF, r, a) << 16) |
                 (BlendChannel((d >> 8) & 0xFF, g, a) << 8) | BlendChannel(d & 0xFF, b, a);
      }
    }
    penX += glyph.mAdvanceX / 64.0;
    penY -= glyph.mAdvanceY / 64.0;
  }
}
