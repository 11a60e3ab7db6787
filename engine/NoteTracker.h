// The scheduled output note events and the table of output notes now sounding.
//
// Every record lives in a pool sized at construction; a due queue gives the order of sending and a key index
// answers the questions about one note and channel, so no operation walks the queue.
#pragma once

#include <cstdint>
#include <memory>

#include "MidiLimits.h"
#include "NoteDueQueue.h"
#include "NoteKeyIndex.h"
#include "NoteRecord.h"

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

  explicit NoteTracker(int capacity = kDefaultCapacity, int silencingReserve = kSilencingReserve);
  NoteTracker(const NoteTracker&) = delete;
  NoteTracker& operator=(const NoteTracker&) = delete;

  // A stream is a caller's sequence of events in time order (a voice's notes and their releases): naming it
  // lets the queue append in constant time.
  static constexpr int kNoStream = -1;
  // A note-on also reserves the slot of its release, so that a full queue refuses new notes but never loses
  // the note-off of one it accepted. False when the queue is full: the note is not played.
  bool CanAddNoteOn() const;
  bool AddNoteOn(int32_t time, int note, int channel, int velocity, int stream = kNoStream);
  // The release of an accepted note-on: it takes the slot that note-on reserved.
  bool AddNoteOff(int32_t time, int note, int channel, int velocity, int stream = kNoStream);
  // A note-off that silences a channel (velocity 0); the channel's queue must have been cancelled first.
  bool AddSilencingNoteOff(int32_t time, int note, int channel);

  bool HasNoteOnAt(int note, int channel, int32_t time);
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
  int64_t NextTime() const;
  uint32_t Sounding(int note) const { return mSounding[note]; }
  void ClearSounding(int note, int channel) { mSounding[note] &= ~(1u << channel); }
  int NumPending() const { return mDue.Size(); }
  int NumFree() const { return mNumFree; }
  int Capacity() const { return mCapacity; }
  int ReservedReleases() const { return mReservedReleases; }

  // Whole-structure check, linear in the queue: for tests and sanitizer builds only.
  bool IsConsistent() const;

 private:
  int32_t TakeRecord();
  void Queue(int32_t idx, int32_t time, int stream);
  void Unqueue(int32_t idx);
  void Free(int32_t idx);
  void AvoidCutoff(int note, int channel, int32_t time);
  bool Add(int32_t time, int note, int channel, int velocity, bool isNoteOff, bool isSilencing, int stream);

  const int mCapacity;
  const int mSilencingReserve;
  std::unique_ptr<NoteRecord[]> mRecords;
  std::unique_ptr<int32_t[]> mFreeList;
  std::unique_ptr<int32_t[]> mScratch;  // positions gathered by the cancelling operations
  int mNumFree = 0;
  NoteDueQueue mDue;
  NoteKeyIndex mByKey;
  uint32_t mSounding[NUM_MIDI_NOTES] = {};

  int64_t mClock = 0;  // samples taken since creation: a record's time is its mDueAt - mClock
  uint64_t mNextOrder = 0;
  uint32_t mBatch = 0;
  uint32_t mRandom = 0x9E3779B9u;
  int mReservedReleases = 0;
};

template <typename Collect>
void NoteTracker::TakeDue(int32_t nFrames, Collect&& collect) {
  if (nFrames < 0) nFrames = 0;
  const int64_t end = mClock + nFrames;
  for (int32_t idx = mDue.PopBefore(end); idx != kNoRecord; idx = mDue.PopBefore(end)) {
    const NoteRecord& record = mRecords[idx];
    if (record.mIsNoteOff)
      mSounding[record.mNote] &= ~(1u << record.mChannel);
    else
      mSounding[record.mNote] |= 1u << record.mChannel;
    collect(record, static_cast<int32_t>(record.mDueAt - mClock));
    mByKey.EraseFirst(idx);
    Free(idx);
  }
  mClock = end;
}
