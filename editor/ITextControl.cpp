// Text controls: colours, change detection and drawing through the graphics host.
#include "ITextControl.h"

#include "IGraphics.h"

namespace {
int GrayComponent(int c) { return c - 128 > 0 ? c - 128 : 0; }
}  // namespace

ITextControl::ITextControl(IPluginBase* plug, const IRect& rect, const ITextStyle& style, const char* text)
    : IControl(plug, rect, -1, IBlend::BlendAlpha, 1.0f),
      mTextStyle(style),
      mNormalColor(style.mColor),
      mGrayColor(255, GrayComponent(style.mColor.R), GrayComponent(style.mColor.G), GrayComponent(style.mColor.B)),
      mStr(text ? text : "") {}

bool ITextControl::Draw(IGraphics* graphics) {
  if (mStr.empty()) return true;
  return graphics->DrawText(&mTextStyle, mStr.c_str(), &mRect);
}

void ITextControl::GrayOut(bool gray) {
  IControl::GrayOut(gray);
  mTextStyle.mColor = gray ? mGrayColor : mNormalColor;
}

void ITextControl::SetTextFromPlug(const char* text) {
  if (!text) text = "";
  if (mStr == text) return;
  SetDirty(false);
  mStr = text;
}
