// The scheduled output note events and the table of output notes now sounding.
//
// Records live in a pool sized at construction. One binary heap gives the order of sending; every key (note and
// channel) keeps its records in a list sorted the same way, walked from its latest end, for the questions about
// one key. A key's list is capped for note-ons, so no walk is long.
#pragma once

#include <cstdint>
#include <memory>

#include "MidiLimits.h"

// One queued event. Positions in the tracker's pool link it into the heap and its key's list.
struct NoteRecord {
  int64_t mDueAt = -1;  // samples since the tracker's creation; -1 while pooled
  uint64_t mOrder = 0;  // adding order, so that equal times come out as they were added
  uint32_t mBatch = 0;  // which processing call's messages queued it
  int32_t mHeapPos = -1;
  int32_t mKeyPrev = -1;
  int32_t mKeyNext = -1;
  bool mIsNoteOff = false;
  uint8_t mChannel = 0;
  uint8_t mNote = 0;
  uint8_t mVelocity = 0;  // a note-off's is that of the note it ends, 0 when it silences a channel

  int Key() const { return mNote * NUM_MIDI_CHANNELS + mChannel; }
  // The one sending order: time, then adding order.
  bool Before(const NoteRecord& other) const {
    return mDueAt != other.mDueAt ? mDueAt < other.mDueAt : mOrder < other.mOrder;
  }
};

constexpr int32_t kNoRecord = -1;

// Times are samples from the start of the next block to be processed.
class NoteTracker {
 public:
  // Latest time the queue holds; later requests are held there rather than wrapping around.
  static constexpr int32_t kMaxTime = INT32_MAX;
  static int32_t ClampTime(int64_t time) {
    return time < 0 ? 0 : (time > kMaxTime ? kMaxTime : static_cast<int32_t>(time));
  }
  static constexpr int kDefaultCapacity = 8192;
  // Channel silencing first cancels the channel's queue, so it never holds more than a note-off per key.
  static constexpr int kSilencingReserve = NUM_MIDI_NOTES * NUM_MIDI_CHANNELS;
  // A key holding this many records takes no further note-on: no musical pattern comes near it, and it bounds
  // every walk along a key's list.
  static constexpr int kMaxKeyRecords = 128;

  explicit NoteTracker(int capacity = kDefaultCapacity, int silencingReserve = kSilencingReserve);
  NoteTracker(const NoteTracker&) = delete;
  NoteTracker& operator=(const NoteTracker&) = delete;

  // A note-on also reserves the slot of its release, so that a full queue refuses new notes but never loses
  // the note-off of one it accepted. False when the queue or the key is full: the note is not played.
  bool CanAddNoteOn(int note, int channel) const;
  bool AddNoteOn(int32_t time, int note, int channel, int velocity);
  // The release of an accepted note-on: it takes the slot that note-on reserved.
  bool AddNoteOff(int32_t time, int note, int channel, int velocity);
  // A note-off that silences a channel (velocity 0); the channel's queue must have been cancelled first.
  bool AddSilencingNoteOff(int32_t time, int note, int channel);

  bool HasNoteOnAt(int note, int channel, int32_t time) const;
  void CancelChannel(int channel);
  // Records added from here on belong to the next processing call's messages.
  void StartBatch() { ++mBatch; }
  // Drops what was queued before the current batch: at a jump only this call's own messages still count.
  void CancelEarlierBatches();
  void Clear();

  // Hands every event due before nFrames to collect(record, offset), in time order, keeps the sounding table in
  // step, and moves the rest of the queue nFrames closer. An event due at nFrames waits for offset 0 of the next.
  template <typename Collect>
  void TakeDue(int32_t nFrames, Collect&& collect);

  // Time of the next event, -1 when the queue is empty.
  int64_t NextTime() const { return mHeapSize == 0 ? -1 : mRecords[mHeap[0]].mDueAt - mClock; }
  uint32_t Sounding(int note) const { return mSounding[note]; }
  void ClearSounding(int note, int channel) { mSounding[note] &= ~(1u << channel); }
  int NumPending() const { return mHeapSize; }
  int NumFree() const { return mNumFree; }
  int Capacity() const { return mCapacity; }
  int ReservedReleases() const { return mReservedReleases; }

  // Whole-structure check, linear in the queue: for tests and sanitizer builds only.
  bool IsConsistent() const;

 private:
  static constexpr int kNumKeys = NUM_MIDI_NOTES * NUM_MIDI_CHANNELS;

  bool Add(int32_t time, int note, int channel, int velocity, bool isNoteOff);
  void Queue(int32_t idx, int32_t time);
  void Unqueue(int32_t idx);
  // Out of the key's list only: the caller sees to the heap.
  void Unlink(int32_t idx);
  template <typename Drop>
  void DropWhere(Drop&& drop);
  void Free(int32_t idx);
  void AvoidCutoff(int key, int64_t dueAt);
  // The first record of the key due after dueAt, kNoRecord when none is.
  int32_t FirstAfter(int key, int64_t dueAt) const;

  bool HeapBefore(int32_t a, int32_t b) const { return mRecords[a].Before(mRecords[b]); }
  void HeapPlace(int pos, int32_t idx);
  void HeapSiftUp(int pos);
  void HeapSiftDown(int pos);
  void HeapRemove(int pos);

  const int mCapacity;
  const int mSilencingReserve;
  std::unique_ptr<NoteRecord[]> mRecords;
  std::unique_ptr<int32_t[]> mFreeList;
  std::unique_ptr<int32_t[]> mHeap;
  int mNumFree = 0;
  int mHeapSize = 0;
  int32_t mKeyFirst[kNumKeys];
  int32_t mKeyLast[kNumKeys];
  int32_t mKeyCount[kNumKeys] = {};
  uint32_t mSounding[NUM_MIDI_NOTES] = {};

  int64_t mClock = 0;  // samples taken since creation: a record's time is its mDueAt - mClock
  uint64_t mNextOrder = 0;
  uint32_t mBatch = 0;
  int mReservedReleases = 0;
};

template <typename Collect>
void NoteTracker::TakeDue(int32_t nFrames, Collect&& collect) {
  if (nFrames < 0) nFrames = 0;
  const int64_t end = mClock + nFrames;
  while (mHeapSize > 0 && mRecords[mHeap[0]].mDueAt < end) {
    const int32_t idx = mHeap[0];
    const NoteRecord& record = mRecords[idx];
    if (record.mIsNoteOff)
      mSounding[record.mNote] &= ~(1u << record.mChannel);
    else
      mSounding[record.mNote] |= 1u << record.mChannel;
    collect(record, static_cast<int32_t>(record.mDueAt - mClock));
    Unqueue(idx);
    Free(idx);
  }
  mClock = end;
}
