// Queue operations of the note tracker: insertion by time, cutoff avoidance, de-duplication, pooling.
#include "NoteTracker.h"

#include <cstring>
#include <new>

#include "EngineAssert.h"

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

const NoteRecord* NoteTracker::LastAtOrBefore(int64_t dueAt, int channel) const {
  const NoteRecord* p = mpRecentOnChannel[channel];
  if (!p || p->mDueAt < 0) {
    const NoteRecord* first = mPendingNotes.first;
    if (!first || first->mDueAt > dueAt) return nullptr;
    // No recent record to start from: start from the end nearer in time.
    p = dueAt - first->mDueAt < mPendingNotes.last->mDueAt - dueAt ? first : mPendingNotes.last;
  }
  if (p->mDueAt <= dueAt) {
    while (p->next && p->next->mDueAt <= dueAt) p = p->next;
    return p;
  }
  while (p && p->mDueAt > dueAt) p = p->prev;
  return p;
}

void NoteTracker::Insert(NoteRecord* pRecord, int32_t time) {
  // Behind every record of equal time.
  const int64_t dueAt = mClock + time;
  NoteRecord* pAfter = const_cast<NoteRecord*>(LastAtOrBefore(dueAt, pRecord->mChannel));
  NoteRecord* pBefore = pAfter ? pAfter->next : mPendingNotes.first;
  pRecord->mDueAt = dueAt;
  pRecord->mDelta = static_cast<int32_t>(dueAt - (pAfter ? pAfter->mDueAt : mClock));
  if (pBefore) {
    pBefore->mDelta -= pRecord->mDelta;
    mPendingNotes.InsertBefore(pBefore, pRecord);
  } else {
    mPendingNotes.PushBack(pRecord);
  }
  Count(pRecord, +1);
  if (pRecord->mIsNoteOff) {
    int64_t& latest = mLatestNoteOffDue[pRecord->mNote][pRecord->mChannel];
    if (mQueuedNoteOffs[pRecord->mNote][pRecord->mChannel] == 1 || dueAt > latest) latest = dueAt;
  }
  mpRecentOnChannel[pRecord->mChannel] = pRecord;
}

void NoteTracker::Remove(NoteRecord* pRecord) {
  if (pRecord->next) pRecord->next->mDelta += pRecord->mDelta;
  mPendingNotes.Unlink(pRecord);
  pRecord->mDueAt = -1;
  Count(pRecord, -1);
}

void NoteTracker::ConsumeFirst() {
  NoteRecord* pRecord = mPendingNotes.first;
  CC_ASSERT(pRecord);
  // The block walk has counted this delta already, so it is not handed on.
  mPendingNotes.Unlink(pRecord);
  pRecord->mDueAt = -1;
  Count(pRecord, -1);
  mFreeNotes.PushBack(pRecord);
}

// The first note-off of the key at or after the new note-on's time moves, unless a note-on of the key later
// than the new one comes first (that one owns it). Note-ons at exactly that time do not stand in the way.
void NoteTracker::AvoidCutoff(int note, int channel, int32_t time) {
  const int64_t dueAt = mClock + time;
  if (mQueuedNoteOffs[note][channel] == 0 || mLatestNoteOffDue[note][channel] < dueAt) return;
  const NoteRecord* pAfter = LastAtOrBefore(dueAt - 1, channel);
  for (NoteRecord* p = pAfter ? pAfter->next : mPendingNotes.first; p; p = p->next) {
    if (p->mNote != note || p->mChannel != channel) continue;
    if (!p->mIsNoteOff) {
      if (p->mDueAt > dueAt) return;
      continue;
    }
    NoteRecord* pRecord = p;
    CC_ASSERT(mPendingNotes.contains(pRecord));
    Remove(pRecord);
    Insert(pRecord, time > 0 ? time - 1 : 0);
    return;
  }
}

bool NoteTracker::HasNoteOnAt(int note, int channel, int32_t time) const {
  if (mQueuedNoteOns[note][channel] == 0) return false;
  const int64_t dueAt = mClock + time;
  for (const NoteRecord* p = LastAtOrBefore(dueAt, channel); p && p->mDueAt == dueAt; p = p->prev)
    if (!p->mIsNoteOff && p->mNote == note && p->mChannel == channel) return true;
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
  for (NoteRecord* p = mPendingNotes.first; p; p = p->next) p->mDueAt = -1;
  mFreeNotes.SpliceBack(mPendingNotes);
  std::memset(mQueuedNoteOns, 0, sizeof(mQueuedNoteOns));
  std::memset(mQueuedNoteOffs, 0, sizeof(mQueuedNoteOffs));
}
