// The graphics host's mouse and key routing: hit testing, capture, drags and host gestures.
#include "IGraphics.h"

#include "IControl.h"
#include "IPluginBase.h"

int IGraphics::HitTest(int x, int y) const {
  if (mMouseCapture >= 0) return mMouseCapture;
  // The last attached control lies on top; the background is found only where nothing else is.
  for (int i = NControls() - 1; i >= 0; --i) {
    const IControl* control = mControls[static_cast<size_t>(i)].get();
    if (!control->IsHidden() && !control->IsGrayed() && control->IsHit(x, y)) return i;
  }
  return -1;
}

void IGraphics::BeginGesture(int paramIdx) {
  if (paramIdx < 0 || !mPlug) return;
  mGestureParam = paramIdx;
  mPlug->BeginHostEdit(paramIdx);
}

void IGraphics::EndGesture() {
  if (mGestureParam < 0) return;
  const int paramIdx = mGestureParam;
  mGestureParam = -1;
  if (mPlug) mPlug->EndHostEdit(paramIdx);
}

void IGraphics::OnMouseDown(int x, int y, const IMouseMods* mods) {
  // A press while another is still held ends the first gesture, so the host never sees two begins.
  EndGesture();
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
  const int i = HitTest(x, y);
  if (i < 0) return;
  mMouseCapture = i;
  mMouseX = x;
  mMouseY = y;
  IControl* control = mControls[static_cast<size_t>(i)].get();
  // The gesture opens before the press moves the value, so hosts that record on touch keep the first value too.
  BeginGesture(control->ParamIdx());
  control->OnMouseDown(x, y, mods);
}

void IGraphics::OnMouseUp(int x, int y, const IMouseMods* mods) {
  const int i = HitTest(x, y);
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
  if (i >= 0) mControls[static_cast<size_t>(i)]->OnMouseUp(x, y, mods);
  // Only a gesture that was begun is ended: a release after a double-click or from outside the editor
  // must not send the host an end edit of its own.
  EndGesture();
}

bool IGraphics::OnMouseDblClick(int x, int y, const IMouseMods* mods) {
  EndGesture();
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
  const int i = HitTest(x, y);
  if (i < 0) return false;
  IControl* control = mControls[static_cast<size_t>(i)].get();
  if (control->DoubleClickAsDown()) {
    mMouseCapture = i;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDown(x, y, mods);
    return true;
  }
  control->OnMouseDblClick(x, y, mods);
  return false;
}

void IGraphics::OnMouseDrag(int x, int y, const IMouseMods* mods) {
  if (mMouseCapture < 0) return;
  const int dX = x - mMouseX;
  const int dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  mControls[static_cast<size_t>(mMouseCapture)]->OnMouseDrag(x, y, dX, dY, mods);
}

bool IGraphics::OnMouseOver(int x, int y, const IMouseMods* mods) {
  if (!mHandleMouseOver) return false;
  const int i = HitTest(x, y);
  if (i >= 0) {
    mMouseX = x;
    mMouseY = y;
    mControls[static_cast<size_t>(i)]->OnMouseOver(x, y, mods);
    if (mMouseOver >= 0 && mMouseOver != i) mControls[static_cast<size_t>(mMouseOver)]->OnMouseOut();
    mMouseOver = i;
  }
  return true;
}

void IGraphics::OnMouseOut() {
  for (auto& control : mControls) control->OnMouseOut();
  mMouseOver = -1;
}

void IGraphics::OnMouseWheel(int x, int y, const IMouseMods* mods, int steps) {
  const int i = HitTest(x, y);
  if (i >= 0) mControls[static_cast<size_t>(i)]->OnMouseWheel(x, y, mods, steps);
}

void IGraphics::OnKeyDown(int x, int y, int key) {
  const int i = HitTest(x, y);
  if (i >= 0) mControls[static_cast<size_t>(i)]->OnKeyDown(x, y, key);
}

void IGraphics::CancelMouseCapture() {
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
  EndGesture();
}
