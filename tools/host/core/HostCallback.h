// The host side of the VST 2.4 callback: answers the plug-in's questions, serves the transport
// and records every event the plug-in sends, stamped with its frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "VstAbi.h"

namespace cchost {

// One message the plug-in sent, in 16 bytes: hours of dense output have to fit in memory.
struct ReceivedEvent {
  int64_t frame = 0;   // frame on the song's time line (block start + deltaFrames)
  uint32_t dump = 0;   // for system exclusive: 1 + its index in ReceivedEvents::dumps; 0 for a short message
  uint8_t size = 0;    // bytes of a short message
  uint8_t bytes[3] = {};
  bool IsSysEx() const { return dump != 0; }
};
static_assert(sizeof(ReceivedEvent) == 16, "a received event stays compact");

struct ReceivedEvents {
  std::vector<ReceivedEvent> events;
  std::vector<std::vector<uint8_t>> dumps;  // raw bytes of system exclusive dumps as sent

  const uint8_t* Data(const ReceivedEvent& e) const { return e.dump ? dumps[e.dump - 1].data() : e.bytes; }
  size_t Size(const ReceivedEvent& e) const { return e.dump ? dumps[e.dump - 1].size() : e.size; }
  void Clear() {
    events.clear();
    dumps.clear();
  }
};

// A short MIDI message as the host records it: false for a data byte in the status position. Data bytes are
// masked to 7 bits; the message keeps as many bytes as its status says.
bool MakeShortMessage(const uint8_t data[3], ReceivedEvent* out);

class Host {
 public:
  Host(double sampleRate, int blockSize);
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  static VstIntPtr VST_CALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void* ptr, float opt);
  // The entry point may call back before it has returned its AEffect; such calls reach the
  // host that is creating a plug-in on this thread.
  void BeginCreating();
  void EndCreating(AEffect* effect);

  // Hears the plug-in's audioMasterBeginEdit, audioMasterAutomate (with its value) and audioMasterEndEdit,
  // on whichever thread the plug-in calls from; set it before the plug-in's editor opens.
  using EditListener = std::function<void(VstInt32 opcode, VstInt32 index, float value)>;
  void SetEditListener(EditListener listener) { mEditListener = std::move(listener); }
  // Hears the plug-in's audioMasterSizeWindow (its editor's new size), on whichever thread it calls from; true
  // when the window will take it. Without one, the host cannot resize.
  using SizeListener = std::function<bool(int width, int height)>;
  void SetSizeListener(SizeListener listener) { mSizeListener = std::move(listener); }

  void SetPluginDirectory(const std::string& folder) { mDirectory = folder; }
  void SetBlockSize(int blockSize) { mBlockSize = blockSize; }
  void SetProcessLevel(int level) { mProcessLevel = level; }

  // The block being processed: events sent now are stamped blockStart + deltaFrames.
  void BeginBlock(int64_t blockStart, int frames);
  // A block processed with the transport stopped leaves the position where it was.
  void EndBlock(bool advance = true);
  VstTimeInfo& TimeInfo() { return mTimeInfo; }

  ReceivedEvents& Received() { return mReceived; }
  int EventsOutsideBlock() const { return mOutsideBlock; }
  int EventsOutsideProcessing() const { return mOutsideProcessing; }
  int MalformedEvents() const { return mMalformed; }

 private:
  VstIntPtr Handle(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  void Receive(const VstEvents* events);

  double mSampleRate;
  int mBlockSize;
  int mProcessLevel = 4;  // offline: we render faster than real time
  std::string mDirectory;
  EditListener mEditListener;
  SizeListener mSizeListener;
  VstTimeInfo mTimeInfo = {};
  int64_t mBlockStart = 0;
  int mBlockFrames = 0;
  bool mInBlock = false;
  ReceivedEvents mReceived;
  int mOutsideBlock = 0;
  int mOutsideProcessing = 0;
  int mMalformed = 0;
};

}  // namespace cchost
