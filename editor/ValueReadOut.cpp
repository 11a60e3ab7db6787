// Read-outs follow their subject's hidden and greyed state and its parameter's value.
#include "ValueReadOut.h"

#include <cstdio>

#include "IControl.h"
#include "IGraphics.h"
#include "IPluginBase.h"
#include "ITextControl.h"
#include "Text.h"

ValueReadOut::ValueReadOut(IControl* subject, IPluginBase* plug, IGraphics* graphics, const IRect& rect,
                           const ITextStyle& style)
    : mSubject(subject), mTextControl(new ITextControl(plug, rect, style, "")), mParam(nullptr) {
  graphics->AttachControl(mTextControl);
  mSubject->AddObserver(this);
  mParam = plug ? plug->GetParam(mSubject->ParamIdx()) : nullptr;
}

void ValueReadOut::Update() {
  mTextControl->GrayOut(mSubject->IsGrayed());
  mTextControl->Hide(mSubject->IsHidden());
  // A subject without a parameter has no value to show.
  if (!mParam) return;
  char text[64];
  Format(mParam->Value(), text, sizeof(text));
  mTextControl->SetTextFromPlug(text);
}

void ValueReadOut::Format(double value, char* out, int size) const {
  std::snprintf(out, static_cast<std::size_t>(size), "%.2f", value);
}

void ValueReadOutInt::Format(double value, char* out, int size) const {
  std::snprintf(out, static_cast<std::size_t>(size), "%d", TruncToInt32(value));
}
