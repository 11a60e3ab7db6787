// The time-ordered queue of scheduled output note events and the table of output notes now sounding.
#pragma once

#include <cstdint>

#include "LinkedList.h"
#include "MidiLimits.h"

struct NoteRecord {
  NoteRecord* next = nullptr;
  NoteRecord* prev = nullptr;
  int32_t mIsNoteOff = 0;
  int32_t mChannel = 0;
  int32_t mNote = 0;
  int32_t mVelocity = 0;
  int32_t mDelta = 0;  // samples after the previous queued record (the first: after the next block's start)
  int64_t mDueAt = -1;  // the same time counted from the tracker's creation; -1 while pooled
};

// Times are samples from the start of the next block to be processed.
class NoteTracker {
 public:
  // Latest time the queue holds; later requests are held there rather than wrapping around.
  static constexpr int32_t kMaxTime = INT32_MAX;
  static int32_t ClampTime(int64_t time) {
    return time < 0 ? 0 : (time > kMaxTime ? kMaxTime : static_cast<int32_t>(time));
  }

  explicit NoteTracker(int reservedRecords = 0);
  ~NoteTracker();
  NoteTracker(const NoteTracker&) = delete;
  NoteTracker& operator=(const NoteTracker&) = delete;

  // Both return false only when no record could be had; the event is then dropped.
  bool AddNoteOn(int32_t time, int note, int channel, int velocity);
  bool AddNoteOff(int32_t time, int note, int channel, int velocity);
  bool HasNoteOnAt(int note, int channel, int32_t time) const;
  void CancelChannel(int channel);
  void Clear();

  // Hands every event due before nFrames to collect(record, offset), in time order,
  // keeps the sounding table in step, and moves the rest of the queue nFrames closer.
  template <typename Collect>
  void TakeDue(int32_t nFrames, Collect&& collect);

  const NoteRecord* First() const { return mPendingNotes.first; }
  uint32_t Sounding(int note) const { return mSounding[note]; }
  void ClearSounding(int note, int channel) { mSounding[note] &= ~(1u << channel); }
  int NumPending() const { return mPendingNotes.size(); }
  int NumPooled() const { return mFreeNotes.size(); }

 private:
  NoteRecord* TakeRecord();
  void ConsumeFirst();
  void Insert(NoteRecord* pRecord, int32_t time);
  void Remove(NoteRecord* pRecord);
  void AvoidCutoff(int note, int channel, int32_t time);
  const NoteRecord* LastAtOrBefore(int64_t dueAt, int channel) const;

  void Count(const NoteRecord* pRecord, int change) {
    (pRecord->mIsNoteOff ? mQueuedNoteOffs : mQueuedNoteOns)[pRecord->mNote][pRecord->mChannel] += change;
  }

  LinkedList<NoteRecord> mPendingNotes;
  LinkedList<NoteRecord> mFreeNotes;
  uint32_t mSounding[NUM_MIDI_NOTES] = {};

  // The rest only speeds up searching; the queue itself is the list above.
  // Samples taken since creation: a record's time is its mDueAt - mClock.
  int64_t mClock = 0;
  // The record last queued on each channel. A voice queues its events in time order on its own channel,
  // so the next search usually ends a record or two from there.
  NoteRecord* mpRecentOnChannel[NUM_MIDI_CHANNELS] = {};
  // Most searches concern a key with nothing queued, and end here.
  int32_t mQueuedNoteOns[NUM_MIDI_NOTES][NUM_MIDI_CHANNELS] = {};
  int32_t mQueuedNoteOffs[NUM_MIDI_NOTES][NUM_MIDI_CHANNELS] = {};
  // Never earlier than the latest queued note-off of the key.
  int64_t mLatestNoteOffDue[NUM_MIDI_NOTES][NUM_MIDI_CHANNELS] = {};
};

template <typename Collect>
void NoteTracker::TakeDue(int32_t nFrames, Collect&& collect) {
  int32_t elapsed = 0;
  int32_t remaining = nFrames < 0 ? 0 : nFrames;
  while (NoteRecord* pRecord = mPendingNotes.first) {
    // An event due exactly at nFrames is offset 0 of the next block: offsets stay inside the block they go out in.
    if (pRecord->mDelta >= remaining) {
      pRecord->mDelta -= remaining;
      break;
    }
    elapsed += pRecord->mDelta;
    remaining -= pRecord->mDelta;
    if (pRecord->mIsNoteOff)
      mSounding[pRecord->mNote] &= ~(1u << pRecord->mChannel);
    else
      mSounding[pRecord->mNote] |= 1u << pRecord->mChannel;
    collect(static_cast<const NoteRecord&>(*pRecord), elapsed);
    ConsumeFirst();
  }
  mClock += nFrames < 0 ? 0 : nFrames;
}
