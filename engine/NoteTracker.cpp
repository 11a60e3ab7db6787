// Queue operations of the note tracker: admission, the sending heap, the key lists, cutoff avoidance,
// de-duplication and cancelling.
#include "NoteTracker.h"

#include <algorithm>
#include <iterator>

#include "EngineAssert.h"

NoteTracker::NoteTracker(int capacity, int silencingReserve)
    : mCapacity(std::max(capacity, 1)),
      mSilencingReserve(silencingReserve > 0 ? silencingReserve : 0),
      mRecords(new NoteRecord[mCapacity]),
      mFreeList(new int32_t[mCapacity]),
      mHeap(new int32_t[mCapacity]) {
  // Taken from the low end first, so a quiet session stays in a few cache lines.
  for (int i = 0; i < mCapacity; ++i) mFreeList[i] = mCapacity - 1 - i;
  mNumFree = mCapacity;
  std::fill(std::begin(mKeyFirst), std::end(mKeyFirst), kNoRecord);
  std::fill(std::begin(mKeyLast), std::end(mKeyLast), kNoRecord);
}

// ---- Admission ----

bool NoteTracker::CanAddNoteOn(int note, int channel) const {
  if (note < 0 || note >= NUM_MIDI_NOTES || channel < 0 || channel >= NUM_MIDI_CHANNELS) return false;
  if (mKeyCount[note * NUM_MIDI_CHANNELS + channel] >= kMaxKeyRecords) return false;
  // Itself and its release, beyond the releases already promised and the silencing reserve.
  return static_cast<int64_t>(NumPending()) + mReservedReleases + 2 + mSilencingReserve <= mCapacity;
}

bool NoteTracker::AddNoteOn(int32_t time, int note, int channel, int velocity) {
  if (!CanAddNoteOn(note, channel)) return false;
  if (!Add(time, note, channel, velocity, false)) return false;
  ++mReservedReleases;
  return true;
}

bool NoteTracker::AddNoteOff(int32_t time, int note, int channel, int velocity) {
  if (mReservedReleases > 0) --mReservedReleases;
  return Add(time, note, channel, velocity, true);
}

bool NoteTracker::AddSilencingNoteOff(int32_t time, int note, int channel) {
  return Add(time, note, channel, 0, true);
}

bool NoteTracker::Add(int32_t time, int note, int channel, int velocity, bool isNoteOff) {
  CC_ASSERT(channel >= 0 && channel <= 15);
  CC_ASSERT(note >= 0 && note < NUM_MIDI_NOTES);
  if (mNumFree == 0) return false;
  const int32_t idx = mFreeList[--mNumFree];
  NoteRecord& record = mRecords[idx];
  record.mIsNoteOff = isNoteOff;
  record.mChannel = static_cast<uint8_t>(channel);
  record.mNote = static_cast<uint8_t>(note);
  record.mVelocity = static_cast<uint8_t>(velocity);
  record.mBatch = mBatch;
  time = ClampTime(time);
  if (!isNoteOff) AvoidCutoff(record.Key(), mClock + time);
  Queue(idx, time);
  return true;
}

void NoteTracker::Free(int32_t idx) {
  mRecords[idx].mDueAt = -1;
  mFreeList[mNumFree++] = idx;
}

// ---- Queueing: the heap for sending, the key's list for questions ----

void NoteTracker::Queue(int32_t idx, int32_t time) {
  NoteRecord& record = mRecords[idx];
  record.mDueAt = mClock + time;
  record.mOrder = mNextOrder++;  // behind every record of equal time

  mHeap[mHeapSize] = idx;
  record.mHeapPos = mHeapSize++;
  HeapSiftUp(record.mHeapPos);

  // The newest order, so it goes in front of the first record due later.
  const int key = record.Key();
  const int32_t next = FirstAfter(key, record.mDueAt);
  const int32_t prev = next == kNoRecord ? mKeyLast[key] : mRecords[next].mKeyPrev;
  record.mKeyPrev = prev;
  record.mKeyNext = next;
  (prev == kNoRecord ? mKeyFirst[key] : mRecords[prev].mKeyNext) = idx;
  (next == kNoRecord ? mKeyLast[key] : mRecords[next].mKeyPrev) = idx;
  ++mKeyCount[key];
}

void NoteTracker::Unqueue(int32_t idx) {
  HeapRemove(mRecords[idx].mHeapPos);
  Unlink(idx);
}

void NoteTracker::Unlink(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  record.mHeapPos = -1;
  const int key = record.Key();
  (record.mKeyPrev == kNoRecord ? mKeyFirst[key] : mRecords[record.mKeyPrev].mKeyNext) = record.mKeyNext;
  (record.mKeyNext == kNoRecord ? mKeyLast[key] : mRecords[record.mKeyNext].mKeyPrev) = record.mKeyPrev;
  record.mKeyPrev = record.mKeyNext = kNoRecord;
  --mKeyCount[key];
}

// Records mostly arrive at a key's latest end, and the questions concern its latest records.
int32_t NoteTracker::FirstAfter(int key, int64_t dueAt) const {
  int32_t first = kNoRecord;
  for (int32_t idx = mKeyLast[key]; idx != kNoRecord && mRecords[idx].mDueAt > dueAt; idx = mRecords[idx].mKeyPrev)
    first = idx;
  return first;
}

void NoteTracker::HeapPlace(int pos, int32_t idx) {
  mHeap[pos] = idx;
  mRecords[idx].mHeapPos = pos;
}

