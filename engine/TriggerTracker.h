// The note group of every held trigger key: which output notes were generated for it, to release them.
#pragma once

#include <cstdint>

#include "LinkedList.h"
#include "MidiLimits.h"

class NoteTracker;

constexpr int NOTES_PER_GROUP = 4;  // one per voice

struct EmittedNote {
  int32_t mNote = -1;
  int32_t mChannel = 0;
  int32_t mVelocity = 0;
  double mDelay = 0.0;  // samples between the trigger and this note's note-on
};

struct NoteGroup {
  NoteGroup* next = nullptr;
  NoteGroup* prev = nullptr;
  int32_t mTriggerNote = -1;
  EmittedNote mEmitted[NOTES_PER_GROUP];
  int32_t mNumEmitted = 0;

  void AddEmittedNote(int note, int channel, int velocity, double delay);
  int Note(int emitIdx) const { return Entry(emitIdx).mNote; }
  int Channel(int emitIdx) const { return Entry(emitIdx).mChannel; }
  int Velocity(int emitIdx) const { return Entry(emitIdx).mVelocity; }
  double Delay(int emitIdx) const { return Entry(emitIdx).mDelay; }

 private:
  const EmittedNote& Entry(int emitIdx) const;
};

class TriggerTracker {
 public:
  explicit TriggerTracker(int reservedGroups = 0);
  ~TriggerTracker();
  TriggerTracker(const TriggerTracker&) = delete;
  TriggerTracker& operator=(const TriggerTracker&) = delete;

  // The key must have no active group.
  NoteGroup* BeginGroup(int note);
  NoteGroup* ActiveGroup(int note) const;
  // Queues a note-off for every note of the key's group, each its own delay after offset, and frees the group.
  void Release(int note, int32_t offset, NoteTracker& noteTracker);

  int NumPooled() const { return mFreeGroups.size(); }
  const NoteGroup* FirstPooled() const { return mFreeGroups.first; }

 private:
  NoteGroup* mpActiveGroupTable[NUM_MIDI_NOTES] = {};
  LinkedList<NoteGroup> mFreeGroups;
};
