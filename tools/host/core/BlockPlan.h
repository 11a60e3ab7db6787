// Where a render's processing calls begin and end, and which part of the tempo map each one reports.
#pragma once

#include <cstdint>
#include <vector>

#include "Transport.h"

namespace cchost {

// Many plug-ins take the tempo into account only when their processing call starts, after the events of that
// call were handed over; so what a plug-in makes of an event would depend on which block it fell into. The plan
// removes that: a change of tempo or time signature at frame C gets a block of its own, [C-1, C), which already
// reports the new tempo, and the next block starts at C. Events on the change frame are then handed over after
// the plug-in has seen the new tempo, events before it before, whatever the block size. The first block of a
// render is one frame long for the same reason.
class BlockPlan {
 public:
  BlockPlan(const TempoMap& map, const Transport& transport, int64_t start, int blockSize);

  // Frames in the block that starts at pos, never beyond end.
  int Length(int64_t pos, int64_t end) const;
  // The map ticks whose tempo and time signature the block that starts at pos reports.
  double TempoTick(int64_t pos) const { return TickOfLastChangeAtOrBefore(pos + 1); }
  double SignatureTick(int64_t pos) const { return TickOfLastChangeAtOrBefore(pos); }

 private:
  struct Change {
    int64_t frame;
    double tick;
  };
  double TickOfLastChangeAtOrBefore(int64_t frame) const;

  std::vector<Change> mChanges;  // by frame; of changes that round to one frame the later one
  int64_t mStart;
  int mBlockSize;
};

}  // namespace cchost
