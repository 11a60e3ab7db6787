// Queue operations of the note tracker: admission, the lists and the heap of time lists, cutoff avoidance,
// de-duplication and cancelling.
#include "NoteTracker.h"

#include <algorithm>

#include "EngineAssert.h"

namespace {
// Sorted insertion from a list's latest end, for both kinds of list. The record has the newest order, so it goes
// behind every record due at or before it.
template <int32_t NoteRecord::*Prev, int32_t NoteRecord::*Next, typename List>
void InsertSorted(NoteRecord* records, List& list, int32_t idx) {
  int32_t next = kNoRecord, prev = list.mLast;
  while (prev != kNoRecord && records[prev].mDueAt > records[idx].mDueAt) {
    next = prev;
    prev = records[prev].*Prev;
  }
  records[idx].*Prev = prev;
  records[idx].*Next = next;
  (prev == kNoRecord ? list.mFirst : records[prev].*Next) = idx;
  (next == kNoRecord ? list.mLast : records[next].*Prev) = idx;
  ++list.mCount;
}

template <int32_t NoteRecord::*Prev, int32_t NoteRecord::*Next, typename List>
void Unlink(NoteRecord* records, List& list, int32_t idx) {
  NoteRecord& record = records[idx];
  (record.*Prev == kNoRecord ? list.mFirst : records[record.*Prev].*Next) = record.*Next;
  (record.*Next == kNoRecord ? list.mLast : records[record.*Next].*Prev) = record.*Prev;
  record.*Prev = record.*Next = kNoRecord;
  --list.mCount;
}

int HashDelay(int32_t delay) { return static_cast<int>((static_cast<uint32_t>(delay) * 2654435761u) >> 26); }
}  // namespace

NoteTracker::NoteTracker(int capacity, int silencingReserve)
    : mCapacity(std::max(capacity, 1)),
      mSilencingReserve(silencingReserve > 0 ? silencingReserve : 0),
      mRecords(new NoteRecord[mCapacity]),
      mFreeList(new int32_t[mCapacity]),
      mKeys(new List[kNumKeys]) {
  // Taken from the low end first, so a quiet session stays in a few cache lines.
  for (int i = 0; i < mCapacity; ++i) mFreeList[i] = mCapacity - 1 - i;
  mNumFree = mCapacity;
}

// ---- Admission ----

bool NoteTracker::CanAddNoteOn(int note, int channel) const {
  if (note < 0 || note >= NUM_MIDI_NOTES || channel < 0 || channel >= NUM_MIDI_CHANNELS) return false;
  if (mKeys[note * NUM_MIDI_CHANNELS + channel].mCount >= kMaxKeyRecords) return false;
  // Itself and its release, beyond the releases already promised and the silencing reserve.
  return static_cast<int64_t>(NumPending()) + mReservedReleases + 2 + mSilencingReserve <= mCapacity;
}

bool NoteTracker::AddNoteOn(int32_t time, int note, int channel, int velocity, int32_t delay, uint8_t voice) {
  // Only the room in the queue: the key's cap was asked before the release that may have just added to the key.
  if (static_cast<int64_t>(NumPending()) + mReservedReleases + 2 + mSilencingReserve > mCapacity) return false;
  if (!Add(time, note, channel, velocity, false, delay, voice)) return false;
  ++mReservedReleases;
  return true;
}

bool NoteTracker::AddNoteOff(int32_t time, int note, int channel, int velocity, int32_t delay) {
  if (mReservedReleases > 0) --mReservedReleases;
  return Add(time, note, channel, velocity, true, delay);
}

bool NoteTracker::AddSilencingNoteOff(int32_t time, int note, int channel) {
  return Add(time, note, channel, 0, true, 0);
}

bool NoteTracker::Add(int32_t time, int note, int channel, int velocity, bool isNoteOff, int32_t delay,
                      uint8_t voice) {
  CC_ASSERT(channel >= 0 && channel <= 15);
  CC_ASSERT(note >= 0 && note < NUM_MIDI_NOTES);
  if (mNumFree == 0) return false;
  const int32_t idx = mFreeList[--mNumFree];
  NoteRecord& record = mRecords[idx];
  record.mIsNoteOff = isNoteOff;
  record.mChannel = static_cast<uint8_t>(channel);
  record.mNote = static_cast<uint8_t>(note);
  record.mVelocity = static_cast<uint8_t>(velocity);
  record.mVoice = voice;
  record.mBatch = mBatch;
  time = ClampTime(time);
  if (!isNoteOff) AvoidCutoff(record.Key(), mClock + time, delay);
  Queue(idx, time, delay);
  return true;
}

