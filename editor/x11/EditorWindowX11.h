// The editor window on X11: a child of the host's window with its own server connection and its own thread,
// which runs the redraw tick, routes pointer and key events and serves the typed-entry box. Where the graphics
// host has a host loop, that loop does the same on the host's main thread instead of a thread of ours.
#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "EditorWindow.h"
#include "EntryState.h"
#include "IEditorInterface.h"
#include "TextEntryBox.h"
#include "X11Input.h"
#include "X11Keyboard.h"

class FreeTypeFont;
class IGraphicsLinux;
class RecursiveLock;
class TextEntryX11;
class X11ImageTransfer;

class EditorWindowX11 : public EditorWindow {
 public:
  // [host's thread] The factory that IGraphicsLinux uses: a window inside parent (an X11 window id), or null when
  // there is no display, no such parent or no true-colour visual for it.
  static std::unique_ptr<EditorWindow> Create(IGraphicsLinux* graphics, void* parent);
  // [host's thread] Stops the window's thread, then releases every server resource and the connection.
  ~EditorWindowX11() override;

  void* Handle() const override;
  // [window thread, inside Draw] Notes r; the pixels go to the server once the controls' lock is left.
  bool Paint(const IRect* r) override;
  // [under the controls' lock] Prepares the box; the window thread shows it.
  bool OpenTextEntry(IControl* control, IParameter* param, bool textMode) override;
  bool HasTextEntry() const override { return mHasEntry; }
  // [under the controls' lock] The next paint resizes the window.
  void SetSize(int width, int height) override;
  void OnHostLoopFd() override;
  void OnHostLoopTimer() override;

 private:
  EditorWindowX11(IGraphicsLinux* graphics, xcb_connection_t* connection);
  bool Open(xcb_window_t parent);
  void Run();
  // Handles what the server sent; false when the window is being closed.
  bool Pump();
  void MakeFontAhead();
  void Tick();
  void Handle(const xcb_generic_event_t* event);
  void OnExpose(const IRect& r);
  void OnButtonPress(const xcb_button_press_event_t* e);
  void OnButtonRelease(const xcb_button_release_event_t* e);
  void OnMotion(const xcb_motion_notify_event_t* e);
  void OnKeyPress(const xcb_key_press_event_t* e);
  void OnEntryEvent(const xcb_generic_event_t* event);
  void ServeEntryState();
  void ShowPendingEntry(xcb_timestamp_t time);
  void CloseEntry();
  void TakeFocus(xcb_timestamp_t time);
  void FlushPaint();
  bool Editing() const;

  // Holds the lock that the host's threads hold when they touch controls (the plug-in's), for as long as
  // controls are read, routed or drawn; gives up when the window is being closed, whose closer may hold it.
  class ControlsLock {
   public:
    explicit ControlsLock(EditorWindowX11* window);
    ~ControlsLock();
    explicit operator bool() const { return mHeld; }

   private:
    RecursiveLock* mLock;
    bool mHeld = false;
  };

  IGraphicsLinux* mGraphics;
  xcb_connection_t* mConnection;
  xcb_window_t mWindow = 0;
  xcb_colormap_t mColormap = 0;
  xcb_visualid_t mVisual = 0;
  std::uint8_t mDepth = 0;
  bool mSwapBytes = false;
  int mWidth;
  int mHeight;
  int mWantedWidth;  // under the controls' lock
  int mWantedHeight;
  std::unique_ptr<X11ImageTransfer> mTransfer;
  X11Keyboard mKeyboard;
  int mWakeFd = -1;
  std::thread mThread;
  IEditorHostLoop* mHostLoop = nullptr;  // runs us instead of mThread
  std::atomic<bool> mStop{false};
  bool mDestroyed = false;  // the server destroyed the window with its parent

  // Window-thread state.
  IRect mPendingPaint;
  IRect mExposed;
  x11input::ClickCounter mClicks;
  bool mCaptured = false;
  bool mTrackLeave = false;
  std::unique_ptr<TextEntryX11> mEntry;
  std::unique_ptr<FreeTypeFont> mEntryFont;
  double mEntryScale = 1.0;  // the scale the pending or open box was placed at
  EEntryState mEntryState = EntryNone;

  // Set under the controls' lock by OpenTextEntry, taken by the window thread.
  std::unique_ptr<TextEntryBox> mPendingEntry;
  std::atomic<bool> mHasEntry{false};
};
