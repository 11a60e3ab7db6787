// The graphics host on Windows: a child window in the host's window, redrawn by a timer, with GDI text,
// images from the DLL's resources and a typed-entry box (edit box or drop-down list) over a control.
#pragma once

#include <windows.h>
// The editor's own DrawText and LoadBitmap must keep their names; the GDI ones are called as DrawTextA.
#undef DrawText
#undef LoadBitmap

#include "EntryState.h"
#include "IGraphicsRaster.h"

class IGraphicsWin : public IGraphicsRaster {
 public:
  static constexpr UINT_PTR kTimerId = 2;
  static constexpr int kEntryBoxId = 99;

  IGraphicsWin(IPluginBase* plug, int width, int height, int frameRate = 0);
  ~IGraphicsWin() override;

  void* OpenWindow(void* parentWindow) override;
  void CloseWindow() override;
  void* GetWindow() override { return mWindow; }
  bool WindowIsOpen() override { return mWindow != nullptr; }
  bool PaintToWindow(const IRect* r) override;
  // The font is made from the first style drawn and kept for the host's life; later styles change only the colour.
  bool DrawText(const ITextStyle* style, const char* text, const IRect* rect) override;
  void OpenTextEntry(IControl* control, IParameter* param, bool textMode) override;
  RasterBitmap* LoadPlatformBitmap(int id, const char* name) override;
  void Resize(int width, int height) override;

  void SetModuleInstance(HINSTANCE instance) { mModule = instance; }
  HINSTANCE ModuleInstance() const { return mModule; }
  HWND EntryBox() const { return mEntryBox; }
  EEntryState GetEntryState() const { return mEntryState; }
  HWND ParentWindow() const { return mParentWindow; }
  HFONT TextFont() const { return mTextFont; }
  const IColor& LastTextColor() const { return mLastTextColor; }

  // The KeyCode of a virtual key; -1 for keys the controls do not know.
  static int TranslateKey(WPARAM virtualKey);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnTimerTick();
  void ServeEntryState();
  void CloseEntryBox();
  // Reads the box's text into a buffer of at least kEntryTextSize characters.
  void ReadEntryText(char* text) const;
  void SetTextColor(HDC dc, const IColor& color);

  static constexpr int kEntryTextSize = 1001;

  bool mFontMade = false;
  IColor mLastTextColor{255, 0, 0, 0};
  HINSTANCE mModule = nullptr;
  HWND mWindow = nullptr;
  HWND mEntryBox = nullptr;
  WNDPROC mEntryBoxProc = nullptr;
  EEntryState mEntryState = EntryNone;
  HWND mParentWindow = nullptr;
  HFONT mTextFont = nullptr;
  HFONT mEntryFont = nullptr;
};
