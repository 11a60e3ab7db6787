// A fader: a handle bitmap that moves along a track whose picture belongs to the background.
#pragma once

#include "IControl.h"

class IFaderControl : public IControl {
 public:
  enum EDirection { kVertical = 0, kHorizontal = 1 };

  IFaderControl(IPluginBase* plug, int x, int y, int length, int paramIdx, const IBitmap& handle,
                int direction = kVertical);

  void OnMouseDown(int x, int y, const IMouseMods* mods) override;
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseMods* mods) override;
  bool Draw(IGraphics* graphics) override;

  // Where the handle is drawn for a value; a negative value means the current one.
  IRect GetHandleRect(double value = -1.0) const;
  // Puts the handle's centre at the point.
  void SetValueFromPoint(int x, int y);

 protected:
  int mLength;
  int mHandleSize;
  IBitmap mBitmap;
  int mHorizontal;
};
