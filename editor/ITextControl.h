// A control that draws a text in its rectangle; greyed out it switches to a darker colour.
#pragma once

#include <string>

#include "IControl.h"

class ITextControl : public IControl {
 public:
  ITextControl(IPluginBase* plug, const IRect& rect, const ITextStyle& style, const char* text = "");

  bool Draw(IGraphics* graphics) override;
  void GrayOut(bool gray) override;

  // Marks the control dirty only when the text really changes.
  void SetTextFromPlug(const char* text);
  const char* GetText() const { return mStr.c_str(); }
  const ITextStyle& GetTextStyle() const { return mTextStyle; }
  const IColor& GrayColor() const { return mGrayColor; }

 protected:
  ITextStyle mTextStyle;
  IColor mNormalColor;
  IColor mGrayColor;
  std::string mStr;
};
