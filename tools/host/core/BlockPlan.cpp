// Block boundaries around tempo and time-signature changes.
#include "BlockPlan.h"

#include <algorithm>

namespace cchost {

BlockPlan::BlockPlan(const TempoMap& map, const Transport& transport, int64_t start, int blockSize)
    : mStart(start), mBlockSize(std::max(1, blockSize)) {
  for (uint32_t tick : map.ChangeTicks()) {
    const int64_t frame = transport.FrameAtTick(tick);
    if (!mChanges.empty() && mChanges.back().frame == frame)
      mChanges.back().tick = tick;
    else
      mChanges.push_back({frame, double(tick)});
  }
}

double BlockPlan::TickOfLastChangeAtOrBefore(int64_t frame) const {
  auto it = std::upper_bound(mChanges.begin(), mChanges.end(), frame,
                             [](int64_t f, const Change& c) { return f < c.frame; });
  // Before the first change the map's first tempo and signature continue backwards.
  return it == mChanges.begin() ? (mChanges.empty() ? 0.0 : mChanges.front().tick) : (it - 1)->tick;
}

int BlockPlan::Length(int64_t pos, int64_t end) const {
  if (end <= pos) return 0;
  if (pos == mStart) return 1;
  int64_t stop = std::min<int64_t>(end, pos + mBlockSize);
  // The first change more than one frame ahead: the block ends on the frame before it.
  auto next = std::upper_bound(mChanges.begin(), mChanges.end(), pos + 1,
                               [](int64_t f, const Change& c) { return f < c.frame; });
  if (next != mChanges.end()) stop = std::min(stop, next->frame - 1);
  // pos is the frame before a change: the block that announces it.
  if (std::binary_search(mChanges.begin(), mChanges.end(), Change{pos + 1, 0.0},
                         [](const Change& a, const Change& b) { return a.frame < b.frame; }))
    stop = pos + 1;
  return static_cast<int>(std::max<int64_t>(1, stop - pos));
}

}  // namespace cchost
