// The hand-over between a graphics host and its platform window.
#include "IGraphicsWindowed.h"

#include "RecursiveLock.h"

namespace {
// Holds the window thread's lock, where there is one, for a scope.
class WindowThreadGuard {
 public:
  explicit WindowThreadGuard(RecursiveLock* lock) : mLock(lock) {
    if (mLock) mLock->Enter();
  }
  ~WindowThreadGuard() {
    if (mLock) mLock->Leave();
  }
  WindowThreadGuard(const WindowThreadGuard&) = delete;
  WindowThreadGuard& operator=(const WindowThreadGuard&) = delete;

 private:
  RecursiveLock* mLock;
};
}  // namespace

void* IGraphicsWindowed::OpenWindow(void* parentWindow) {
  // With no word from the user or the host, the desktop's scale; the host hears of the new size.
  if (UserScale() == 0.0 && HostScale() == 0.0) FollowDesktopScale(DesktopScale(parentWindow));
  mWindowPlace = IRect(0, 0, WindowWidth(), WindowHeight());
  // A host that opens again without closing gets the window where and as large as it was; a host that
  // destroyed its window first took ours along, which has no place to keep.
  if (mWindow && mWindow->PlaceIn(parentWindow, &mWindowPlace) && Scale() != 1.0) {
    // Where it was, at the size of the scale it has now.
    mWindowPlace.R = mWindowPlace.L + WindowWidth();
    mWindowPlace.B = mWindowPlace.T + WindowHeight();
  }
  CloseWindow();
  mParentWindow = parentWindow;
  WindowThreadGuard lock(WindowThreadLock());
  mWindow = MakeWindow(parentWindow);
  if (!mWindow) return nullptr;
  SetAllControlsDirty();
  return mWindow->Handle();
}

void IGraphicsWindowed::CloseWindow() {
  // A window thread reaches this host only under its lock, so it cannot be inside while the window goes.
  WindowThreadGuard lock(WindowThreadLock());
  // The window takes its typed-entry box along, and with it the edit the box belonged to.
  mWindow.reset();
  SetEdited(nullptr, nullptr);
  // A press whose release the window will never see (the host closed the editor during a drag) ends here.
  CancelMouseCapture();
}

void IGraphicsWindowed::DropWindow() {
  WindowThreadGuard lock(WindowThreadLock());
  mWindow.reset();
}

void* IGraphicsWindowed::GetWindow() { return mWindow ? mWindow->Handle() : nullptr; }

bool IGraphicsWindowed::PaintToWindow(const IRect* r) {
  if (!mWindow) return true;
  const IRect physical = ToPhysical(*r);
  return mWindow->Paint(&physical);
}

double IGraphicsWindowed::SetScale(double scale) {
  // The window's thread draws under this lock; it never meets a surface of the wrong size.
  WindowThreadGuard lock(WindowThreadLock());
  const double before = Scale();
  const double now = IGraphicsRaster::SetScale(scale);
  if (now != before && mWindow) mWindow->SetSize(WindowWidth(), WindowHeight());
  return now;
}

void IGraphicsWindowed::OpenTextEntry(IControl* control, IParameter* param, bool textMode) {
  if (!control || (!param && !textMode)) return;
  if (!mWindow || mWindow->HasTextEntry()) return;
  // A box in text mode edits the control's own text: no parameter takes what is typed.
  if (mWindow->OpenTextEntry(control, param, textMode)) SetEdited(control, textMode ? nullptr : param);
}

void IGraphicsWindowed::Resize(int width, int height) {
  const int dw = width - Width();
  const int dh = height - Height();
  IGraphicsRaster::Resize(width, height);
  if (mWindow) mWindow->GrowBy(dw, dh);
}
