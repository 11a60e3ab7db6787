// A light that shows a bit of a word another thread publishes: frame 2 while the bit is set, frame 1 otherwise.
// It follows the word on the editor's timer, with no parameter and no mouse.
#pragma once

#include <atomic>
#include <cstdint>

#include "IBitmapControl.h"

class IIndicatorControl : public IBitmapControl {
 public:
  IIndicatorControl(IPluginBase* plug, int x, int y, const IBitmap& bitmap, const std::atomic<uint32_t>* word,
                    uint32_t mask);

  bool Draw(IGraphics* graphics) override;
  bool IsDirty() const override { return mDirty || Lit() != mShownLit; }
  // Nothing to click: the picture beneath keeps the mouse.
  bool IsHit(int, int) const override { return false; }

  bool Lit() const { return mWord && (mWord->load(std::memory_order_relaxed) & mMask) != 0; }

 private:
  const std::atomic<uint32_t>* mWord;
  uint32_t mMask;
  bool mShownLit = false;
};
