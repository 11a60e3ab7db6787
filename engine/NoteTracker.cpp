// Queue operations of the note tracker: insertion by time, cutoff avoidance, de-duplication, pooling.
#include "NoteTracker.h"

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
  int32_t r = time;
  for (NoteRecord* p = mPendingNotes.first; p; p = p->next) {
    if (p->mDelta > r) {
      pRecord->mDelta = r;
      p->mDelta -= r;
      mPendingNotes.InsertBefore(p, pRecord);
      return;
    }
    r -= p->mDelta;
  }
  pRecord->mDelta = r;
  mPendingNotes.PushBack(pRecord);
}

void NoteTracker::Remove(NoteRecord* pRecord) {
  if (pRecord->next) pRecord->next->mDelta += pRecord->mDelta;
  mPendingNotes.Unlink(pRecord);
}

void NoteTracker::ConsumeFirst() {
  NoteRecord* pRecord = mPendingNotes.first;
  CC_ASSERT(pRecord);
  // The block walk has counted this delta already, so it is not handed on.
  mPendingNotes.Unlink(pRecord);
  mFreeNotes.PushBack(pRecord);
}

void NoteTracker::AvoidCutoff(int note, int channel, int32_t time) {
  int64_t t = 0;
  int64_t lastNoteOn = 0;
  for (NoteRecord* p = mPendingNotes.first; p; p = p->next) {
    t += p->mDelta;
    if (p->mNote != note || p->mChannel != channel) continue;
    if (!p->mIsNoteOff) {
      // A later note-on owns every note-off behind it.
      if (t > time) return;
      lastNoteOn = t;
    } else if (lastNoteOn <= time && time <= t) {
      NoteRecord* pRecord = p;
      CC_ASSERT(mPendingNotes.contains(pRecord));
      Remove(pRecord);
      Insert(pRecord, time > 0 ? time - 1 : 0);
      return;
    }
  }
}

bool NoteTracker::HasNoteOnAt(int note, int channel, int32_t time) const {
  int64_t t = 0;
  for (const NoteRecord* p = mPendingNotes.first; p; p = p->next) {
    t += p->mDelta;
    if (t > time) return false;
    if (t == time && !p->mIsNoteOff && p->mNote == note && p->mChannel == channel) return true;
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

void NoteTracker::Clear() { mFreeNotes.SpliceBack(mPendingNotes); }
