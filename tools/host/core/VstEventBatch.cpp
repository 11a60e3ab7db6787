// VstEvents construction.
#include "VstEventBatch.h"

#include <cstring>

namespace cchost {

void VstEventBatch::Clear() {
  mMidi.clear();
  mSysEx.clear();
  mDumps.clear();
  mPointers.clear();
}

void VstEventBatch::AddMidi(int deltaFrames, const uint8_t* bytes, size_t length) {
  VstMidiEvent event = {};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = deltaFrames;
  for (size_t i = 0; i < length && i < 3; ++i) event.midiData[i] = static_cast<char>(bytes[i]);
  mMidi.push_back(event);
  mPointers.push_back(reinterpret_cast<VstEvent*>(&mMidi.back()));
}

void VstEventBatch::AddSysEx(int deltaFrames, std::vector<uint8_t> dump) {
  mDumps.push_back(std::move(dump));
  VstMidiSysexEvent event = {};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = deltaFrames;
  event.dumpBytes = static_cast<VstInt32>(mDumps.back().size());
  event.sysexDump = reinterpret_cast<char*>(mDumps.back().data());
  mSysEx.push_back(event);
  mPointers.push_back(reinterpret_cast<VstEvent*>(&mSysEx.back()));
}

VstEvents* VstEventBatch::Events() {
  static_assert(offsetof(VstEvents, events) == 2 * sizeof(VstIntPtr), "VstEvents layout");
  mList.assign(2 + (mPointers.size() < 2 ? 2 : mPointers.size()), 0);
  for (size_t i = 0; i < mPointers.size(); ++i) mList[2 + i] = reinterpret_cast<VstIntPtr>(mPointers[i]);
  VstEvents* events = reinterpret_cast<VstEvents*>(mList.data());
  events->numEvents = static_cast<VstInt32>(mPointers.size());
  return events;
}

}  // namespace cchost
