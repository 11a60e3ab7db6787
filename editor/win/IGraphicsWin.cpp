// The Windows graphics host: GDI text, resource images and the window class it hands over to.
#include "IGraphicsWin.h"

#include <cstring>

#include "EditorWindowWin.h"
#include "PngResource.h"
#include "RasterBitmap.h"
#include "WinDpi.h"

IGraphicsWin::IGraphicsWin(IPluginBase* plug, int width, int height, int frameRate)
    : IGraphicsWindowed(plug, width, height, frameRate), mWindowFactory(&EditorWindowWin::Create) {}

// No host calls from here: the plug-in around this host is being destroyed.
IGraphicsWin::~IGraphicsWin() {
  DropWindow();
  if (mTextFont) {
    // GDI keeps a font that is still selected into a context; the draw bitmap's context goes only after us.
    HDC dc = mDrawBitmap ? static_cast<HDC>(mDrawBitmap->DeviceContext()) : nullptr;
    if (dc) SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(mTextFont);
  }
}

void IGraphicsWin::OnScaleChanged() {
  IGraphicsWindowed::OnScaleChanged();
  // The next text makes the font at the new size.
  if (mTextFont) {
    HDC dc = mDrawBitmap ? static_cast<HDC>(mDrawBitmap->DeviceContext()) : nullptr;
    if (dc) SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(mTextFont);
    mTextFont = nullptr;
  }
  mFontMade = false;
}

double IGraphicsWin::DesktopScale(void* parent) { return windpi::ScaleOf(static_cast<HWND>(parent)); }

std::unique_ptr<EditorWindow> IGraphicsWin::MakeWindow(void* parent) {
  return mWindowFactory ? mWindowFactory(this, parent) : nullptr;
}

void IGraphicsWin::SetTextColor(HDC dc, const IColor& color) {
  ::SetTextColor(dc, RGB(color.R, color.G, color.B));
  mLastTextColor = color;
}

bool IGraphicsWin::DrawText(const ITextStyle* style, const char* text, const IRect* rect) {
  if (!text || text[0] == '\0') return true;
  HDC dc = mDrawBitmap ? static_cast<HDC>(mDrawBitmap->DeviceContext()) : nullptr;
  if (!dc) return false;
  if (!mFontMade) {
    const int angle = style->mOrientation * 10;
    // Set at the size it is shown: crisp at every scale, never a scaled bitmap.
    mTextFont = CreateFontA(ToPhysical(style->mSize), 0, angle, angle, style->mStyle == ITextStyle::StyleBold ? FW_BOLD : 0,
                            style->mStyle == ITextStyle::StyleItalic, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            style->mFont);
    SelectObject(dc, mTextFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style->mColor);
    mFontMade = true;
  } else if (style->mColor != mLastTextColor) {
    SetTextColor(dc, style->mColor);
  }

  UINT format = DT_NOCLIP | DT_TOP;
  if (style->mAlign == ITextStyle::AlignNear) {
    format |= DT_LEFT;
  } else if (style->mAlign == ITextStyle::AlignFar) {
    format |= DT_RIGHT;
  } else {
    format |= DT_CENTER;
  }
  // Text may overhang its rectangle, but not the area being repainted: ink left outside it would stay on
  // screen after the control moved on.
  HRGN clip = nullptr;
  if (!mDrawRect.Empty()) {
    const IRect d = ToPhysical(mDrawRect);
    clip = CreateRectRgn(d.L, d.T, d.R, d.B);
    SelectClipRgn(dc, clip);
  }
  const IRect p = ToPhysical(*rect);
  RECT r = {p.L, p.T, p.R, p.B};
  const int drawn = ::DrawTextA(dc, text, -1, &r, format);
  if (clip) {
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
  }
  return drawn != 0;
}

RasterBitmap* IGraphicsWin::LoadPlatformBitmap(int id, const char* name) {
  const char* dot = name ? std::strrchr(name, '.') : nullptr;
  if (!dot || lstrcmpiA(dot + 1, "png") != 0) return nullptr;
  return PngFromResource(mModule, id, nullptr);
}
