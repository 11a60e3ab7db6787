// What the renderer plays a song through: a MIDI plug-in of either format, with the host side that feeds it
// events and the transport and collects what it sends.
#pragma once

#include <cstdint>
#include <vector>

#include "HostCallback.h"
#include "MidiFile.h"
#include "VstAbi.h"

namespace cchost {

// An input event and its frame inside the block.
struct BlockEvent {
  int delta;
  const MidiEvent* event;
};

class RenderTarget {
 public:
  virtual ~RenderTarget() = default;

  // Before the first block; what the plug-in sends now is stamped startFrame.
  virtual void Start(double sampleRate, int maxBlock, int64_t startFrame) = 0;
  // One processing call of frames starting at songFrame, with the transport as VstTimeInfo describes it and
  // the block's events in order. advance false: the position stays where it was (a stopped transport).
  virtual void ProcessBlock(int64_t songFrame, int frames, const VstTimeInfo& time,
                            const std::vector<BlockEvent>& events, bool advance) = 0;
  virtual void Stop() = 0;

  // What the plug-in sent so far, stamped with song frames; the renderer takes and clears it.
  virtual ReceivedEvents& Received() = 0;
  virtual int EventsOutsideBlock() const = 0;
  virtual int EventsOutsideProcessing() const = 0;
  virtual int MalformedEvents() const = 0;
};

}  // namespace cchost
