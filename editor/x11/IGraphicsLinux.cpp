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

IGraphicsLinux::IGraphicsLinux(IPluginBase* plug, int width, int height, int frameRate)
    : IGraphicsWindowed(plug, width, height, frameRate), mWindowFactory(&EditorWindowX11::Create) {}

// No host calls from here: the plug-in around this host is being destroyed.
IGraphicsLinux::~IGraphicsLinux() { DropWindow(); }

RecursiveLock& IGraphicsLinux::ControlsLock() { return mPlug ? mPlug->Lock() : mOwnLock; }

std::unique_ptr<EditorWindow> IGraphicsLinux::MakeWindow(void* parent) {
  return mWindowFactory ? mWindowFactory(this, parent) : nullptr;
}

bool IGraphicsLinux::NeedsFont(ITextStyle* style) const {
  if (mFontMade) return false;
  for (const auto& control : mControls) {
    const auto* text = dynamic_cast<const ITextControl*>(control.get());
    if (!text || text->IsHidden()) continue;
    *style = text->GetTextStyle();
    return true;
  }
  return false;
}

void IGraphicsLinux::AdoptFont(std::unique_ptr<FreeTypeFont> font, const ITextStyle& style) {
  if (mFontMade) return;
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
    mFont = FreeTypeFont::Create(style);
    mFontMade = true;
    mLastTextColor = style->mColor;
  } else if (style->mColor != mLastTextColor) {
    mLastTextColor = style->mColor;
  }
  if (!mFont) return false;
  // Text is not clipped to its rectangle, but it stays inside the surface and the area being repainted, where
  // the background under it has just been drawn again.
  IRect clip(0, 0, surface->mWidth, surface->mHeight);
  if (!mDrawRect.Empty()) clip = clip.Intersect(&mDrawRect);
  if (clip.Empty() || clip.W() <= 0 || clip.H() <= 0) return true;
  mFont->Draw(surface, text, rect, style->mAlign, &mLastTextColor, &clip);
  return true;
}

RasterBitmap* IGraphicsLinux::LoadPlatformBitmap(int id, const char* name) {
  const char* dot = name ? std::strrchr(name, '.') : nullptr;
  if (!dot || strcasecmp(dot + 1, "png") != 0) return nullptr;
  return PngFromResource(mModule, id, nullptr);
}
