// Notes in, voiced notes out through the AEffect: timing, delays, releases, transport and control changes.
#include <gtest/gtest.h>

#include <vector>

#include "CyclochordSession.h"

using Evts = std::vector<Ev>;

TEST(Pipeline, ATriggerSoundsMainAndParallelAtItsOffsetAndEndsThemAtTheRelease) {
  CyclochordSession s;
  s.Set(kParInt, 7);
  s.Set(kParChan, 2);
  s.Set(kV1Mute, 1);
  s.Set(kV2Mute, 1);
  s.Run();
  s.NoteOn(60, 100, 10);
  EXPECT_EQ(Evs(s.Run()), (Evts{{1, 10, 0x90, 60, 100}, {1, 10, 0x91, 67, 100}}));
  EXPECT_TRUE(s.Run(3).empty());
  s.NoteOff(60, 200, 5);  // any channel releases the key
  EXPECT_EQ(Evs(s.Run()), (Evts{{5, 200, 0x80, 60, 0}, {5, 200, 0x81, 67, 0}}));
}

TEST(Pipeline, ADelayedVoiceSoundsWholeBlocksLaterAtTheRightOffset) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kMnDelay, 5);  // 1/4: 22050 samples at 120 beats per minute
  s.NoteOn(60, 100, 0);
  EXPECT_EQ(Evs(s.Run(44)), (Evts{{43, 34, 0x90, 60, 100}}));
  s.Run(6);
  s.NoteOff(60, 0);
  EXPECT_EQ(Evs(s.Run(44)), (Evts{{93, 34, 0x80, 60, 0}}));
  // Due exactly at the end of a block: offset 512 lies outside it, so it opens the next one.
  s.NoteOn(62, 90, 478);
  EXPECT_EQ(Evs(s.Run(45)), (Evts{{138, 0, 0x90, 62, 90}}));
}

TEST(Pipeline, TwoVoicesOnOneNoteChannelAndTimeMakeOneNote) {
  CyclochordSession s;
  s.Set(kParMute, 1);
  s.Set(kV2Mute, 1);  // main and rotator 1, both interval 0 on channel index 0
  s.NoteOn(60, 100, 10);
  EXPECT_EQ(Evs(s.Run()), (Evts{{0, 10, 0x90, 60, 100}}));
  s.NoteOff(60, 20);
  EXPECT_EQ(Evs(s.Run()), (Evts{{1, 20, 0x80, 60, 0}}));
}

TEST(Pipeline, AReStruckKeyEndsItsNotesJustBeforeTheNewOnes) {
  CyclochordSession s;
  s.Set(kParMute, 1);
  s.Set(kV2Mute, 1);
  s.Set(kV1Chan, 2);
  for (int i = 0; i < 4; ++i) s.Set(kV1Int1 + i, 12);
  s.Set(kV1Delay, 14);  // 1/32: 2756 samples
  s.NoteOn(60, 100, 100);
  s.Run(10);
  s.NoteOn(60, 80, 50);
  EXPECT_EQ(Evs(s.Run(6)), (Evts{{10, 49, 0x80, 60, 0},
                                 {10, 50, 0x90, 60, 80},
                                 {15, 245, 0x81, 72, 0},
                                 {15, 246, 0x91, 72, 80}}));
}

TEST(Pipeline, AStrikeThatEmitsNothingLeavesTheKeysEarlierGroupActive) {
  CyclochordSession s;
  s.MainOnly();
  s.NoteOn(60, 100, 0);
  s.Run();
  s.Set(kMainMute, 1);
  s.NoteOn(60, 100, 0);
  EXPECT_TRUE(s.Run().empty());
  s.NoteOff(60, 7);
  EXPECT_EQ(Evs(s.Run()), (Evts{{2, 7, 0x80, 60, 0}}));
}

