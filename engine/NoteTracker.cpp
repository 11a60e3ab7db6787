// Queue operations of the note tracker: insertion by time, cutoff avoidance, de-duplication, pooling.
#include "NoteTracker.h"

#include <cstring>
#include <new>

#include "Assert.h"

NoteTracker::NoteTracker(int reservedRecords) {
  for (int i = 0; i < reservedRecords; ++i) mFreeNotes.PushBack(new NoteRecord());
}

NoteTracker::~NoteTracker() {
  mPendingNotes.DeleteAll();
  mFreeNotes.DeleteAll();
}

NoteRecord* NoteTracker::TakeRecord() {
  if (NoteRecord* pRecord = mFreeNotes.PopFront()) return pRecord;
  return new (std::nothrow) NoteRecord();
}

bool NoteTracker::AddNoteOn(int32_t time, int note, int channel, int velocity) {
  CC_ASSERT(channel >= 0 && channel <= 15);
  CC_ASSERT(note >= 0 && note < NUM_MIDI_NOTES);
  NoteRecord* pRecord = TakeRecord();
  if (!pRecord) return false;
  time = ClampTime(time);
  pRecord->mIsNoteOff = 0;
  pRecord->mChannel = channel;
  pRecord->mNote = note;
  pRecord->mVelocity = velocity;
  AvoidCutoff(note, channel, time);
  Insert(pRecord, time);
  return true;
}

bool NoteTracker::AddNoteOff(int32_t time, int note, int channel, int velocity) {
  CC_ASSERT(channel >= 0 && channel <= 15);
  CC_ASSERT(note >= 0 && note < NUM_MIDI_NOTES);
  NoteRecord* pRecord = TakeRecord();
  if (!pRecord) return false;
  pRecord->mIsNoteOff = 1;
  pRecord->mChannel = channel;
  pRecord->mNote = note;
  pRecord->mVelocity = velocity;
  Insert(pRecord, ClampTime(time));
  return true;
}

void NoteTracker::Insert(NoteRecord* pRecord, int32_t time) {
  Count(pRecord, +1);
  // Behind every record of equal time; the walk starts from whichever end is nearer in time.
  NoteRecord* pAfter = nullptr;  // the last record at or before time; null for the front
  int32_t afterTime = 0;
  if (time >= mLastTime / 2) {
    pAfter = mPendingNotes.last;
    afterTime = mLastTime;
    while (pAfter && afterTime > time) {
      afterTime -= pAfter->mDelta;
      pAfter = pAfter->prev;
    }
  } else {
    for (NoteRecord* p = mPendingNotes.first; p && afterTime + p->mDelta <= time; p = p->next) {
      afterTime += p->mDelta;
      pAfter = p;
    }
  }
  NoteRecord* pBefore = pAfter ? pAfter->next : mPendingNotes.first;
  pRecord->mDelta = time - afterTime;
  if (pBefore) {
    pBefore->mDelta -= pRecord->mDelta;
    mPendingNotes.InsertBefore(pBefore, pRecord);
  } else {
    mPendingNotes.PushBack(pRecord);
    mLastTime = time;
  }
}

void NoteTracker::Remove(NoteRecord* pRecord) {
  if (pRecord->next)
    pRecord->next->mDelta += pRecord->mDelta;
  else
    mLastTime -= pRecord->mDelta;
  mPendingNotes.Unlink(pRecord);
  Count(pRecord, -1);
}

void NoteTracker::ConsumeFirst() {
  NoteRecord* pRecord = mPendingNotes.first;
  CC_ASSERT(pRecord);
  // The block walk has counted this delta already, so it is not handed on.
  mPendingNotes.Unlink(pRecord);
  Count(pRecord, -1);
  mFreeNotes.PushBack(pRecord);
}

// The first note-off of the key at or after the new note-on, unless a note-on of the key later than the new
// one comes before it. Walked backwards over the records at or after that time; note-ons at exactly that
// time do not stand in the way.
void NoteTracker::AvoidCutoff(int note, int channel, int32_t time) {
  if (mQueuedNoteOffs[note][channel] == 0) return;
  NoteRecord* pFound = nullptr;
  int32_t t = mLastTime;
  for (NoteRecord* p = mPendingNotes.last; p && t >= time; p = p->prev) {
    if (p->mNote == note && p->mChannel == channel && (p->mIsNoteOff || t > time)) pFound = p;
    t -= p->mDelta;
  }
  if (!pFound || !pFound->mIsNoteOff) return;
  NoteRecord* pRecord = pFound;
  CC_ASSERT(mPendingNotes.contains(pRecord));
  Remove(pRecord);
  Insert(pRecord, time > 0 ? time - 1 : 0);
}

bool NoteTracker::HasNoteOnAt(int note, int channel, int32_t time) const {
  if (mQueuedNoteOns[note][channel] == 0) return false;
  int32_t t = mLastTime;
  for (const NoteRecord* p = mPendingNotes.last; p && t >= time; p = p->prev) {
    if (t == time && !p->mIsNoteOff && p->mNote == note && p->mChannel == channel) return true;
    t -= p->mDelta;
  }
  return false;
}

void NoteTracker::CancelChannel(int channel) {
  NoteRecord* p = mPendingNotes.first;
  while (p) {
    NoteRecord* next = p->next;
    if (p->mChannel == channel) {
      Remove(p);
      mFreeNotes.PushBack(p);
    }
    p = next;
  }
}

void NoteTracker::Clear() {
  if (mPendingNotes.empty()) return;  // a stopped transport clears every block
  mFreeNotes.SpliceBack(mPendingNotes);
  mLastTime = 0;
  std::memset(mQueuedNoteOns, 0, sizeof(mQueuedNoteOns));
  std::memset(mQueuedNoteOffs, 0, sizeof(mQueuedNoteOffs));
}
