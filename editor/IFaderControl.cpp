// Fader geometry: value to handle position and pointer position to value.
#include "IFaderControl.h"

#include "IGraphics.h"

namespace {
IRect FaderRect(int x, int y, int length, const IBitmap& handle, int direction) {
  if (direction == IFaderControl::kHorizontal) return IRect(x, y, x + length, y + handle.H);
  return IRect(x, y, x + handle.W, y + length);
}
}  // namespace

IFaderControl::IFaderControl(IPluginBase* plug, int x, int y, int length, int paramIdx, const IBitmap& handle,
                             int direction)
    : IControl(plug, FaderRect(x, y, length, handle, direction), paramIdx, IBlend::BlendAlpha, 1.0f),
      mLength(length),
      mHandleSize(direction == kHorizontal ? handle.W : handle.H),
      mBitmap(handle),
      mHorizontal(direction) {}

IRect IFaderControl::GetHandleRect(double value) const {
  if (value < 0.0) value = mValue;
  IRect r(mRect.L, mRect.T, mRect.L + mBitmap.W, mRect.T + mBitmap.H);
  if (mHorizontal) {
    const int offset = static_cast<int>(value * (mLength - mHandleSize));
    r.L += offset;
    r.R += offset;
  } else {
    const int offset = static_cast<int>((mLength - mHandleSize) * (1.0 - value));
    r.T += offset;
    r.B += offset;
  }
  return r;
}

void IFaderControl::SetValueFromPoint(int x, int y) {
  const int travel = mLength - mHandleSize;
  const int h = mHandleSize / 2;
  // A track no longer than its handle has no positions to choose from; dividing by it would give NaN.
  if (travel <= 0) {
    mValue = 0.0;
  } else if (mHorizontal) {
    mValue = static_cast<double>(x - mRect.L - h) / travel;
  } else {
    mValue = 1.0 - static_cast<double>(y - mRect.T - h) / travel;
  }
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, const IMouseMods* mods) {
  if (mods && mods->R) {
    PromptUserInput();
    return;
  }
  SetValueFromPoint(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, const IMouseMods*) { SetValueFromPoint(x, y); }

bool IFaderControl::Draw(IGraphics* graphics) {
  const IRect handle = GetHandleRect();
  return graphics->DrawBitmapFrame(&mBitmap, &handle, 1, &mBlend);
}