// Passed-through messages reach the host in the next processing call, merged with the notes by offset.
TEST(Pipeline, OtherMessagesPassThroughAndControlChangesAreAbsorbed) {
  CyclochordSession s;
  s.MainOnly();
  s.NoteOn(60, 100, 10);
  for (uint8_t status : {0xE0, 0xC3, 0xD1, 0xA2, 0xF8}) s.host.SendMidi(status, 5, 6, 20);
  s.host.SendMidi(0xB0, 64, 127, 30);
  s.host.SendMidi(0xB0, 1, 127, 30);
  EXPECT_EQ(Evs(s.Run()), (Evts{{0, 10, 0x90, 60, 100},
                                {0, 20, 0xE0, 5, 6},
                                {0, 20, 0xC3, 5, 6},
                                {0, 20, 0xD1, 5, 6},
                                {0, 20, 0xA2, 5, 6},
                                {0, 20, 0xF8, 5, 6}}));
  s.host.SetPlaying(false);
  s.host.SendMidi(0xE0, 0, 64, 3);
  s.NoteOn(61, 100, 0);
  EXPECT_EQ(Evs(s.Run()), (Evts{{1, 0, 0x80, 60, 0}, {1, 3, 0xE0, 0, 64}}));
}

TEST(Pipeline, StoppingTheTransportEndsEverySoundingNoteInNoteAndChannelOrder) {
  CyclochordSession s;
  s.Set(kParChan, 2);
  s.Set(kV1Mute, 1);
  s.Set(kV2Mute, 1);
  s.Set(kMnDelay, 8);  // a pending note is dropped, not played
  s.NoteOn(60, 100, 0);
  s.NoteOn(50, 100, 0);
  s.Run(30);
  s.NoteOn(40, 100, 0);
  s.Run();
  s.host.SetPlaying(false);
  EXPECT_EQ(Evs(s.Run()), (Evts{{31, 0, 0x81, 40, 0},
                                {31, 0, 0x80, 50, 0},
                                {31, 0, 0x81, 50, 0},
                                {31, 0, 0x80, 60, 0},
                                {31, 0, 0x81, 60, 0}}));
  s.host.SetPlaying(true);
  EXPECT_TRUE(s.Run(30).empty());
}

TEST(Pipeline, AJumpEndsWhatSoundsOrWasQueuedBeforeAndKeepsTheBlocksOwnNotes) {
  CyclochordSession s;
  s.Set(kParMute, 1);
  s.Set(kV2Mute, 1);
  s.Set(kV1Chan, 2);
  s.Set(kV1Int1 + 1, 12);
  s.Set(kV1Delay, 5);
  s.NoteOn(60, 100, 0);
  EXPECT_EQ(Evs(s.Run()), (Evts{{0, 0, 0x90, 60, 100}}));
  s.host.SetSamplePos(100000);
  // This block's own strike survives the jump, behind the note-off of the old note. Re-striking the key
  // releases its old group too, so its notes get note-offs again, the never-sent rotator note's included.
  s.NoteOn(60, 100, 0);
  EXPECT_EQ(Evs(s.Run(60)), (Evts{{1, 0, 0x80, 60, 0},
                                  {1, 0, 0x80, 60, 0},
                                  {1, 0, 0x90, 60, 100},
                                  {44, 34, 0x81, 72, 0},
                                  {44, 34, 0x91, 60, 100}}));
}

TEST(Pipeline, AllNotesOffSilencesTheOutputChannelOfItsOwnNumberOnly) {
  CyclochordSession s;
  s.Set(kMainChan, 4);
  s.Set(kParChan, 6);
  s.Set(kParInt, 7);
  s.Set(kV1Mute, 1);
  s.Set(kV2Mute, 1);
  s.NoteOn(60, 100, 0);
  s.Run();
  s.host.SendMidi(0xB3, 123, 0, 20);
  EXPECT_EQ(Evs(s.Run()), (Evts{{1, 20, 0x83, 60, 0}}));
}

TEST(Pipeline, ATempoChangeReachesTriggersAfterTheBlockThatReportsIt) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kMnDelay, 5);
  s.NoteOn(60, 100, 0);
  s.Run();
  s.host.SetTempo(60);
  s.NoteOn(61, 100, 0);  // handled before the block that reports 60
  s.Run();
  s.NoteOn(62, 100, 0);
  EXPECT_EQ(Evs(s.Run(90)), (Evts{{43, 34, 0x90, 60, 100}, {44, 34, 0x90, 61, 100}, {88, 68, 0x90, 62, 100}}));
}