void NoteTracker::Free(int32_t idx) {
  mRecords[idx].mDueAt = -1;
  mFreeList[mNumFree++] = idx;
}

// ---- Queueing ----

void NoteTracker::Queue(int32_t idx, int32_t time, int32_t delay) {
  NoteRecord& record = mRecords[idx];
  record.mDueAt = mClock + time;
  record.mOrder = mNextOrder++;
  record.mList = static_cast<uint8_t>(TimeListFor(delay));
  if (mLists[record.mList].mFirst == kNoRecord) mLists[record.mList].mDelay = delay;
  List& list = mLists[record.mList];
  InsertSorted<&NoteRecord::mPrev, &NoteRecord::mNext>(mRecords.get(), list, idx);
  if (list.mFirst == idx) {
    const int pos = list.mHeapPos < 0 ? mHeapSize++ : list.mHeapPos;
    HeapPlace(pos, EntryFor(record.mList));
    HeapSiftUp(pos);
  }
  InsertSorted<&NoteRecord::mKeyPrev, &NoteRecord::mKeyNext>(mRecords.get(), mKeys[record.Key()], idx);
  ++mNumQueued;
}

void NoteTracker::Unqueue(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  List& list = mLists[record.mList];
  const bool wasFirst = list.mFirst == idx;
  Unlink<&NoteRecord::mPrev, &NoteRecord::mNext>(mRecords.get(), list, idx);
  if (wasFirst) {
    if (list.mFirst == kNoRecord) {
      HeapRemove(list.mHeapPos);
    } else {
      HeapPlace(list.mHeapPos, EntryFor(record.mList));
      HeapSiftDown(list.mHeapPos);
    }
  }
  Unlink<&NoteRecord::mKeyPrev, &NoteRecord::mKeyNext>(mRecords.get(), mKeys[record.Key()], idx);
  --mNumQueued;
}

// The list that holds this delay's records, or an empty one from where its hash points: linear probing. When more
// delays than lists are in use at once, a delay shares its hashed list, which stays sorted but makes it walk.
int NoteTracker::TimeListFor(int32_t delay) const {
  const int home = HashDelay(delay);
  for (int i = 0; i < kNumTimeLists; ++i) {
    const int list = (home + i) % kNumTimeLists;
    if (mLists[list].mFirst == kNoRecord || mLists[list].mDelay == delay) return list;
  }
  return home;
}

// Records mostly arrive at a key's latest end, and the questions concern its latest records.
int32_t NoteTracker::FirstAfter(int key, int64_t dueAt) const {
  int32_t first = kNoRecord;
  for (int32_t idx = mKeys[key].mLast; idx != kNoRecord && mRecords[idx].mDueAt > dueAt;
       idx = mRecords[idx].mKeyPrev)
    first = idx;
  return first;
}

// ---- The heap of time lists ----

NoteTracker::HeapEntry NoteTracker::EntryFor(int list) const {
  const NoteRecord& first = mRecords[mLists[list].mFirst];
  return {first.mDueAt, first.mOrder, list};
}

void NoteTracker::HeapPlace(int pos, const HeapEntry& entry) {
  mHeap[pos] = entry;
  mLists[entry.mList].mHeapPos = pos;
}

void NoteTracker::HeapSiftUp(int pos) {
  const HeapEntry entry = mHeap[pos];
  while (pos > 0) {
    const int parent = (pos - 1) / 2;
    if (!entry.Before(mHeap[parent])) break;
    HeapPlace(pos, mHeap[parent]);
    pos = parent;
  }
  HeapPlace(pos, entry);
}

void NoteTracker::HeapSiftDown(int pos) {
  const HeapEntry entry = mHeap[pos];
  for (;;) {
    int child = 2 * pos + 1;
    if (child >= mHeapSize) break;
    if (child + 1 < mHeapSize && mHeap[child + 1].Before(mHeap[child])) ++child;
    if (!mHeap[child].Before(entry)) break;
    HeapPlace(pos, mHeap[child]);
    pos = child;
  }
  HeapPlace(pos, entry);
}

// The list at pos has just become empty.
void NoteTracker::HeapRemove(int pos) {
  mLists[mHeap[pos].mList].mHeapPos = -1;
  const HeapEntry last = mHeap[--mHeapSize];
  if (pos == mHeapSize) return;
  HeapPlace(pos, last);
  HeapSiftUp(pos);
  HeapSiftDown(mLists[last.mList].mHeapPos);
}

// ---- The questions about one key ----

