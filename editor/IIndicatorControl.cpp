#include "IIndicatorControl.h"

#include "IGraphics.h"

IIndicatorControl::IIndicatorControl(IPluginBase* plug, int x, int y, const IBitmap& bitmap,
                                     const std::atomic<uint32_t>* word, uint32_t mask)
    : IBitmapControl(plug, x, y, -1, bitmap, IBlend::BlendAlpha), mWord(word), mMask(mask) {}

bool IIndicatorControl::Draw(IGraphics* graphics) {
  mShownLit = Lit();
  return graphics->DrawBitmapFrame(&mBitmap, &mRect, mShownLit ? 2 : 1, &mBlend);
}
