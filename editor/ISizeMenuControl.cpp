#include "ISizeMenuControl.h"

#include <cmath>
#include <cstdio>

#include "IGraphics.h"

ISizeMenuControl::ISizeMenuControl(IPluginBase* plug, IGraphics* graphics, const IRect& rect,
                                   const ITextStyle& style)
    : IParamTextControl(plug, rect, -1, style, &mSizes, false), mGraphics(graphics) {
  mSizes.DefineEnum("Size", 0, IGraphics::kNumMenuScales);
  for (int i = 0; i < IGraphics::kNumMenuScales; ++i) {
    char text[16];
    std::snprintf(text, sizeof(text), "%d %%", static_cast<int>(std::lround(IGraphics::kMenuScales[i] * 100)));
    mSizes.AddDisplayText(i, text);
  }
  mOwnParam = &mSizes;
  SetDoubleClickAsDown(true);
}

void ISizeMenuControl::FollowScale(double scale) {
  for (int i = 0; i < IGraphics::kNumMenuScales; ++i)
    if (IGraphics::kMenuScales[i] == scale) mValue = double(i) / (IGraphics::kNumMenuScales - 1);
}

void ISizeMenuControl::OnMouseDown(int, int, const IMouseMods*) {
  if (!mGraphics) return;
  // The list marks the size shown, and choosing it again is no change.
  FollowScale(mGraphics->Scale());
  mGraphics->OpenTextEntry(this, &mSizes, false);
}

void ISizeMenuControl::SetDirty(bool pushToPlug) {
  IParamTextControl::SetDirty(false);
  if (!pushToPlug || !mGraphics) return;
  const int last = IGraphics::kNumMenuScales - 1;
  const int index = static_cast<int>(std::lround(mValue * last));
  if (index >= 0 && index <= last) mGraphics->RequestUserScale(IGraphics::kMenuScales[index]);
}

bool ISizeMenuControl::Draw(IGraphics* graphics) {
  // Whatever set the scale (the user, the host, the desktop), the menu shows it and marks it in the list.
  const double scale = graphics->Scale();
  FollowScale(scale);
  char text[16];
  std::snprintf(text, sizeof(text), "%d %%", static_cast<int>(std::lround(scale * 100)));
  mStr = text;
  return ITextControl::Draw(graphics);
}
