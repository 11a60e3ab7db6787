// Frame selection and drawing of bitmap controls.
#include "IBitmapControl.h"

#include "IGraphics.h"

IBitmapControl::IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               int blendMethod)
    : IControl(plug, IRect(x, y, x + bitmap.W, y + bitmap.FrameHeight()), paramIdx, blendMethod, 1.0f),
      mBitmap(bitmap) {}

int IBitmapControl::Frame() const {
  const int n = mBitmap.N;
  if (n <= 1) return 1;
  int k = static_cast<int>((n - 1) * mValue + 0.5) + 1;
  if (k < 1) k = 1;
  if (k > n) k = n;
  return k;
}

bool IBitmapControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmapFrame(&mBitmap, &mRect, Frame(), &mBlend);
}
