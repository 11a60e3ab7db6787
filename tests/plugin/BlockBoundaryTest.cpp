// Cyclochord through its AEffect against the plain engine model, over random sessions whose blocks divide the
// voices' delays, so that many events fall due exactly at a block's end; and every list it hands the host is
// in time order, whatever order the host's list had.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <random>
#include <vector>

#include "CyclochordParams.h"
#include "EngineModel.h"
#include "IPluginBase.h"
#include "VstEntry.h"
#include "TestHost.h"
#include "VstEntry.h"

namespace {

struct Setting {
  float rate;
  double tempo;
  int frames;
};

// Block sizes that divide whole, half and quarter beats at these rates and tempos.
const Setting kSettings[] = {{48000, 120, 500}, {48000, 60, 500}, {44100, 120, 735},
                             {44100, 60, 735},  {96000, 120, 128}, {44100, 120, 64}};

// Delays that mostly land on block ends: "--off--", 1/1, 1/2, 1/4, 1/8, 1/16, 1/32, and a few that do not.
const int kDelays[] = {0, 0, 1, 3, 5, 8, 8, 11, 14, 7, 13, 16};

class Session {
 public:
  Session(const Setting& setting, unsigned seed) : mSetting(setting), mRandom(seed) {
    mEffect = mHost.Load(CreatePluginInstance);
    mHost.Dispatch(effSetSampleRate, 0, 0, nullptr, setting.rate);
    mHost.Dispatch(effSetBlockSize, 0, setting.frames);
    mModel.SetSampleRate(setting.rate);
    mModel.SetMaxBlockSize(setting.frames);
    mHost.SetTransport(0, setting.tempo, true);
    // Few keys and channels, so that voices meet on one key and cutoff avoidance and de-duplication fire.
    for (int voice = 0; voice < kNumVoices; ++voice) RandomVoice(static_cast<VoiceId>(voice));
  }

  // Plays blocks, comparing each with the model; returns false at the first difference, after printing it.
  bool Play(int blocks) {
    for (int block = 0; block < blocks; ++block) {
      if (Pick(0, 40) == 0) RandomVoice(static_cast<VoiceId>(Pick(0, kNumVoices - 1)));
      MoveTransport();
      SendEvents();
      EngineTransport transport;
      transport.mSamplePos = mHost.SamplePos();
      transport.mTempo = mTempo;
      transport.mPlaying = mPlaying;
      mHost.Process(mSetting.frames);
      const std::vector<NoteEvent> expected = mModel.Process(transport, mSetting.frames);
      if (!Compare(block, mHost.TakeMidi(), expected)) return false;
    }
    return true;
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mRandom); }

  void Set(int paramIdx, double value) {
    // The parameter's own range, as the host's normalised value.
    const auto* plug = static_cast<IPluginBase*>(VstPluginOf(mEffect));
    mHost.SetParameter(paramIdx, static_cast<float>(plug->GetParam(paramIdx)->NormalizeValue(value)));
  }

  void RandomVoice(VoiceId voice) {
    static const int kChannel[] = {kMainChan, kParChan, kV1Chan, kV2Chan};
    static const int kMute[] = {kMainMute, kParMute, kV1Mute, kV2Mute};
    static const int kDelay[] = {kMnDelay, kPDelay, kV1Delay, kV2Delay};
    const int channel = Pick(0, 1), delay = kDelays[Pick(0, static_cast<int>(std::size(kDelays)) - 1)];
    const bool mute = Pick(0, 5) == 0;
    Set(kChannel[voice], channel + 1);
    mModel.SetChannel(voice, channel);
    Set(kMute[voice], mute);
    mModel.SetMute(voice, mute);
    Set(kDelay[voice], delay);
    mModel.SetDelay(voice, delay);
    if (voice == kMainVoice) return;
    const int velocity = Pick(-30, 30);
    Set(voice == kParallelVoice ? kParVel : voice == kRotator1 ? kV1Vel : kV2Vel, velocity);
    mModel.SetVelocityOffset(voice, velocity);
    if (voice == kParallelVoice) {
      const int interval = Pick(-1, 1) * 12 * Pick(0, 1);
      Set(kParInt, interval);
      mModel.SetInterval(voice, 0, interval);
      return;
    }
    const int firstInterval = voice == kRotator1 ? kV1Int1 : kV2Int1;
    const int firstMute = voice == kRotator1 ? kV1Mute1 : kV2Mute1;
    for (int i = 0; i < 4; ++i) {
      const int interval = Pick(0, 2) == 0 ? 0 : Pick(-12, 12);
      const bool intervalMute = Pick(0, 7) == 0;
      Set(firstInterval + i, interval);
      mModel.SetInterval(voice, i, interval);
      Set(firstMute + i, intervalMute);
      mModel.SetIntervalMute(voice, i, intervalMute);
    }
    const int algorithm = Pick(0, kNumAlgorithms - 1);
    Set(voice == kRotator1 ? kV1Algo : kV2Algo, algorithm);
    mModel.SetAlgorithm(voice, algorithm);
  }

