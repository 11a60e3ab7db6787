// The Linux graphics host: text drawing, resource images and the window class it hands over to.
#include "IGraphicsLinux.h"

#include <strings.h>

#include <cstring>

#include "EditorWindowX11.h"
#include "FreeTypeFont.h"
#include "IPluginBase.h"
#include "ITextControl.h"
#include "PixelContext.h"
#include "PngResource.h"
#include "RasterBitmap.h"
#include "X11DesktopScale.h"

IGraphicsLinux::IGraphicsLinux(IPluginBase* plug, int width, int height, int frameRate)
    : IGraphicsWindowed(plug, width, height, frameRate), mWindowFactory(&EditorWindowX11::Create) {}

// No host calls from here: the plug-in around this host is being destroyed.
IGraphicsLinux::~IGraphicsLinux() { DropWindow(); }

RecursiveLock& IGraphicsLinux::ControlsLock() { return mPlug ? mPlug->Lock() : mOwnLock; }

std::unique_ptr<EditorWindow> IGraphicsLinux::MakeWindow(void* parent) {
  return mWindowFactory ? mWindowFactory(this, parent) : nullptr;
}

ITextStyle IGraphicsLinux::ScaledStyle(const ITextStyle& style) const {
  ITextStyle scaled = style;
  scaled.mSize = ToPhysical(style.mSize);
  return scaled;
}

double IGraphicsLinux::DesktopScale(void*) { return X11DesktopScale(); }

bool IGraphicsLinux::NeedsFont(ITextStyle* style) const {
  if (mFontMade) return false;
  for (const auto& control : mControls) {
    const auto* text = dynamic_cast<const ITextControl*>(control.get());
    if (!text || text->IsHidden()) continue;
    *style = ScaledStyle(text->GetTextStyle());
    return true;
  }
  return false;
}

void IGraphicsLinux::OnScaleChanged() {
  IGraphicsWindowed::OnScaleChanged();
  // Glyphs are rendered at the size they are shown: the next text makes the font anew.
  mFont.reset();
  mFontMade = false;
}

void IGraphicsLinux::AdoptFont(std::unique_ptr<FreeTypeFont> font, const ITextStyle& style) {
  // A font made ahead for another scale is no use: drawing makes the right one.
  ITextStyle wanted;
  if (!NeedsFont(&wanted) || wanted.mSize != style.mSize) return;
  mFont = std::move(font);
  mFontMade = true;
  mLastTextColor = style.mColor;
}

bool IGraphicsLinux::DrawText(const ITextStyle* style, const char* text, const IRect* rect) {
  if (!text || text[0] == '\0') return true;
  auto* surface = mDrawBitmap ? static_cast<PixelContext*>(mDrawBitmap->DeviceContext()) : nullptr;
  if (!surface || !surface->mBits) return false;
  if (!mFontMade) {
    // Made once even when no face is found, so a missing font does not cost a lookup per text.
    const ITextStyle scaled = ScaledStyle(*style);
    mFont = FreeTypeFont::Create(&scaled);
    mFontMade = true;
    mLastTextColor = style->mColor;
  } else if (style->mColor != mLastTextColor) {
    mLastTextColor = style->mColor;
  }
  if (!mFont) return false;
  // Text is not clipped to its rectangle, but it stays inside the surface and the area being repainted, where
  // the background under it has just been drawn again.
  IRect clip(0, 0, surface->mWidth, surface->mHeight);
  const IRect drawRect = ToPhysical(mDrawRect);
  if (!drawRect.Empty()) clip = clip.Intersect(&drawRect);
  if (clip.Empty() || clip.W() <= 0 || clip.H() <= 0) return true;
  const IRect physical = ToPhysical(*rect);
  mFont->Draw(surface, text, &physical, style->mAlign, &mLastTextColor, &clip);
  return true;
}

RasterBitmap* IGraphicsLinux::LoadPlatformBitmap(int id, const char* name) {
  const char* dot = name ? std::strrchr(name, '.') : nullptr;
  if (!dot || strcasecmp(dot + 1, "png") != 0) return nullptr;
  return PngFromResource(mModule, id, nullptr);
}
