// The editor window on Windows: a child of the host's window, redrawn by a timer, that routes mouse and key
// messages to the graphics host and keeps a typed-entry box (an edit box or a drop-down list) over a control.
// It runs on the host's thread, where Windows delivers the window's messages.
#pragma once

#include <windows.h>
// The editor's own DrawText and LoadBitmap must keep their names; the GDI ones are called as DrawTextA.
#undef DrawText
#undef LoadBitmap

#include <memory>

#include "EditorWindow.h"
#include "EntryState.h"

class IGraphicsWin;

class EditorWindowWin : public EditorWindow {
 public:
  static constexpr UINT_PTR kTimerId = 2;
  static constexpr int kEntryBoxId = 99;

  // The factory that IGraphicsWin uses: a window inside parent at the host's WindowPlace, or null when there is
  // no such parent.
  static std::unique_ptr<EditorWindow> Create(IGraphicsWin* graphics, void* parent);
  // Destroys the box and the window; the window class goes with the module's last window.
  ~EditorWindowWin() override;
  EditorWindowWin(const EditorWindowWin&) = delete;
  EditorWindowWin& operator=(const EditorWindowWin&) = delete;

  void* Handle() const override { return mWindow; }
  bool Paint(const IRect* r) override;
  bool OpenTextEntry(IControl* control, IParameter* param, bool textMode) override;
  bool HasTextEntry() const override { return mEntryBox != nullptr; }
  // The host's frames grow along, as long as they are plain child windows.
  void GrowBy(int dw, int dh) override;
  // A new scale: the window and the host's plain child frames take the new size.
  void SetSize(int width, int height) override;
  bool PlaceIn(void* parent, IRect* r) const override;

  HWND EntryBox() const { return mEntryBox; }
  EEntryState GetEntryState() const { return mEntryState; }

 private:
  explicit EditorWindowWin(IGraphicsWin* graphics);
  bool Open(HWND parent);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnTimerTick();
  void ServeEntryState();
  void CloseEntryBox();
  // Reads the box's text into a buffer of at least kEntryTextSize characters.
  void ReadEntryText(char* text) const;

  static constexpr int kEntryTextSize = 1001;

  IGraphicsWin* mGraphics;
  HINSTANCE mModule;
  bool mClassInUse = false;
  HWND mWindow = nullptr;
  HWND mEntryBox = nullptr;
  WNDPROC mEntryBoxProc = nullptr;
  EEntryState mEntryState = EntryNone;
  HFONT mEntryFont = nullptr;
  // Set while the graphics host commits a typed value, a call that the plug-in's host may use to close the
  // editor: the destructor marks it, so the commit knows not to touch the window again.
  bool* mClosed = nullptr;
};
