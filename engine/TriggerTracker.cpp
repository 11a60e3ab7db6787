// Pooled note groups keyed by trigger note, and their release into the note tracker.
#include "TriggerTracker.h"

#include <algorithm>
#include <new>

#include "EngineAssert.h"
#include "NoteTracker.h"

void NoteGroup::AddEmittedNote(int note, int channel, int velocity, double delay) {
  CC_ASSERT(mNumEmitted < NOTES_PER_GROUP);
  EmittedNote& entry = mEmitted[mNumEmitted++];
  entry.mNote = note;
  entry.mChannel = channel;
  entry.mVelocity = velocity;
  entry.mDelay = delay;
}

const EmittedNote& NoteGroup::Entry(int emitIdx) const {
  CC_ASSERT(emitIdx >= 0 && emitIdx < mNumEmitted);
  return mEmitted[emitIdx];
}

TriggerTracker::TriggerTracker(int reservedGroups) {
  for (int i = 0; i < reservedGroups; ++i) mFreeGroups.PushBack(new NoteGroup());
}

TriggerTracker::~TriggerTracker() {
  for (NoteGroup*& pNoteGroup : mpActiveGroupTable) {
    delete pNoteGroup;
    pNoteGroup = nullptr;
  }
  mFreeGroups.DeleteAll();
}

NoteGroup* TriggerTracker::BeginGroup(int note) {
  CC_ASSERT(note >= 0 && note < NUM_MIDI_NOTES);
  CC_ASSERT(mpActiveGroupTable[note] == 0);
  NoteGroup* pNoteGroup = mFreeGroups.PopFront();
  if (!pNoteGroup) pNoteGroup = new (std::nothrow) NoteGroup();
  // At most one group per key is active, so a pool reserved for every key never runs dry.
  CC_ASSERT(pNoteGroup);
  pNoteGroup->mTriggerNote = note;
  pNoteGroup->mNumEmitted = 0;
  mpActiveGroupTable[note] = pNoteGroup;
  return pNoteGroup;
}

NoteGroup* TriggerTracker::ActiveGroup(int note) const {
  return (note >= 0 && note < NUM_MIDI_NOTES) ? mpActiveGroupTable[note] : nullptr;
}

void TriggerTracker::Release(int note, int32_t offset, NoteTracker& noteTracker) {
  NoteGroup* pNoteGroup = ActiveGroup(note);
  if (!pNoteGroup) return;
  for (int emitIdx = 0; emitIdx < pNoteGroup->mNumEmitted; ++emitIdx) {
    // Whole samples, and never a time the queue cannot hold.
    const double recorded = pNoteGroup->Delay(emitIdx);
    const double delay = recorded > 0.0 ? std::min(recorded, static_cast<double>(NoteTracker::kMaxTime)) : 0.0;
    const int64_t time = static_cast<int64_t>(offset) + static_cast<int64_t>(delay);
    noteTracker.AddNoteOff(NoteTracker::ClampTime(time), pNoteGroup->Note(emitIdx), pNoteGroup->Channel(emitIdx),
                           pNoteGroup->Velocity(emitIdx), static_cast<int32_t>(delay));
  }
  mpActiveGroupTable[note] = nullptr;
  mFreeGroups.PushBack(pNoteGroup);
}
