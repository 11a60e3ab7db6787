// The scheduled output note events and the table of output notes now sounding.
//
// Records live in a pool sized at construction and sit in two sorted lists each, both in the one sending order
// (time, then adding order):
//   - a time list, chosen by the delay the event was scheduled with. Triggers arrive in time order, so events of
//     one delay arrive in time order too and join their list at its end; a small heap of the lists' first records
//     gives the next event to send.
//   - its key's list (note and channel), for the questions about one key. A key's list is capped for note-ons.
// Both lists are walked from their latest end, so no walk is long.
#pragma once

#include <cstdint>
#include <memory>

#include "MidiLimits.h"

// The one sending order: time, then adding order.
inline bool DueBefore(int64_t dueAt, uint64_t order, int64_t otherDueAt, uint64_t otherOrder) {
  return dueAt != otherDueAt ? dueAt < otherDueAt : order < otherOrder;
}

// Note-offs, and note-ons of no particular voice, carry this tag.
constexpr uint8_t kNoVoiceTag = 0xFF;

struct NoteRecord {
  int64_t mDueAt = -1;  // samples since the tracker's creation; -1 while pooled
  uint64_t mOrder = 0;  // adding order, so that equal times come out as they were added
  uint32_t mBatch = 0;  // which processing call's messages queued it
  int32_t mPrev = -1;   // links in its time list, by pool position
  int32_t mNext = -1;
  int32_t mKeyPrev = -1;  // links in its key's list
  int32_t mKeyNext = -1;
  uint8_t mList = 0;  // its time list
  bool mIsNoteOff = false;
  uint8_t mChannel = 0;
  uint8_t mNote = 0;
  uint8_t mVelocity = 0;  // a note-off's is that of the note it ends, 0 when it silences a channel
  uint8_t mVoice = kNoVoiceTag;  // which voice made a note-on, for the editor's activity lights

  int Key() const { return mNote * NUM_MIDI_CHANNELS + mChannel; }
  bool Before(const NoteRecord& other) const { return DueBefore(mDueAt, mOrder, other.mDueAt, other.mOrder); }
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

  // `delay` is how far after its trigger the event was scheduled. It only picks the event's time list: any value
  // gives the same order, but events of one delay keep their list in order at no cost.
  //
  // A note-on also reserves the slot of its release, so that a full queue refuses new notes but never loses
  // the note-off of one it accepted. False when the queue or the key is full: the note is not played. Asked once
  // per note, before anything of its trigger changes; AddNoteOn then refuses only for want of room.
  bool CanAddNoteOn(int note, int channel) const;
  bool AddNoteOn(int32_t time, int note, int channel, int velocity, int32_t delay = 0,
                 uint8_t voice = kNoVoiceTag);
  // The release of an accepted note-on: it takes the slot that note-on reserved.
  bool AddNoteOff(int32_t time, int note, int channel, int velocity, int32_t delay = 0);
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
  int64_t NextTime() const { return mHeapSize == 0 ? -1 : mHeap[0].mDueAt - mClock; }
  uint32_t Sounding(int note) const { return mSounding[note]; }
  void ClearSounding(int note, int channel) { mSounding[note] &= ~(1u << channel); }
  int NumPending() const { return mNumQueued; }
  int NumFree() const { return mNumFree; }
  int Capacity() const { return mCapacity; }
  int ReservedReleases() const { return mReservedReleases; }

  // Whole-structure check, linear in the queue: for tests and sanitizer builds only.
  bool IsConsistent() const;

 private:
  static constexpr int kNumKeys = NUM_MIDI_NOTES * NUM_MIDI_CHANNELS;
  // Delays in use at once are few: the four voices', those of notes held across a tempo change, and one less
  // for note-offs moved ahead of a note-on.
  static constexpr int kNumTimeLists = 64;

  struct List {
    int32_t mFirst = kNoRecord;
    int32_t mLast = kNoRecord;
    int32_t mCount = 0;    // key lists: records held
    int32_t mHeapPos = -1;  // time lists: place in the heap, -1 while empty
    int32_t mDelay = 0;     // time lists: the delay they were taken for when last empty
  };

  bool Add(int32_t time, int note, int channel, int velocity, bool isNoteOff, int32_t delay,
           uint8_t voice = kNoVoiceTag);
  void Queue(int32_t idx, int32_t time, int32_t delay);
  int TimeListFor(int32_t delay) const;
  void Unqueue(int32_t idx);
  void Free(int32_t idx);
  void AvoidCutoff(int key, int64_t dueAt, int32_t delay);
  // The first record of the key due after dueAt, kNoRecord when none is.
  int32_t FirstAfter(int key, int64_t dueAt) const;
  template <typename Drop>
  void DropWhere(Drop&& drop);

  // The heap of time lists, by their first records, whose time and order it keeps at hand.
  struct HeapEntry {
    int64_t mDueAt;
    uint64_t mOrder;
    int32_t mList;
    bool Before(const HeapEntry& other) const { return DueBefore(mDueAt, mOrder, other.mDueAt, other.mOrder); }
  };
  HeapEntry EntryFor(int list) const;
  void HeapPlace(int pos, const HeapEntry& entry);
  void HeapSiftUp(int pos);
  void HeapSiftDown(int pos);
  void HeapRemove(int pos);

  const int mCapacity;
  const int mSilencingReserve;
  std::unique_ptr<NoteRecord[]> mRecords;
  std::unique_ptr<int32_t[]> mFreeList;
  std::unique_ptr<List[]> mKeys;
  int mNumFree = 0;
  int mNumQueued = 0;
  List mLists[kNumTimeLists];
  HeapEntry mHeap[kNumTimeLists] = {};
  int mHeapSize = 0;
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
  while (mHeapSize > 0 && mHeap[0].mDueAt < end) {
    const int32_t idx = mLists[mHeap[0].mList].mFirst;
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
