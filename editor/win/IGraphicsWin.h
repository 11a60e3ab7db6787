// The graphics host on Windows: GDI text on the draw bitmap, images from the DLL's resources, and a window that a
// separate window class provides.
#pragma once

#include <windows.h>
// The editor's own DrawText and LoadBitmap must keep their names; the GDI ones are called as DrawTextA.
#undef DrawText
#undef LoadBitmap

#include <memory>

#include "IGraphicsWindowed.h"

class IGraphicsWin : public IGraphicsWindowed {
 public:
  IGraphicsWin(IPluginBase* plug, int width, int height, int frameRate = 0);
  ~IGraphicsWin() override;

  // The font is made from the first style drawn and kept for the host's life; later styles change only the colour.
  bool DrawText(const ITextStyle* style, const char* text, const IRect* rect) override;
  RasterBitmap* LoadPlatformBitmap(int id, const char* name) override;

  void SetModuleInstance(HINSTANCE instance) { mModule = instance; }
  HINSTANCE ModuleInstance() const { return mModule; }
  // Where OpenWindow gets its window from; none means the editor cannot open a window.
  void SetWindowFactory(EditorWindowFactory<IGraphicsWin> factory) { mWindowFactory = factory; }
  HFONT TextFont() const { return mTextFont; }
  const IColor& LastTextColor() const { return mLastTextColor; }

 protected:
  std::unique_ptr<EditorWindow> MakeWindow(void* parent) override;
  void OnScaleChanged() override;
  double DesktopScale(void* parent) override;

 private:
  void SetTextColor(HDC dc, const IColor& color);

  bool mFontMade = false;
  IColor mLastTextColor{255, 0, 0, 0};
  HINSTANCE mModule = nullptr;
  HFONT mTextFont = nullptr;
  EditorWindowFactory<IGraphicsWin> mWindowFactory;
};
