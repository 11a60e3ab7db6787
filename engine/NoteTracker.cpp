// Queue operations of the note tracker: admission, cutoff avoidance, de-duplication, cancelling.
#include "NoteTracker.h"

#include <algorithm>

#include "EngineAssert.h"

NoteTracker::NoteTracker(int capacity, int silencingReserve)
    : mCapacity(std::clamp(capacity, 1, NoteKeyIndex::kMaxRecords)),
      mSilencingReserve(silencingReserve > 0 ? silencingReserve : 0),
      mRecords(new NoteRecord[mCapacity]),
      mFreeList(new int32_t[mCapacity]),
      mScratch(new int32_t[mCapacity]),
      mDue(mRecords.get(), mCapacity),
      mByKey(mRecords.get()) {
  // Taken from the low end first, so a quiet session stays in a few cache lines.
  for (int i = 0; i < mCapacity; ++i) mFreeList[i] = mCapacity - 1 - i;
  mNumFree = mCapacity;
}

bool NoteTracker::CanAddNoteOn() const {
  // Itself and its release, beyond the releases already promised and the silencing reserve.
  return static_cast<int64_t>(NumPending()) + mReservedReleases + 2 + mSilencingReserve <= mCapacity;
}

int32_t NoteTracker::TakeRecord() {
  if (mNumFree == 0) return kNoRecord;
  const int32_t idx = mFreeList[--mNumFree];
  // xorshift: treap priorities independent of the keys the session plays.
  mRandom ^= mRandom << 13;
  mRandom ^= mRandom >> 17;
  mRandom ^= mRandom << 5;
  mRecords[idx].mPriority = mRandom;
  return idx;
}

void NoteTracker::Free(int32_t idx) {
  mRecords[idx].mDueAt = -1;
  mFreeList[mNumFree++] = idx;
}

void NoteTracker::Queue(int32_t idx, int32_t time, int stream) {
  NoteRecord& record = mRecords[idx];
  record.mDueAt = mClock + time;
  // Behind every record of equal time.
  record.mOrder = mNextOrder++;
  mDue.Push(idx, stream);
  mByKey.Insert(idx);
}

void NoteTracker::Unqueue(int32_t idx) {
  mDue.Remove(idx);
  mByKey.Erase(idx);
}

bool NoteTracker::Add(int32_t time, int note, int channel, int velocity, bool isNoteOff, bool isSilencing,
                      int stream) {
  CC_ASSERT(channel >= 0 && channel <= 15);
  CC_ASSERT(note >= 0 && note < NUM_MIDI_NOTES);
  const int32_t idx = TakeRecord();
  if (idx == kNoRecord) return false;
  NoteRecord& record = mRecords[idx];
  record.mIsNoteOff = isNoteOff ? 1 : 0;
  record.mChannel = static_cast<uint8_t>(channel);
  record.mNote = static_cast<uint8_t>(note);
  record.mVelocity = static_cast<uint8_t>(velocity);
  record.mBatch = mBatch;
  record.mIsSilencing = isSilencing;
  time = ClampTime(time);
  if (!isNoteOff) AvoidCutoff(note, channel, time);
  Queue(idx, time, stream);
  return true;
}

bool NoteTracker::AddNoteOn(int32_t time, int note, int channel, int velocity, int stream) {
  if (!CanAddNoteOn()) return false;
  if (!Add(time, note, channel, velocity, false, false, stream)) return false;
  ++mReservedReleases;
  return true;
}

bool NoteTracker::AddNoteOff(int32_t time, int note, int channel, int velocity, int stream) {
  if (mReservedReleases > 0) --mReservedReleases;
  return Add(time, note, channel, velocity, true, false, stream);
}

bool NoteTracker::AddSilencingNoteOff(int32_t time, int note, int channel) {
  return Add(time, note, channel, 0, true, true, kNoStream);
}

// The first note-off of the key at or after the new note-on's time moves just ahead of it, unless a note-on of
// the key later than the new one comes first (that one owns it). Note-ons at exactly that time do not stand in
// the way.
void NoteTracker::AvoidCutoff(int note, int channel, int32_t time) {
  const int key = note * 16 + channel;
  if (mByKey.Count(key, true) == 0) return;
  const int64_t dueAt = mClock + time;
  int32_t idx = mByKey.LowerBound(key, dueAt, 0);
  // De-duplication leaves at most one note-on of the key at dueAt, so this loop turns at most twice.
  while (idx != kNoRecord && mRecords[idx].Key() == key && !mRecords[idx].mIsNoteOff &&
         mRecords[idx].mDueAt == dueAt)
    idx = mByKey.Next(idx);
  if (idx == kNoRecord || mRecords[idx].Key() != key || !mRecords[idx].mIsNoteOff) return;
  Unqueue(idx);
  Queue(idx, time > 0 ? time - 1 : 0, kNoStream);
}

bool NoteTracker::HasNoteOnAt(int note, int channel, int32_t time) {
  const int key = note * 16 + channel;
  if (mByKey.Count(key, false) == 0) return false;
  const int64_t dueAt = mClock + time;
  for (int32_t idx = mByKey.LowerBound(key, dueAt, 0);
       idx != kNoRecord && mRecords[idx].Key() == key && mRecords[idx].mDueAt == dueAt; idx = mByKey.Next(idx))
    if (!mRecords[idx].mIsNoteOff) return true;
  return false;
}

void NoteTracker::CancelChannel(int channel) {
  for (int note = 0; note < NUM_MIDI_NOTES; ++note) {
    const int key = note * 16 + channel;
    while (mByKey.Count(key) > 0) {
      const int32_t idx = mByKey.First(key);
      CC_ASSERT(idx != kNoRecord && mRecords[idx].Key() == key);
      Unqueue(idx);
      Free(idx);
    }
  }
}

void NoteTracker::CancelEarlierBatches() {
  int count = 0;
  mDue.ForEach([&](int32_t idx) {
    if (mRecords[idx].mBatch != mBatch) mScratch[count++] = idx;
  });
  for (int i = 0; i < count; ++i) {
    Unqueue(mScratch[i]);
    Free(mScratch[i]);
  }
}

void NoteTracker::Clear() {
  if (mDue.Size() == 0) return;  // a stopped transport clears every block
  mDue.ForEach([&](int32_t idx) { Free(idx); });
  mDue.Clear();
  mByKey.Clear();
}

int64_t NoteTracker::NextTime() const {
  const int32_t idx = mDue.Top();
  return idx == kNoRecord ? -1 : mRecords[idx].mDueAt - mClock;
}

bool NoteTracker::IsConsistent() const {
  if (mNumFree + mDue.Size() != mCapacity || !mDue.IsConsistent() || !mByKey.IsConsistent(mDue.Size()))
    return false;
  bool fieldsValid = true;
  mDue.ForEach([&](int32_t idx) {
    const NoteRecord& record = mRecords[idx];
    if (record.mDueAt < mClock || record.mChannel > 15 || record.mNote >= NUM_MIDI_NOTES || record.mIsNoteOff > 1)
      fieldsValid = false;
  });
  return fieldsValid && static_cast<int64_t>(NumPending()) + mReservedReleases <= mCapacity;
}
