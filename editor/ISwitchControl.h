// A multi-state switch (an LED here): each left click steps to the next frame and wraps to the first.
#pragma once

#include "IBitmapControl.h"

class ISwitchControl : public IBitmapControl {
 public:
  ISwitchControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                 int blendMethod = IBlend::BlendCopy)
      : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

  void OnMouseDown(int x, int y, const IMouseMods* mods) override;
};
