// A control that shows one frame of a bitmap chosen by its value; also the editor's background.
#pragma once

#include "IControl.h"

class IBitmapControl : public IControl {
 public:
  IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                 int blendMethod = IBlend::BlendCopy);

  bool Draw(IGraphics* graphics) override;

  // The 1-based frame that the current value shows: values round half up to the nearest frame.
  int Frame() const;
  const IBitmap& GetBitmap() const { return mBitmap; }

 protected:
  IBitmap mBitmap;
};
