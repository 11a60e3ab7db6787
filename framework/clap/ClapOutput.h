// What the plug-in sends in one process call, put in time order and handed to the host's list in one pass; and
// the editor's edits on their way to the host, from the editor's thread to the audio thread without a lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "ClapAbi.h"
#include "IMidiMessage.h"

class ClapMidiOutput {
 public:
  // Room for a block's worth of the engine's queue and every note it can end at once, plus pass-through.
  static constexpr int kCapacity = 16384;

  ClapMidiOutput() { mEntries.resize(kCapacity); }

  // [audio thread] Messages of the call's current stretch come at offsets from start; every time stays inside
  // the call's frames. Messages sent outside a call wait for the next one, at its first frame.
  void BeginCall(uint32_t frames) {
    mFrames = frames;
    mStart = 0;
  }
  void SetStretchStart(uint32_t start) { mStart = start; }
  // Stable: messages of equal time keep the order they were sent in.
  bool Add(const IMidiMessage& msg);
  // A system exclusive message passed through at time in the call; its bytes must live until Flush.
  bool AddSysex(uint32_t time, const uint8_t* bytes, uint32_t size);
  // Pushes everything in time order, as MIDI or, for a host that takes only note events, as notes.
  void Flush(const clap_output_events_t* out, bool asNoteEvents);
  uint64_t Dropped() const { return mDropped; }
  int Pending() const { return mCount; }

 private:
  struct Entry {
    uint32_t mTime;
    uint8_t mData[3];
    const uint8_t* mSysex;  // null for a short message
    uint32_t mSysexSize;
  };
  bool Insert(const Entry& entry);
  std::vector<Entry> mEntries;
  int mCount = 0;
  uint32_t mFrames = 0;
  uint32_t mStart = 0;
  uint64_t mDropped = 0;
};

// Gestures and values the editor made, for the host's automation. One writer (the editor, under the plug-in's
// lock) and one reader (process or flush); a full queue drops the edit's report, never the edit.
class ClapEditQueue {
 public:
  enum Kind : uint8_t { kBegin, kValue, kEnd };
  struct Edit {
    Kind mKind;
    uint32_t mParam;
    double mValue;  // plain
  };

  bool Push(const Edit& edit);
  // [reader] Pushes everything queued as gesture and value events at the call's first frame.
  void Flush(const clap_output_events_t* out);

 private:
  static constexpr uint32_t kSize = 1024;
  Edit mEdits[kSize] = {};
  std::atomic<uint32_t> mWrite{0};
  std::atomic<uint32_t> mRead{0};
};
