// The graphics host on Windows: GDI text on the draw bitmap, images from the DLL's resources, and a window that a
// separate window class provides.
#pragma once

#include <windows.h>
// The editor's own DrawText and LoadBitmap must keep their names; the GDI ones are called as DrawTextA.
#undef DrawText
#undef LoadBitmap

#include <memory>

#include "EditorWindow.h"
#include "IGraphicsRaster.h"

class IGraphicsWin : public IGraphicsRaster {
 public:
  IGraphicsWin(IPluginBase* plug, int width, int height, int frameRate = 0);
  ~IGraphicsWin() override;

  void* OpenWindow(void* parentWindow) override;
  void CloseWindow() override;
  void* GetWindow() override;
  // Shows r on screen; with no window open there is nothing to show and nothing fails.
  bool PaintToWindow(const IRect* r) override;
  // The font is made from the first style drawn and kept for the host's life; later styles change only the colour.
  bool DrawText(const ITextStyle* style, const char* text, const IRect* rect) override;
  void OpenTextEntry(IControl* control, IParameter* param, bool textMode) override;
  RasterBitmap* LoadPlatformBitmap(int id, const char* name) override;
  // The window and the host's frames around it grow along.
  void Resize(int width, int height) override;

  void SetModuleInstance(HINSTANCE instance) { mModule = instance; }
  HINSTANCE ModuleInstance() const { return mModule; }
  // Where OpenWindow gets its window from; none means the editor cannot open a window.
  void SetWindowFactory(EditorWindowFactory<IGraphicsWin> factory) { mWindowFactory = factory; }
  EditorWindow* Window() const { return mWindow.get(); }
  HWND ParentWindow() const { return mParentWindow; }
  // Where the window being opened goes, in its parent's client area: at the origin with the editor's size, or
  // where the one it replaces stood.
  const IRect& WindowPlace() const { return mWindowPlace; }
  HFONT TextFont() const { return mTextFont; }
  const IColor& LastTextColor() const { return mLastTextColor; }

 private:
  void SetTextColor(HDC dc, const IColor& color);

  bool mFontMade = false;
  IColor mLastTextColor{255, 0, 0, 0};
  HINSTANCE mModule = nullptr;
  std::unique_ptr<EditorWindow> mWindow;
  HWND mParentWindow = nullptr;
  IRect mWindowPlace;
  HFONT mTextFont = nullptr;
  EditorWindowFactory<IGraphicsWin> mWindowFactory;
};
