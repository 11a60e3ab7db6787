#include "Lv2MidiOutput.h"

#include <algorithm>
#include <cstring>

#include <lv2/atom/util.h>

Lv2EventStore::Lv2EventStore(int capacity, int poolBytes) {
  mRecords.reserve(static_cast<std::size_t>(std::max(capacity, 1)));
  mPool.reserve(static_cast<std::size_t>(std::max(poolBytes, 1)));
}

bool Lv2EventStore::Push(int64_t time, const uint8_t* bytes, uint32_t size) {
  if (mRecords.size() == mRecords.capacity() || size > mPool.capacity() - mPool.size()) return false;
  mRecords.push_back({time, size, static_cast<uint32_t>(mPool.size())});
  mPool.insert(mPool.end(), bytes, bytes + size);
  return true;
}

void Lv2EventStore::Clear() {
  mRecords.clear();
  mPool.clear();
  mNext = 0;
}

namespace {
// Channel messages are three bytes at most; the pool also takes a few system-exclusive messages.
constexpr int kBytesPerMessage = 4;
constexpr int kSysExPool = 8192;
}  // namespace

Lv2MidiOutput::Lv2MidiOutput(int heldCapacity, int carryCapacity)
    : mHeld(heldCapacity, heldCapacity * kBytesPerMessage + kSysExPool),
      mCarried{{carryCapacity, carryCapacity * kBytesPerMessage + kSysExPool},
               {carryCapacity, carryCapacity * kBytesPerMessage + kSysExPool}} {}

void Lv2MidiOutput::Begin(LV2_Atom_Sequence* sequence, uint32_t frames) {
  mSequence = sequence;
  mFrames = frames;
  mLastTime = 0;
  mWritten = 0;
  mHeld.Clear();
  if (mSequence) {
    // The host gives the room it has in atom.size; from here on it is what we wrote.
    mCapacity = mSequence->atom.size;
    mSequence->atom.type = mSequenceType;
    mSequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    mSequence->body.unit = 0;
    mSequence->body.pad = 0;
    if (mCapacity < sizeof(LV2_Atom_Sequence_Body)) {
      mSequence->atom.size = 0;
      mSequence = nullptr;
    }
  }
  Lv2EventStore& carriedIn = mCarried[mCarryIn];
  mCarryIn = 1 - mCarryIn;
  mCarried[mCarryIn].Clear();
  for (; !carriedIn.Empty(); carriedIn.PopFront()) Write(0, carriedIn.FrontBytes(), carriedIn.FrontSize());
  carriedIn.Clear();
}

void Lv2MidiOutput::Hold(int64_t time, const uint8_t* bytes, uint32_t size) {
  // With the store full, the message goes out now rather than not at all.
  if (!mHeld.Push(time, bytes, size)) Write(time, bytes, size);
}

bool Lv2MidiOutput::HoldForNextCycle(const uint8_t* bytes, uint32_t size) {
  // The store the next Begin() reads first, the one that takes what a cycle could not fit.
  if (mCarried[mCarryIn].Push(0, bytes, size)) return true;
  ++mDropped;
  return false;
}

void Lv2MidiOutput::Send(int64_t time, const uint8_t* bytes, uint32_t size) {
  while (!mHeld.Empty() && mHeld.FrontTime() <= time) {
    Write(mHeld.FrontTime(), mHeld.FrontBytes(), mHeld.FrontSize());
    mHeld.PopFront();
  }
  Write(time, bytes, size);
}

void Lv2MidiOutput::ReleaseHeld() {
  for (; !mHeld.Empty(); mHeld.PopFront()) Write(mHeld.FrontTime(), mHeld.FrontBytes(), mHeld.FrontSize());
  mHeld.Clear();
}

void Lv2MidiOutput::Write(int64_t time, const uint8_t* bytes, uint32_t size) {
  // A sequence runs forward: a message may not go before one already written.
  time = std::max(time, mLastTime);
  if (time >= mFrames) {
    // Due at or past the end of this cycle: it belongs to the start of the next one, and so does whatever
    // follows it.
    mLastTime = mFrames;
    if (mCarried[mCarryIn].Push(0, bytes, size)) return;
    if (mFrames == 0) {
      ++mDropped;
      return;
    }
    time = mFrames - 1;
  }
  Append(time, bytes, size);
}

void Lv2MidiOutput::Append(int64_t time, const uint8_t* bytes, uint32_t size) {
  const uint32_t needed = static_cast<uint32_t>(sizeof(LV2_Atom_Event)) + lv2_atom_pad_size(size);
  if (!mSequence || size == 0 || mSequence->atom.size + needed > mCapacity) {
    ++mDropped;
    return;
  }
  auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&mSequence->body) +
                                                  mSequence->atom.size);
  event->time.frames = time;
  event->body.type = mMidiEventType;
  event->body.size = size;
  std::memcpy(event + 1, bytes, size);
  mSequence->atom.size += needed;
  mLastTime = time;
  ++mWritten;
}
