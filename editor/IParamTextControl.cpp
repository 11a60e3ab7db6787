// Parameter texts: display text from the parameter's own value, dragging with gearing, wheel by steps.
#include "IParamTextControl.h"

#include "IGraphics.h"
#include "IPluginBase.h"

IParamTextControl::IParamTextControl(IPluginBase* plug, const IRect& rect, int paramIdx, const ITextStyle& style,
                                     IParameter* ownParam, bool showParamText, bool showLabel, int horizontalDrag,
                                     double gearing)
    : ITextControl(plug, rect, style, ""),
      mHorizontalDrag(horizontalDrag),
      mGearing(gearing),
      mShowParamText(showParamText),
      mShowLabel(showLabel),
      mOwnParam(ownParam) {
  mParamIdx = paramIdx;
}

IParameter* IParamTextControl::Param() const {
  if (mParamIdx >= 0) return mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  return mOwnParam;
}

bool IParamTextControl::Draw(IGraphics* graphics) {
  if (mOwnParam) mOwnParam->SetFromNormalized(mValue);
  IParameter* param = Param();
  if (mShowParamText && param) {
    char text[kParamTextSize] = {};
    param->FormatDisplay(param->Value(), false, text);
    if (text[0] != '\0' || !mStr.empty()) mStr = text;
    if (mShowLabel) {
      mStr += ' ';
      mStr += param->Label();
    }
  }
  return ITextControl::Draw(graphics);
}

void IParamTextControl::WrapAndPush() {
  // Steps such as 1/15 add up to a hair above 1 at the last value; that must not wrap yet.
  constexpr double kSlack = 1e-9;
  if (mValue < -kSlack) {
    mValue = 1.0;
  } else if (mValue > 1.0 + kSlack) {
    mValue = 0.0;
  }
  SetDirty(true);
}

void IParamTextControl::OnMouseDrag(int, int, int dX, int dY, const IMouseMods*) {
  const int extent = mHorizontalDrag ? mRect.R - mRect.L : mRect.T - mRect.B;
  // A control without extent or gearing has no scale to turn pixels into values.
  if (extent == 0 || mGearing == 0.0) return;
  mValue += static_cast<double>(mHorizontalDrag ? dX : dY) / extent / mGearing;
  WrapAndPush();
}

void IParamTextControl::OnMouseWheel(int, int, const IMouseMods* mods, int d) {
  double step = d * (HasShiftOrControl(mods) ? 0.001 : 0.01);
  IParameter* param = Param();
  if (param && param->Type() != kParamDouble) {
    const double s = param->Step() / (param->Max() - param->Min());
    if (s != 0.0) step = d * s;
  }
  mValue += step;
  WrapAndPush();
}
