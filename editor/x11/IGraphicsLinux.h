// The graphics host on Linux: text through FreeType, images from the library's resources, and a window that a
// separate window-system class provides.
#pragma once

#include <memory>

#include "IGraphicsWindowed.h"
#include "RecursiveLock.h"

class FreeTypeFont;

class IGraphicsLinux : public IGraphicsWindowed {
 public:
  IGraphicsLinux(IPluginBase* plug, int width, int height, int frameRate = 0);
  ~IGraphicsLinux() override;

  // The font is made from the first style drawn and kept for the host's life; later styles change only the colour.
  bool DrawText(const ITextStyle* style, const char* text, const IRect* rect) override;
  RasterBitmap* LoadPlatformBitmap(int id, const char* name) override;

  void SetModuleInstance(void* module) { mModule = module; }
  // Where OpenWindow gets its window from; none means the editor cannot open a window.
  void SetWindowFactory(EditorWindowFactory<IGraphicsLinux> factory) { mWindowFactory = factory; }
  FreeTypeFont* Font() const { return mFont.get(); }
  const IColor& LastTextColor() const { return mLastTextColor; }
  // The lock that host threads hold when they reach the controls (the plug-in's), which the window's own thread
  // takes too; a host without a plug-in uses one of its own.
  RecursiveLock& ControlsLock();
  // Finding a font takes milliseconds, too long to keep host threads waiting for the lock: the window makes it
  // ahead, unlocked. NeedsFont gives the style of the first text control, which the first full redraw's first
  // text has; AdoptFont takes the font made from it unless drawing has made one meanwhile. Both under the lock.
  bool NeedsFont(ITextStyle* style) const;
  void AdoptFont(std::unique_ptr<FreeTypeFont> font, const ITextStyle& style);

 protected:
  std::unique_ptr<EditorWindow> MakeWindow(void* parent) override;
  void OnScaleChanged() override;
  double DesktopScale(void* parent) override;
  RecursiveLock* WindowThreadLock() override { return &ControlsLock(); }

 private:
  // The style at the size its text is drawn at the current scale.
  ITextStyle ScaledStyle(const ITextStyle& style) const;

  bool mFontMade = false;
  IColor mLastTextColor{255, 0, 0, 0};
  void* mModule = nullptr;
  std::unique_ptr<FreeTypeFont> mFont;
  EditorWindowFactory<IGraphicsLinux> mWindowFactory;
  RecursiveLock mOwnLock;
};
