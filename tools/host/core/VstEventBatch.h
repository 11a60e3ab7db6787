// Builds the VstEvents list handed to effProcessEvents for one block.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "VstAbi.h"

namespace cchost {

class VstEventBatch {
 public:
  void Clear();
  // A short message of one to three bytes; longer or system exclusive ones go through AddSysEx.
  void AddMidi(int deltaFrames, const uint8_t* bytes, size_t length);
  void AddSysEx(int deltaFrames, std::vector<uint8_t> dump);
  int Count() const { return static_cast<int>(mPointers.size()); }
  // Valid until the next Clear or Add.
  VstEvents* Events();

 private:
  std::deque<VstMidiEvent> mMidi;  // a deque keeps addresses stable while it grows
  std::deque<VstMidiSysexEvent> mSysEx;
  std::deque<std::vector<uint8_t>> mDumps;
  std::vector<VstEvent*> mPointers;
  std::vector<VstIntPtr> mList;  // numEvents, reserved, then the pointers: the VstEvents layout
};

}  // namespace cchost
