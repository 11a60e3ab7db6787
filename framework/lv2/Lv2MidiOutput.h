// The plug-in's MIDI as an LV2 atom sequence: events in time order inside the cycle, from storage sized up front.
#pragma once

#include <cstdint>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

// Messages waiting for their place in the output, in arrival order, with their bytes in one pool.
class Lv2EventStore {
 public:
  Lv2EventStore(int capacity, int poolBytes);
  bool Push(int64_t time, const uint8_t* bytes, uint32_t size);
  void Clear();
  bool Empty() const { return mNext >= mRecords.size(); }
  int64_t FrontTime() const { return mRecords[mNext].mTime; }
  const uint8_t* FrontBytes() const { return mPool.data() + mRecords[mNext].mOffset; }
  uint32_t FrontSize() const { return mRecords[mNext].mSize; }
  void PopFront() { ++mNext; }

 private:
  struct Record {
    int64_t mTime;
    uint32_t mSize;
    uint32_t mOffset;
  };
  std::vector<Record> mRecords;
  std::vector<uint8_t> mPool;
  std::size_t mNext = 0;
};

class Lv2MidiOutput {
 public:
  Lv2MidiOutput(int heldCapacity, int carryCapacity);
  void SetTypes(LV2_URID sequence, LV2_URID midiEvent) {
    mSequenceType = sequence;
    mMidiEventType = midiEvent;
  }

  // Starts a cycle of frames on the host's buffer (null: nothing can go out). What the last cycle sent at or
  // past its end goes first, at frame 0.
  void Begin(LV2_Atom_Sequence* sequence, uint32_t frames);
  // Sent while incoming events are delivered: held until the block's own output reaches its time, so a
  // message the plug-in passes through keeps its place among the notes it makes.
  void Hold(int64_t time, const uint8_t* bytes, uint32_t size);
  // The block's own output, in time order: every held message due at or before it goes first.
  void Send(int64_t time, const uint8_t* bytes, uint32_t size);
  // Sent between cycles: goes out at the start of the next one. False when there is no room.
  bool HoldForNextCycle(const uint8_t* bytes, uint32_t size);
  // The end of a stretch of the cycle: every held message goes out.
  void ReleaseHeld();
  void End() { ReleaseHeld(); }

  // Messages that found no room (in the host's buffer or the carried store) since construction.
  uint64_t Dropped() const { return mDropped; }
  uint32_t Written() const { return mWritten; }

 private:
  void Write(int64_t time, const uint8_t* bytes, uint32_t size);
  void Append(int64_t time, const uint8_t* bytes, uint32_t size);

  Lv2EventStore mHeld;
  Lv2EventStore mCarried[2];
  int mCarryIn = 0;  // the store read at the start of this cycle; the other collects for the next
  LV2_Atom_Sequence* mSequence = nullptr;
  uint32_t mCapacity = 0;
  int64_t mFrames = 0;
  int64_t mLastTime = 0;
  uint32_t mWritten = 0;
  uint64_t mDropped = 0;
  LV2_URID mSequenceType = 0;
  LV2_URID mMidiEventType = 0;
};
