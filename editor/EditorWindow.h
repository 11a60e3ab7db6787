// The platform window behind a graphics host: what the host needs of it, so that the window system lives in
// files of its own beneath, one window class per platform.
#pragma once

#include <memory>

#include "IGraphicsStructs.h"

class IControl;
class IParameter;

class EditorWindow {
 public:
  virtual ~EditorWindow() = default;
  // The native window: an X11 window id, a window handle on Windows.
  virtual void* Handle() const = 0;
  // Copies r of the host's draw bitmap to the same place on screen.
  virtual bool Paint(const IRect* r) = 0;
  // Shows a typed-entry box over the control; false when none could be made.
  virtual bool OpenTextEntry(IControl* control, IParameter* param, bool textMode) = 0;
  virtual bool HasTextEntry() const = 0;
  // The editor grew by dw x dh (or shrank); a window that cannot follow keeps its size.
  virtual void GrowBy(int /*dw*/, int /*dh*/) {}
  // The editor's scale changed: the window becomes width x height pixels. Called under the lock the window's
  // thread draws under, from any thread.
  virtual void SetSize(int /*width*/, int /*height*/) {}
  // Where the window stands in parent's client area, for a host that opens again without closing; false, with
  // r untouched, when the window is gone or its platform opens every window afresh.
  virtual bool PlaceIn(void* /*parent*/, IRect* /*r*/) const { return false; }
  // A window that runs on the host's loop: its descriptor has input, its timer fired.
  virtual void OnHostLoopFd() {}
  virtual void OnHostLoopTimer() {}
};

// Makes the window inside parent for a platform's graphics host, or returns null when it cannot.
template <class Graphics>
using EditorWindowFactory = std::unique_ptr<EditorWindow> (*)(Graphics* graphics, void* parent);
