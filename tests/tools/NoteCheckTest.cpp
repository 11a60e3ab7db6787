// Note pairing: spans, hanging notes, re-struck keys and stray note-offs.
#include <gtest/gtest.h>

#include "NoteCheck.h"
#include "ToolTestSupport.h"

using namespace cchost;
using cchost_test::Off;
using cchost_test::On;

TEST(NoteCheck, EveryNoteOnFollowedByItsNoteOffPasses) {
  const NoteReport r = PairNotes({On(0, 60), On(0, 64, 90, 1), Off(100, 60), MidiEvent::Channel(200, 0x91, 64, 0)});
  EXPECT_TRUE(r.hanging.empty());
  ASSERT_EQ(r.spans.size(), 2u);
  EXPECT_EQ(r.spans[1].channel, 1);
  EXPECT_EQ(r.spans[1].velocity, 90);
  EXPECT_EQ(r.spans[1].endTick, 200u);
}

TEST(NoteCheck, ANoteOffOnAnotherChannelDoesNotEndTheNote) {
  const NoteReport r = PairNotes({On(10, 60, 100, 2), Off(100, 60, 3)});
  ASSERT_EQ(r.hanging.size(), 1u);
  EXPECT_EQ(r.hanging[0].note, 60);
  EXPECT_EQ(r.hanging[0].channel, 2);
  EXPECT_EQ(r.hanging[0].startTick, 10u);
  EXPECT_EQ(r.strayNoteOffs, 1);
}

TEST(NoteCheck, ARestruckKeyNeedsTwoNoteOffs) {
  const NoteReport once = PairNotes({On(0, 60), On(50, 60), Off(100, 60)});
  ASSERT_EQ(once.hanging.size(), 1u);
  EXPECT_EQ(once.hanging[0].startTick, 50u) << "the first note-off ends the oldest note";
  EXPECT_EQ(once.spans[0].endTick, 100u);
  EXPECT_TRUE(PairNotes({On(0, 60), On(50, 60), Off(100, 60), Off(120, 60)}).hanging.empty());
}

TEST(NoteCheck, ANoteOffBeforeItsNoteOnDoesNotCount) {
  const NoteReport r = PairNotes({Off(0, 60), On(10, 60)});
  EXPECT_EQ(r.strayNoteOffs, 1);
  EXPECT_EQ(r.hanging.size(), 1u);
}

TEST(NoteCheck, CountsAreKeptPerChannel) {
  const EventCounts c = CountEvents({On(0, 60, 100, 15), Off(1, 60, 15), MidiEvent::Channel(2, 0xB0, 64, 0),
                                     MidiEvent::SysEx(3, 0xF0, {0xF7}), TempoEvent(0, 100)});
  EXPECT_EQ(c.perChannel[15], 2);
  EXPECT_EQ(c.perChannel[0], 1);
  EXPECT_EQ(c.sysex, 1);
  EXPECT_EQ(c.meta, 1);
  EXPECT_EQ(c.notes, 1);
}

TEST(NoteCheck, WithoutSpansOnlyTheHangingNotesAreKeptInNoteOnOrder) {
  NotePairer pairer(false);
  for (const MidiEvent& e : {On(0, 64, 100, 2), On(5, 60), On(7, 60), Off(9, 60), Off(20, 61), On(30, 10)})
    pairer.Add(e);
  const NoteReport r = pairer.Finish();
  EXPECT_TRUE(r.spans.empty());
  EXPECT_EQ(r.strayNoteOffs, 1);
  ASSERT_EQ(r.hanging.size(), 3u);
  const uint32_t starts[] = {0, 7, 30};  // the note-off ended the older C4
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(r.hanging[i].startTick, starts[i]);
    EXPECT_EQ(r.hanging[i].endTick, 30u);
  }
}