// The first note-off of the key at or after the new note-on's time moves just ahead of it, unless a note-on of
// the key later than the new one comes first (that one owns it). Note-ons at exactly that time do not stand in
// the way.
void NoteTracker::AvoidCutoff(int key, int64_t dueAt, int32_t delay) {
  int32_t idx = FirstAfter(key, dueAt - 1);
  while (idx != kNoRecord && !mRecords[idx].mIsNoteOff && mRecords[idx].mDueAt == dueAt)
    idx = mRecords[idx].mKeyNext;
  if (idx == kNoRecord || !mRecords[idx].mIsNoteOff) return;
  Unqueue(idx);
  const int64_t time = dueAt - mClock;
  // Moved one sample earlier, these note-offs form a delay of their own, again in time order.
  if (time > 0)
    Queue(idx, static_cast<int32_t>(time - 1), delay - 1);
  else
    Queue(idx, 0, delay);
}

bool NoteTracker::HasNoteOnAt(int note, int channel, int32_t time) const {
  if (note < 0 || note >= NUM_MIDI_NOTES || channel < 0 || channel >= NUM_MIDI_CHANNELS) return false;
  const int key = note * NUM_MIDI_CHANNELS + channel;
  const int64_t dueAt = mClock + ClampTime(time);
  const int32_t after = FirstAfter(key, dueAt);
  for (int32_t idx = after == kNoRecord ? mKeys[key].mLast : mRecords[after].mKeyPrev;
       idx != kNoRecord && mRecords[idx].mDueAt == dueAt; idx = mRecords[idx].mKeyPrev)
    if (!mRecords[idx].mIsNoteOff) return true;
  return false;
}

// ---- Cancelling ----

void NoteTracker::CancelChannel(int channel) {
  if (channel < 0 || channel >= NUM_MIDI_CHANNELS) return;
  for (int note = 0; note < NUM_MIDI_NOTES; ++note) {
    const List& key = mKeys[note * NUM_MIDI_CHANNELS + channel];
    while (key.mFirst != kNoRecord) {
      const int32_t idx = key.mFirst;
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

template <typename Drop>
void NoteTracker::DropWhere(Drop&& drop) {
  for (const List& list : mLists) {
    for (int32_t idx = list.mFirst; idx != kNoRecord;) {
      const int32_t next = mRecords[idx].mNext;
      if (drop(mRecords[idx])) {
        Unqueue(idx);
        Free(idx);
      }
      idx = next;
    }
  }
}

// ---- Checking ----

bool NoteTracker::IsConsistent() const {
  if (mNumFree + mNumQueued != mCapacity || static_cast<int64_t>(mNumQueued) + mReservedReleases > mCapacity)
    return false;
  // Each list in order with matching links and count; time lists in the heap exactly while not empty.
  auto listValid = [this](const List& list, int32_t NoteRecord::*prevOf, int32_t NoteRecord::*nextOf,
                          auto&& belongs) {
    int count = 0;
    int32_t prev = kNoRecord;
    for (int32_t idx = list.mFirst; idx != kNoRecord; prev = idx, idx = mRecords[idx].*nextOf) {
      const NoteRecord& record = mRecords[idx];
      if (!belongs(record) || record.*prevOf != prev || record.mDueAt < mClock || ++count > mCapacity) return false;
      if (prev != kNoRecord && !mRecords[prev].Before(record)) return false;
    }
    return prev == list.mLast && count == list.mCount;
  };
  int inTimeLists = 0, inKeyLists = 0;
  for (int l = 0; l < kNumTimeLists; ++l) {
    const List& list = mLists[l];
    if (!listValid(list, &NoteRecord::mPrev, &NoteRecord::mNext, [l](const NoteRecord& r) { return r.mList == l; }))
      return false;
    if ((list.mFirst == kNoRecord) != (list.mHeapPos < 0)) return false;
    if (list.mHeapPos >= 0) {
      if (list.mHeapPos >= mHeapSize) return false;
      const HeapEntry& entry = mHeap[list.mHeapPos];
      const HeapEntry expected = EntryFor(l);
      if (entry.mList != l || entry.mDueAt != expected.mDueAt || entry.mOrder != expected.mOrder) return false;
    }
    inTimeLists += list.mCount;
  }
  for (int pos = 1; pos < mHeapSize; ++pos)
    if (mHeap[pos].Before(mHeap[(pos - 1) / 2])) return false;
  for (int key = 0; key < kNumKeys; ++key) {
    if (!listValid(mKeys[key], &NoteRecord::mKeyPrev, &NoteRecord::mKeyNext,
                   [key](const NoteRecord& r) { return r.Key() == key && r.mChannel <= 15; }))
      return false;
    inKeyLists += mKeys[key].mCount;
  }
  return inTimeLists == mNumQueued && inKeyLists == mNumQueued;
}
