// Default behaviour of controls: value limits, pushing values to the plug-in, wheel, prompt and redraw flags.
#include "IControl.h"

#include "IGraphics.h"
#include "IPluginBase.h"

IControl::IControl(IPluginBase* plug, const IRect& rect, int paramIdx, int blendMethod, float blendWeight)
    : mPlug(plug), mRect(rect), mHitRect(rect), mParamIdx(paramIdx), mBlend(blendMethod, blendWeight) {}

IControl::~IControl() = default;

void IControl::OnMouseDown(int, int, const IMouseMods* mods) {
  if (mods && mods->R) PromptUserInput();
}

void IControl::OnMouseUp(int, int, const IMouseMods*) {}

void IControl::OnMouseDrag(int, int, int, int, const IMouseMods*) {}

void IControl::OnMouseDblClick(int, int, const IMouseMods*) {
  if (mDefaultValue < 0.0) return;
  mValue = mDefaultValue;
  SetDirty(true);
}

void IControl::OnMouseWheel(int, int, const IMouseMods* mods, int d) {
  mValue += d * (HasShiftOrControl(mods) ? 0.001 : 0.01);
  SetDirty(true);
}

void IControl::OnKeyDown(int, int, int) {}

void IControl::OnMouseOver(int, int, const IMouseMods*) {}

void IControl::OnMouseOut() {}

void IControl::SetValueFromPlug(double value) {
  // The first value from the plug-in is the one a double-click restores.
  if (mDefaultValue < 0.0) {
    mValue = mDefaultValue = value;
  } else {
    if (value == mValue) return;
    mValue = value;
  }
  SetDirty(false);
  mRedrawPending = true;
}

void IControl::Hide(bool hide) {
  mHidden = hide;
  mRedrawPending = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) const {
  if (mHitRect.Empty()) return false;
  return mHitRect.Contains(x, y);
}

void IControl::SetDirty(bool pushToPlug) {
  // Written so that a NaN ends at the low limit instead of reaching the plug-in.
  if (!(mValue >= mLowLimit)) mValue = mLowLimit;
  if (mValue > mHighLimit) mValue = mHighLimit;
  mDirty = true;
  mNotifyPending = true;
  if (pushToPlug && mPlug && mParamIdx >= 0) mPlug->SetParameterFromGUI(mParamIdx, mValue);
}

void IControl::SetClean() {
  mDirty = mRedrawPending;
  mRedrawPending = false;
}

void IControl::ResetToDefault() {
  // Without a recorded default there is nothing to go back to; -1 must not reach the plug-in as 0.
  if (mDefaultValue < 0.0) return;
  mValue = mDefaultValue;
  SetDirty(true);
  mRedrawPending = true;
}

void IControl::SetValueFromUserInput(double value) {
  if (value == mValue) return;
  mValue = value;
  SetDirty(true);
  mRedrawPending = true;
}

void IControl::PromptUserInput() {
  if (mParamIdx < 0 || mPromptDisabled || !mPlug) return;
  IGraphics* graphics = dynamic_cast<IGraphics*>(mPlug->GetGraphics());
  if (!graphics) return;
  graphics->OpenTextEntry(this, mPlug->GetParam(mParamIdx), false);
  mRedrawPending = true;
}