TEST(Pipeline, NotesAndVelocitiesOutsideTheMidiRangeAreNotSent) {
  CyclochordSession s;
  s.Set(kMainMute, 1);
  s.Set(kV1Mute, 1);
  s.Set(kV2Mute, 1);
  s.Set(kParInt, 12);
  s.Set(kParVel, -30);
  s.NoteOn(120, 100, 0);  // 132
  s.NoteOn(60, 30, 1);    // velocity 0
  s.NoteOn(61, 31, 2);    // velocity 1 stays 1
  s.Set(kParVel, 30);
  s.NoteOn(62, 110, 3);
  s.Set(kParInt, -12);
  s.NoteOn(5, 100, 4);  // -7
  EXPECT_EQ(Evs(s.Run()), (Evts{{0, 2, 0x90, 73, 1}, {0, 3, 0x90, 74, 127}}));
}

TEST(Pipeline, RotatorsPlayTheirIntervalsInAlgorithmOrder) {
  CyclochordSession s;
  s.Set(kMainMute, 1);
  s.Set(kParMute, 1);
  s.Set(kV2Mute, 1);
  const int intervals[] = {0, 4, 7, 12};
  for (int i = 0; i < 4; ++i) s.Set(kV1Int1 + i, intervals[i]);
  auto strike = [&](int times) {
    std::vector<int> notes;
    for (int i = 0; i < times; ++i) {
      s.NoteOn(60, 100, 0);
      s.NoteOff(60, 100);
      for (int note : NotesOn(s.Run())) notes.push_back(note);
    }
    return notes;
  };
  EXPECT_EQ(strike(4), (std::vector<int>{64, 67, 72, 60}));
  s.Set(kV1Algo, kAlgoDown);
  EXPECT_EQ(strike(2), (std::vector<int>{67, 64}));
  s.Set(kV1Algo, kAlgoUp);
  s.Set(kV1Mute1 + 1, 1);  // a muted step is skipped but still taken
  EXPECT_EQ(strike(8), (std::vector<int>{67, 72, 60, 67, 72, 60}));
  s.Set(kV1Mute, 1);
  EXPECT_EQ(strike(2), (std::vector<int>{}));
  s.Set(kV1Mute, 0);
  EXPECT_EQ(strike(1), (std::vector<int>{72}));  // the muted voice kept moving
}

TEST(Pipeline, RandomRotatorsDrawAlternatelyFromTheConstructionState) {
  CyclochordSession s;
  s.Set(kMainMute, 1);
  s.Set(kParMute, 1);
  s.Set(kV1Chan, 2);
  s.Set(kV2Chan, 3);
  for (int i = 0; i < 4; ++i) {
    s.Set(kV1Int1 + i, i);
    s.Set(kV2Int1 + i, 10 + i);
  }
  s.Set(kV1Algo, kAlgoRandom);
  s.Set(kV2Algo, kAlgoRandom);
  std::vector<int> notes;
  for (int i = 0; i < 4; ++i) {
    s.NoteOn(60, 100, 0);
    s.NoteOff(60, 100);
    for (int note : NotesOn(s.Run())) notes.push_back(note);
  }
  EXPECT_EQ(notes, (std::vector<int>{63, 70, 62, 72, 61, 72, 60, 70}));
}

TEST(Pipeline, SnappingMovesGeneratedNotesAndTheirReleasesTogether) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kSnap, 1);
  s.NoteOn(61, 100, 0);
  EXPECT_EQ(Evs(s.Run()), (Evts{{0, 0, 0x90, 62, 100}}));
  s.Set(kSnap, 0);  // the sounding note still ends where it was sent
  s.NoteOff(61, 5);
  s.NoteOn(61, 100, 6);
  EXPECT_EQ(Evs(s.Run()), (Evts{{1, 5, 0x80, 62, 0}, {1, 6, 0x90, 61, 100}}));
}

TEST(Pipeline, ANoteOnWithVelocityZeroReleasesTheKey) {
  CyclochordSession s;
  s.Set(kParInt, 7);
  s.Set(kParVel, 10);  // a voice that would still sound for velocity 0 as a trigger
  s.Set(kV1Mute, 1);
  s.Set(kV2Mute, 1);
  s.NoteOn(60, 100, 0);
  s.Run();
  s.NoteOn(60, 0, 30);
  EXPECT_EQ(Evs(s.Run()), (Evts{{1, 30, 0x80, 60, 0}, {1, 30, 0x80, 67, 0}}));
}

