// The activity word the editor's lights show: voices with notes sounding, and each rotator's next interval as
// the next trigger really plays it.
#include <gtest/gtest.h>

#include <vector>

#include "VoiceActivity.h"

namespace {

struct Recorder final : NoteSink {
  VoiceActivity* activity;
  std::vector<NoteEvent> events;
  explicit Recorder(VoiceActivity* a) : activity(a) {}
  void Send(const NoteEvent& event) override {
    events.push_back(event);
    activity->Note(event);
  }
};

struct Rig {
  VoicingEngine engine;
  VoiceActivity activity;
  Recorder sink{&activity};
  EngineTransport transport;
  int64_t position = 0;

  Rig() {
    transport.mPlaying = true;
    for (int v = 0; v < kNumVoices; ++v) engine.SetChannel(static_cast<VoiceId>(v), v);
  }
  uint32_t Block(int frames = 256) {
    transport.mSamplePos = double(position);
    engine.Process(transport, frames, sink);
    position += frames;
    activity.Publish(engine);
    return activity.Read();
  }
  int NextInterval(int rotator) {
    const uint32_t word = activity.Read();
    int found = -1;
    for (int i = 0; i < 4; ++i)
      if (word & VoiceActivity::NextIntervalBit(rotator, i)) {
        EXPECT_EQ(found, -1) << "two next intervals";
        found = i;
      }
    return found;
  }
};

constexpr uint32_t kAllSounding = 0xF;

}  // namespace

TEST(VoiceActivity, PredictedNextIntervalIsTheOneTheTriggerPlays) {
  // Random draws for both rotators from one stream, the first rotator first: both predictions must hold.
  const int algorithms[][2] = {{kAlgoUp, kAlgoDown},       {kAlgoUpDown, kAlgoZigZag}, {kAlgoRandom, kAlgoRandom},
                               {kAlgoRandom, kAlgoUp},     {kAlgoZigZag, kAlgoRandom}};
  for (const auto& a : algorithms) {
    Rig rig;
    rig.engine.SetAlgorithm(kRotator1, a[0]);
    rig.engine.SetAlgorithm(kRotator2, a[1]);
    rig.Block();
    for (int n = 0; n < 16; ++n) {
      const int predicted[2] = {rig.NextInterval(0), rig.NextInterval(1)};
      rig.engine.NoteOn(60, 100, 0);
      EXPECT_EQ(rig.engine.GetVoice(kRotator1).mIndex, predicted[0]) << a[0] << "/" << a[1] << " trigger " << n;
      EXPECT_EQ(rig.engine.GetVoice(kRotator2).mIndex, predicted[1]) << a[0] << "/" << a[1] << " trigger " << n;
      rig.Block();
      rig.engine.NoteOff(60, 0);
      rig.Block();
    }
  }
}

TEST(VoiceActivity, LightsFollowSoundingNotes) {
  struct Case {
    const char* name;
    void (*setup)(VoicingEngine&);
    uint32_t whileHeld;
  } cases[] = {
      {"every voice", [](VoicingEngine&) {}, kAllSounding},
      {"muted rotator", [](VoicingEngine& e) { e.SetMute(kRotator2, true); }, 0x7},
      {"muted voice and parallel", [](VoicingEngine& e) {
         e.SetMute(kMainVoice, true);
         e.SetMute(kParallelVoice, true);
       }, 0xC},
      // Two voices on one key and channel make one note: the one that sent it sounds.
      {"shared key", [](VoicingEngine& e) { e.SetChannel(kParallelVoice, 0); }, 0xD},
  };
  for (const Case& c : cases) {
    Rig rig;
    c.setup(rig.engine);
    EXPECT_EQ(rig.Block() & kAllSounding, 0u) << c.name;
    rig.engine.NoteOn(60, 100, 10);
    EXPECT_EQ(rig.Block() & kAllSounding, c.whileHeld) << c.name;
    rig.engine.NoteOff(60, 10);
    EXPECT_EQ(rig.Block() & kAllSounding, 0u) << c.name;
  }
}

TEST(VoiceActivity, DelayedVoiceLightsWhenItsNoteStartsAndAStopDarkensAll) {
  Rig rig;
  rig.engine.SetDelay(kRotator1, 3);  // a quarter note or so: far beyond one block
  rig.engine.NoteOn(60, 100, 0);
  EXPECT_EQ(rig.Block() & kAllSounding, 0xBu);
  int blocks = 0;
  while (!(rig.Block() & VoiceActivity::SoundingBit(kRotator1)) && blocks < 1000) ++blocks;
  EXPECT_LT(blocks, 1000);
  // The key is still held when the transport stops: every sounding note ends, and so do the lights.
  rig.transport.mPlaying = false;
  EXPECT_EQ(rig.Block() & kAllSounding, 0u);
  // All Notes Off on one channel darkens only the voice sounding there.
  rig.transport.mPlaying = true;
  rig.engine.SetDelay(kRotator1, 0);
  rig.engine.NoteOn(62, 100, 0);
  EXPECT_EQ(rig.Block() & kAllSounding, kAllSounding);
  rig.engine.AllNotesOff(1, 0);
  EXPECT_EQ(rig.Block() & kAllSounding, 0xDu);
}

TEST(VoiceActivity, SoundingOutputIsUnchangedByTheTags) {
  // The tag travels with a note-on only; what the sink receives is otherwise the same as before.
  Rig rig;
  rig.engine.NoteOn(60, 100, 5);
  rig.Block();
  ASSERT_EQ(rig.sink.events.size(), 4u);
  for (int v = 0; v < kNumVoices; ++v) {
    EXPECT_EQ(rig.sink.events[size_t(v)].mVoice, v);
    EXPECT_EQ(rig.sink.events[size_t(v)].Channel(), v);
  }
  rig.engine.NoteOff(60, 5);
  rig.Block();
  for (size_t i = 4; i < rig.sink.events.size(); ++i) EXPECT_EQ(rig.sink.events[i].mVoice, kNoVoiceTag);
}