  void MoveTransport() {
    const int roll = Pick(0, 199);
    if (roll == 0) mPlaying = !mPlaying;
    if (roll == 1) mHost.SetSamplePos(mHost.SamplePos() - mSetting.frames * Pick(1, 40));  // a loop
    if (roll == 2) mTempo = mTempo == mSetting.tempo ? mSetting.tempo / 2 : mSetting.tempo;
    mHost.SetPlaying(mPlaying);
    mHost.SetTempo(mTempo);
  }

  void SendEvents() {
    struct List {
      VstInt32 numEvents;
      VstIntPtr reserved;
      VstEvent* events[8];
    } list = {0, 0, {}};
    VstMidiEvent midi[8] = {};
    const int count = Pick(0, 3) == 0 ? Pick(0, 8) : Pick(0, 2);
    int offset = 0;
    for (int i = 0; i < count; ++i) {
      const int shape = Pick(0, 19);
      // Mostly in order inside the block; sometimes out of order, at its end or beyond it.
      if (shape == 0)
        offset = Pick(0, mSetting.frames - 1);
      else if (shape == 1)
        offset = mSetting.frames + Pick(0, 2 * mSetting.frames);
      else
        offset = std::min(offset + Pick(0, 60), mSetting.frames);
      const int note = 58 + Pick(0, 5), kind = Pick(0, 19);
      uint8_t status = 0x90, data1 = static_cast<uint8_t>(note);
      uint8_t data2 = static_cast<uint8_t>(Pick(0, 10) == 0 ? 0 : Pick(1, 127));
      if (kind < 7) {
        status = 0x80;
        data2 = 0;
        mModel.NoteOff(note, offset);
      } else if (kind == 7) {
        status = static_cast<uint8_t>(0xB0 | Pick(0, 1));
        data1 = 123;
        data2 = 0;
        mModel.AllNotesOff(status & 0x0F, offset);
      } else if (kind == 8) {
        status = 0xE0;  // pitch bend passes through
      } else {
        mModel.NoteOn(note, data2, offset);
      }
      midi[i].type = kVstMidiType;
      midi[i].byteSize = sizeof(VstMidiEvent);
      midi[i].deltaFrames = offset;
      midi[i].midiData[0] = static_cast<char>(status);
      midi[i].midiData[1] = static_cast<char>(data1);
      midi[i].midiData[2] = static_cast<char>(data2);
      list.events[list.numEvents++] = reinterpret_cast<VstEvent*>(&midi[i]);
    }
    if (count > 0) mHost.SendEvents(reinterpret_cast<VstEvents*>(&list));
  }

  bool Compare(int block, const std::vector<MidiEvent>& got, const std::vector<NoteEvent>& expected) {
    std::vector<NoteEvent> notes;
    int lastOffset = 0;
    for (const MidiEvent& e : got) {
      if (e.offset < lastOffset || e.offset >= mSetting.frames) {
        std::printf("block %d: offset %d out of order or outside the block\n", block, e.offset);
        return false;
      }
      lastOffset = e.offset;
      if ((e.status & 0xE0) == 0x80) notes.push_back({e.offset, e.status, e.data1, e.data2});
    }
    const size_t common = std::min(notes.size(), expected.size());
    size_t i = 0;
    while (i < common && notes[i].mOffset == expected[i].mOffset && notes[i].mStatus == expected[i].mStatus &&
           notes[i].mNote == expected[i].mNote && notes[i].mVelocity == expected[i].mVelocity)
      ++i;
    if (i == notes.size() && i == expected.size()) return true;
    auto describe = [](const std::vector<NoteEvent>& v, size_t at) {
      char text[64] = "nothing";
      if (at < v.size())
        std::snprintf(text, sizeof text, "%02X %d %d @%d", v[at].mStatus, v[at].mNote, v[at].mVelocity,
                      v[at].mOffset);
      return std::string(text);
    };
    std::printf("block %d, event %zu: sent %s, expected %s\n", block, i, describe(notes, i).c_str(),
                describe(expected, i).c_str());
    return false;
  }

  const Setting mSetting;
  std::mt19937 mRandom;
  TestHost mHost;
  AEffect* mEffect = nullptr;
  EngineModel mModel;
  double mTempo = mSetting.tempo;
  bool mPlaying = true;
};

}  // namespace

TEST(BlockBoundary, EveryEventComesOutWhereThePlainModelSendsItInTimeOrder) {
  for (const Setting& setting : kSettings) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
      Session session(setting, seed);
      ASSERT_TRUE(session.Play(400)) << setting.rate << " Hz, " << setting.tempo << " bpm, blocks of "
                                     << setting.frames << ", seed " << seed;
    }
  }
}

// A hostile host's list out of time order: a pass-through message keeps its own offset and takes its place
// among the notes by it.
TEST(BlockBoundary, PassThroughTakesItsPlaceAmongTheNotesByOffset) {
  TestHost host;
  host.Load(CreatePluginInstance);
  host.SetTransport(0, 120, true);
  host.Process(64);
  host.SendMidi(0xE0, 0, 64, 12);
  host.SendMidi(0x90, 60, 100, 10);
  host.SendMidi(0x90, 62, 100, 11);
  host.SendMidi(0xE0, 0, 64, 3);
  host.Process(64);
  std::vector<int> offsets;
  for (const MidiEvent& e : host.TakeMidi()) offsets.push_back(e.offset);
  EXPECT_EQ(offsets, (std::vector<int>{3, 10, 11, 12}));
}