TEST(Pipeline, NoteMessagesWithANoteNumberAbove127ChangeNothing) {
  CyclochordSession s;
  s.Set(kMainMute, 1);
  s.Set(kParMute, 1);
  s.Set(kV2Mute, 1);
  s.Set(kV1Int1 + 1, 4);
  s.host.SendMidi(0x90, 200, 100, 0);
  s.host.SendMidi(0x80, 130, 0, 0);
  s.host.SendMidi(0x90, 128, 0, 0);
  EXPECT_TRUE(s.Run().empty());
  s.NoteOn(60, 100, 0);  // the rotator did not step for the ignored messages
  EXPECT_EQ(NotesOn(s.Run()), (std::vector<int>{64}));
}

TEST(Pipeline, WithoutTimeInformationTheTransportStandsStill) {
  CyclochordSession s;
  s.MainOnly();
  s.NoteOn(60, 100, 0);
  s.Run();
  s.host.SetTimeInfoAvailable(false);
  s.NoteOn(61, 100, 0);
  EXPECT_EQ(Evs(s.Run(3)), (Evts{{1, 0, 0x80, 60, 0}}));
}

TEST(Pipeline, ABlockWithoutFramesIsNoStandstill) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kMnDelay, 14);  // 2756 samples
  s.NoteOn(60, 100, 0);
  s.NoteOn(62, 100, 0);
  s.Run(2);
  s.host.Process(0);
  s.NoteOff(62, 0);
  EXPECT_EQ(Evs(s.Run(4)), (Evts{{6, 196, 0x90, 60, 100}, {6, 196, 0x90, 62, 100}}));
}

TEST(Pipeline, EventsOutOfOrderOrBeyondTheBlockNeverEndANoteBeforeItStarts) {
  CyclochordSession s;
  s.MainOnly();
  s.NoteOn(60, 100, 100);
  s.NoteOff(60, 5);
  s.NoteOn(61, 100, 700);
  s.NoteOn(62, 100, -40);  // after 700 in delivery order
  EXPECT_EQ(Evs(s.Run()), (Evts{{0, 100, 0x90, 60, 100}, {0, 100, 0x80, 60, 0}}));
  s.NoteOff(61, 0);
  s.NoteOff(62, 0);
  EXPECT_EQ(Evs(s.Run()), (Evts{{1, 188, 0x90, 61, 100},
                                {1, 188, 0x90, 62, 100},
                                {1, 188, 0x80, 61, 0},
                                {1, 188, 0x80, 62, 0}}));
  s.NoteOn(63, 100, -40);
  EXPECT_EQ(Evs(s.Run()), (Evts{{2, 0, 0x90, 63, 100}}));
  s.NoteOn(64, 100, INT32_MAX);  // held at the largest block the host announced, 1024
  s.NoteOff(64, 0);
  EXPECT_TRUE(s.Run(2).empty());
  s.NoteOn(65, 100, 10);  // and holds back nothing after it
  EXPECT_EQ(Evs(s.Run()), (Evts{{5, 0, 0x90, 64, 100}, {5, 0, 0x80, 64, 0}, {5, 10, 0x90, 65, 100}}));
}

TEST(Pipeline, PreRollCrossingZeroAndPositionsPastTheInt32RangeKeepMoving) {
  for (double start : {-1024.0 - 0.25, 4294967296.0 - 1024.0}) {
    CyclochordSession s;
    s.MainOnly();
    s.Set(kMnDelay, 14);  // 2756 samples: the note is still queued when the position passes the boundary
    s.host.SetSamplePos(start);
    s.Run();
    const int triggerBlock = s.Block();
    s.NoteOn(60, 100, 0);
    const std::vector<MidiEvent> out = s.Run(8);
    ASSERT_EQ(out.size(), 1u) << start;
    EXPECT_EQ((out[0].block - triggerBlock) * 512 + out[0].offset, 2756) << start;
  }
}
