// The small value records shared by the whole editor: colours, blends, bitmaps, text styles, mouse state, keys.
#pragma once

#include <cstdint>

#include "IRect.h"

class RasterBitmap;

// What the window system calls the editor window: its class (a Windows window class, the class part of X11's
// WM_CLASS) and its title. The plug-in names them; the toolkit knows no plug-in.
struct IWindowNames {
  const char* mClassName = nullptr;
  const char* mTitle = nullptr;
};

struct IColor {
  int A = 255;
  int R = 0;
  int G = 0;
  int B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
  std::uint32_t Packed() const {
    return (std::uint32_t(A & 0xFF) << 24) | (std::uint32_t(R & 0xFF) << 16) | (std::uint32_t(G & 0xFF) << 8) |
           std::uint32_t(B & 0xFF);
  }
};

struct IBlend {
  enum EType { BlendAlpha = 0, BlendCopy = 1, BlendAdd = 2, BlendDodge = 3 };

  int mMethod = BlendAlpha;
  float mWeight = 1.0f;

  IBlend() = default;
  IBlend(int method, float weight) : mMethod(method), mWeight(weight) {}
};

// A decoded image in the bitmap cache, shown as N frames stacked vertically (frames count from 1).
struct IBitmap {
  RasterBitmap* mData = nullptr;  // owned by the bitmap cache
  int W = 0;
  int H = 0;
  int N = 1;

  IBitmap() = default;
  IBitmap(RasterBitmap* data, int w, int h, int n) : mData(data), W(w), H(h), N(n) {}
  int FrameHeight() const { return N > 1 ? H / N : H; }
};

constexpr int kFontFaceSize = 32;

struct ITextStyle {
  enum EStyle { StyleNormal = 0, StyleBold = 1, StyleItalic = 2 };
  enum EAlign { AlignNear = 0, AlignCenter = 1, AlignFar = 2 };

  char mFont[kFontFaceSize] = {};
  int mSize = 14;
  IColor mColor;
  int mStyle = StyleNormal;
  int mAlign = AlignCenter;
  int mOrientation = 0;  // degrees, counter-clockwise

  ITextStyle() = default;
  ITextStyle(const char* face, int size, const IColor& color, int style, int align, int orientation);
};

struct IMouseMods {
  bool L = false;
  bool R = false;
  bool S = false;
  bool C = false;
  bool A = false;

  IMouseMods() = default;
  IMouseMods(bool l, bool r, bool s = false, bool c = false, bool a = false) : L(l), R(r), S(s), C(c), A(a) {}
};

// Keys as the controls see them; the window translates the platform's key codes into these.
enum EKeyCode {
  KeySpace = 0,
  KeyUpArrow = 1,
  KeyDownArrow = 2,
  KeyLeftArrow = 3,
  KeyRightArrow = 4,
  KeyDigit0 = 5,   // digits 0..9 are 5..14
  KeyLetterA = 15  // letters A..Z are 15..40
};
