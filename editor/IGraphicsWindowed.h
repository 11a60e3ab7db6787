// A graphics host that shows its drawing in a platform window: the hand-over to the window when the host opens,
// closes, paints, resizes or asks for typed entry. The platform's host says how its window is made.
#pragma once

#include <memory>

#include "EditorWindow.h"
#include "IGraphicsRaster.h"

class RecursiveLock;

class IGraphicsWindowed : public IGraphicsRaster {
 public:
  using IGraphicsRaster::IGraphicsRaster;

  // A second open without a close replaces the window.
  void* OpenWindow(void* parentWindow) override;
  void CloseWindow() override;
  void* GetWindow() override;
  // Shows r on screen; with no window open there is nothing to show and nothing fails.
  bool PaintToWindow(const IRect* r) override;
  void OpenTextEntry(IControl* control, IParameter* param, bool textMode) override;
  // The window and the host's frames around it grow along, where the window can.
  void Resize(int width, int height) override;
  // The open window takes the new size in pixels.
  double SetScale(double scale) override;

  void SetHostLoop(IEditorHostLoop* loop) override { mHostLoop = loop; }
  IEditorHostLoop* HostLoop() const { return mHostLoop; }
  void OnHostLoopFd() override {
    if (mWindow) mWindow->OnHostLoopFd();
  }
  void OnHostLoopTimer() override {
    if (mWindow) mWindow->OnHostLoopTimer();
  }

  EditorWindow* Window() const { return mWindow.get(); }
  void* ParentWindow() const { return mParentWindow; }
  // Where the window being opened goes, in its parent's client area: at the origin with the editor's size, or
  // where the one it replaces stood.
  const IRect& WindowPlace() const { return mWindowPlace; }

 protected:
  // The platform's window inside parent, or null when none can be made.
  virtual std::unique_ptr<EditorWindow> MakeWindow(void* parent) = 0;
  // The scale the desktop (or the monitor under parent) asks for; 0 when it says nothing.
  virtual double DesktopScale(void* /*parent*/) { return 0.0; }
  // The lock a window's own thread takes before it reaches this host; null where windows run on the host's
  // thread.
  virtual RecursiveLock* WindowThreadLock() { return nullptr; }
  // For destructors, while what the window uses still stands: the window goes without the host calls that
  // closing makes, since the plug-in around the host is being destroyed.
  void DropWindow();

 private:
  std::unique_ptr<EditorWindow> mWindow;
  IEditorHostLoop* mHostLoop = nullptr;
  void* mParentWindow = nullptr;
  IRect mWindowPlace;
};