void NoteTracker::HeapSiftUp(int pos) {
  const int32_t idx = mHeap[pos];
  while (pos > 0) {
    const int parent = (pos - 1) / 2;
    if (!HeapBefore(idx, mHeap[parent])) break;
    HeapPlace(pos, mHeap[parent]);
    pos = parent;
  }
  HeapPlace(pos, idx);
}

void NoteTracker::HeapSiftDown(int pos) {
  const int32_t idx = mHeap[pos];
  for (;;) {
    int child = 2 * pos + 1;
    if (child >= mHeapSize) break;
    if (child + 1 < mHeapSize && HeapBefore(mHeap[child + 1], mHeap[child])) ++child;
    if (!HeapBefore(mHeap[child], idx)) break;
    HeapPlace(pos, mHeap[child]);
    pos = child;
  }
  HeapPlace(pos, idx);
}

void NoteTracker::HeapRemove(int pos) {
  CC_ASSERT(pos >= 0 && pos < mHeapSize);
  const int32_t last = mHeap[--mHeapSize];
  if (pos == mHeapSize) return;
  HeapPlace(pos, last);
  // The record moved into the hole may belong above or below it.
  HeapSiftUp(pos);
  HeapSiftDown(mRecords[last].mHeapPos);
}

// ---- The questions about one key ----

// The first note-off of the key at or after the new note-on's time moves just ahead of it, unless a note-on of
// the key later than the new one comes first (that one owns it). Note-ons at exactly that time do not stand in
// the way.
void NoteTracker::AvoidCutoff(int key, int64_t dueAt) {
  int32_t idx = FirstAfter(key, dueAt - 1);
  while (idx != kNoRecord && !mRecords[idx].mIsNoteOff && mRecords[idx].mDueAt == dueAt)
    idx = mRecords[idx].mKeyNext;
  if (idx == kNoRecord || !mRecords[idx].mIsNoteOff) return;
  Unqueue(idx);
  const int64_t time = dueAt - mClock;
  Queue(idx, time > 0 ? static_cast<int32_t>(time - 1) : 0);
}

bool NoteTracker::HasNoteOnAt(int note, int channel, int32_t time) const {
  if (note < 0 || note >= NUM_MIDI_NOTES || channel < 0 || channel >= NUM_MIDI_CHANNELS) return false;
  const int key = note * NUM_MIDI_CHANNELS + channel;
  const int64_t dueAt = mClock + ClampTime(time);
  const int32_t after = FirstAfter(key, dueAt);
  for (int32_t idx = after == kNoRecord ? mKeyLast[key] : mRecords[after].mKeyPrev;
       idx != kNoRecord && mRecords[idx].mDueAt == dueAt; idx = mRecords[idx].mKeyPrev)
    if (!mRecords[idx].mIsNoteOff) return true;
  return false;
}

// ---- Cancelling ----

void NoteTracker::CancelChannel(int channel) {
  if (channel < 0 || channel >= NUM_MIDI_CHANNELS) return;
  for (int note = 0; note < NUM_MIDI_NOTES; ++note) {
    const int key = note * NUM_MIDI_CHANNELS + channel;
    while (mKeyFirst[key] != kNoRecord) {
      const int32_t idx = mKeyFirst[key];
      Unqueue(idx);
      Free(idx);
    }
  }
}

void NoteTracker::CancelEarlierBatches() {
  const uint32_t batch = mBatch;
  DropWhere([batch](const NoteRecord& record) { return record.mBatch != batch; });
}

void NoteTracker::Clear() {
  DropWhere([](const NoteRecord&) { return true; });
}

// One pass over the heap and one rebuild of it, rather than a removal each.
template <typename Drop>
void NoteTracker::DropWhere(Drop&& drop) {
  int kept = 0;
  for (int pos = 0; pos < mHeapSize; ++pos) {
    const int32_t idx = mHeap[pos];
    if (drop(mRecords[idx])) {
      Unlink(idx);
      Free(idx);
    } else {
      HeapPlace(kept++, idx);
    }
  }
  mHeapSize = kept;
  for (int pos = kept / 2 - 1; pos >= 0; --pos) HeapSiftDown(pos);
}

// ---- Checking ----

bool NoteTracker::IsConsistent() const {
  if (mNumFree + mHeapSize != mCapacity || static_cast<int64_t>(mHeapSize) + mReservedReleases > mCapacity)
    return false;
  for (int pos = 0; pos < mHeapSize; ++pos) {
    const NoteRecord& record = mRecords[mHeap[pos]];
    if (record.mHeapPos != pos || record.mDueAt < mClock || record.mChannel > 15 || record.mNote >= NUM_MIDI_NOTES)
      return false;
    if (pos > 0 && record.Before(mRecords[mHeap[(pos - 1) / 2]])) return false;
  }
  int listed = 0;
  for (int key = 0; key < kNumKeys; ++key) {
    int count = 0;
    int32_t prev = kNoRecord;
    for (int32_t idx = mKeyFirst[key]; idx != kNoRecord; prev = idx, idx = mRecords[idx].mKeyNext) {
      const NoteRecord& record = mRecords[idx];
      if (record.Key() != key || record.mKeyPrev != prev || record.mHeapPos < 0 || ++count > mCapacity) return false;
      if (prev != kNoRecord && !mRecords[prev].Before(record)) return false;
    }
    if (prev != mKeyLast[key] || count != mKeyCount[key]) return false;
    listed += count;
  }
  return listed == mHeapSize;
}
