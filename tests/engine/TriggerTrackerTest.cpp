// Note groups per trigger key: what they record, how their release is timed, and how groups are reused.
#include <gtest/gtest.h>

#include <vector>

#include "NoteTracker.h"
#include "TriggerTracker.h"

namespace {
struct Off {
  int offset, note, channel;
  bool operator==(const Off& o) const { return offset == o.offset && note == o.note && channel == o.channel; }
};

std::vector<Off> TakeNoteOffs(NoteTracker& tracker, int frames) {
  std::vector<Off> out;
  tracker.TakeDue(frames, [&](const NoteRecord& r, int32_t offset) {
    if (r.mIsNoteOff) out.push_back({offset, r.mNote, r.mChannel});
  });
  return out;
}
}  // namespace

TEST(TriggerTracker, ReleaseEndsEveryRecordedNoteInOrderEachItsOwnDelayLater) {
  TriggerTracker triggers;
  NoteTracker notes;
  NoteGroup* group = triggers.BeginGroup(60);
  group->AddEmittedNote(60, 0, 100, 0);
  group->AddEmittedNote(67, 1, 90, 0);
  group->AddEmittedNote(64, 2, 80, 11025);
  group->AddEmittedNote(72, 3, 70, 0);
  EXPECT_EQ(group->Note(2), 64);
  EXPECT_EQ(group->Velocity(2), 80);
  triggers.Release(60, 300, notes);
  EXPECT_EQ(triggers.ActiveGroup(60), nullptr);
  EXPECT_EQ(TakeNoteOffs(notes, 512), (std::vector<Off>{{300, 60, 0}, {300, 67, 1}, {300, 72, 3}}));
  EXPECT_EQ(TakeNoteOffs(notes, 11025), (std::vector<Off>{{300 + 11025 - 512, 64, 2}}));
}

TEST(TriggerTracker, AKeyWithoutAGroupReleasesNothing) {
  TriggerTracker triggers;
  NoteTracker notes;
  triggers.Release(61, 0, notes);
  triggers.Release(200, 0, notes);
  EXPECT_EQ(notes.NumPending(), 0);
}

TEST(TriggerTracker, ReleasedGroupsAreReusedOldestFirst) {
  TriggerTracker triggers;
  NoteTracker notes;
  NoteGroup* a = triggers.BeginGroup(60);
  NoteGroup* b = triggers.BeginGroup(61);
  triggers.Release(60, 0, notes);
  triggers.Release(61, 0, notes);
  EXPECT_EQ(triggers.BeginGroup(62), a);
  EXPECT_EQ(triggers.BeginGroup(63), b);
  EXPECT_EQ(a->mTriggerNote, 62);
  EXPECT_EQ(a->mNumEmitted, 0);
}

TEST(TriggerTrackerDeathTest, AGroupHoldsAtMostOneNotePerVoiceAndOneGroupPerKey) {
  EXPECT_DEATH(
      {
        TriggerTracker triggers;
        NoteGroup* group = triggers.BeginGroup(60);
        for (int i = 0; i <= NOTES_PER_GROUP; ++i) group->AddEmittedNote(60, 0, 1, 0);
      },
      "mNumEmitted < NOTES_PER_GROUP");
  EXPECT_DEATH(
      {
        TriggerTracker triggers;
        triggers.BeginGroup(60);
        triggers.BeginGroup(60);
      },
      "mpActiveGroupTable\\[note\\] == 0");
}
