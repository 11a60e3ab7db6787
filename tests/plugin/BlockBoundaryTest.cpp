// Cyclochord through each format's wrapper against the plain engine model, over random sessions whose blocks
// divide the voices' delays, so that many events fall due exactly at a block's end; and every list it hands the
// host is in time order, whatever order the host's list had.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <random>
#include <vector>

#include "ClapEntry.h"
#include "ClapTestHost.h"
#include "CyclochordParams.h"
#include "EngineModel.h"
#include "IPluginBase.h"
#include "TestHost.h"
#include "VstEntry.h"

namespace {

struct HostEvent {
  int offset;
  uint8_t status, data1, data2;
};

struct HostTransport {
  double samplePos;
  double tempo;
  bool playing;
};

// One format as a host drives it: parameters between blocks, then a block with its events.
class FormatDriver {
 public:
  virtual ~FormatDriver() = default;
  virtual void SetParam(int paramIdx, double plainValue) = 0;
  // What the plug-in sent in the block; a broken format rule is a failure text.
  virtual std::vector<HostEvent> Block(const HostTransport& transport, const std::vector<HostEvent>& events,
                                       int frames, std::string* failure) = 0;
};

class VstDriver : public FormatDriver {
 public:
  VstDriver(float rate, int frames) {
    mEffect = mHost.Load(CreatePluginInstance);
    mHost.Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    mHost.Dispatch(effSetBlockSize, 0, frames);
  }
  void SetParam(int paramIdx, double plainValue) override {
    // The parameter's own range, as the host's normalised value.
    const IPluginBase* plug = VstPluginOf(mEffect);
    mHost.SetParameter(paramIdx, static_cast<float>(plug->GetParam(paramIdx)->NormalizeValue(plainValue)));
  }
  std::vector<HostEvent> Block(const HostTransport& transport, const std::vector<HostEvent>& events, int frames,
                               std::string*) override {
    mHost.SetTransport(transport.samplePos, transport.tempo, transport.playing);
    struct List {
      VstInt32 numEvents;
      VstIntPtr reserved;
      VstEvent* events[16];
    } list = {0, 0, {}};
    VstMidiEvent midi[16] = {};
    for (const HostEvent& e : events) {
      if (list.numEvents == 16) break;
      VstMidiEvent& m = midi[list.numEvents];
      m.type = kVstMidiType;
      m.byteSize = sizeof(VstMidiEvent);
      m.deltaFrames = e.offset;
      m.midiData[0] = static_cast<char>(e.status);
      m.midiData[1] = static_cast<char>(e.data1);
      m.midiData[2] = static_cast<char>(e.data2);
      list.events[list.numEvents++] = reinterpret_cast<VstEvent*>(&m);
    }
    if (!events.empty()) mHost.SendEvents(reinterpret_cast<VstEvents*>(&list));
    mHost.Process(frames);
    std::vector<HostEvent> out;
    for (const MidiEvent& e : mHost.TakeMidi()) out.push_back({e.offset, e.status, e.data1, e.data2});
    return out;
  }

 private:
  TestHost mHost;
  AEffect* mEffect = nullptr;
};

const clap_plugin_entry_t kLinkedClapEntry = {CLAP_VERSION, ClapEntryInit, ClapEntryDeinit, ClapEntryGetFactory};

// Parameters go in as events at the block's first frame, ahead of the notes, as CLAP hosts send automation.
class ClapDriver : public FormatDriver {
 public:
  ClapDriver(float rate, int frames) : mHost(&kLinkedClapEntry) {
    mHost.Load();
    mHost.Activate(rate, 1, static_cast<uint32_t>(frames));
    mHost.StartProcessing();
    mRate = rate;
  }
  void SetParam(int paramIdx, double plainValue) override {
    mPending.push_back(clap_test::ParamValueEvent(0, static_cast<clap_id>(paramIdx), plainValue));
  }
  std::vector<HostEvent> Block(const HostTransport& transport, const std::vector<HostEvent>& events, int frames,
                               std::string* failure) override {
    std::vector<clap_test::ClapEvent> in;
    in.swap(mPending);
    for (const HostEvent& e : events)
      in.push_back(clap_test::MidiEvent(static_cast<uint32_t>(e.offset), e.status, e.data1, e.data2));
    clap_event_transport_t t = {};
    t.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE | CLAP_TRANSPORT_HAS_SECONDS_TIMELINE |
              (transport.playing ? CLAP_TRANSPORT_IS_PLAYING : 0u);
    t.tempo = transport.tempo;
    const double seconds = transport.samplePos / mRate;
    t.song_pos_seconds = static_cast<clap_sectime>(std::llround(seconds * CLAP_SECTIME_FACTOR));
    t.song_pos_beats = static_cast<clap_beattime>(std::llround(seconds * transport.tempo / 60.0 * CLAP_BEATTIME_FACTOR));
    const clap_test::ProcessResult result = mHost.Process(static_cast<uint32_t>(frames), in, &t);
    for (const std::string& v : mHost.Violations()) *failure += v + "; ";
    mHost.ClearViolations();
    std::vector<HostEvent> out;
    for (const clap_test::ClapEvent& e : result.out) {
      if (!e.Is(CLAP_EVENT_MIDI)) continue;
      const auto& midi = e.As<clap_event_midi_t>();
      out.push_back({static_cast<int>(e.Header().time), midi.data[0], midi.data[1], midi.data[2]});
    }
    return out;
  }

 private:
  clap_test::ClapTestHost mHost;
  std::vector<clap_test::ClapEvent> mPending;
  double mRate = 44100.0;
};

enum class Format { kVst, kClap };

std::unique_ptr<FormatDriver> MakeDriver(Format format, float rate, int frames) {
  if (format == Format::kClap) return std::make_unique<ClapDriver>(rate, frames);
  return std::make_unique<VstDriver>(rate, frames);
}

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
  Session(Format format, const Setting& setting, unsigned seed)
      : mSetting(setting), mRandom(seed), mDriver(MakeDriver(format, setting.rate, setting.frames)) {
    mModel.SetSampleRate(setting.rate);
    mModel.SetMaxBlockSize(setting.frames);
    // Few keys and channels, so that voices meet on one key and cutoff avoidance and de-duplication fire.
    for (int voice = 0; voice < kNumVoices; ++voice) RandomVoice(static_cast<VoiceId>(voice));
  }

  // Plays blocks, comparing each with the model; returns false at the first difference, after printing it.
  bool Play(int blocks) {
    for (int block = 0; block < blocks; ++block) {
      if (Pick(0, 40) == 0) RandomVoice(static_cast<VoiceId>(Pick(0, kNumVoices - 1)));
      MoveTransport();
      const std::vector<HostEvent> events = MakeEvents();
      EngineTransport transport;
      transport.mSamplePos = mSamplePos;
      transport.mTempo = mTempo;
      transport.mPlaying = mPlaying;
      std::string failure;
      const std::vector<HostEvent> got = mDriver->Block({mSamplePos, mTempo, mPlaying}, events, mSetting.frames,
                                                        &failure);
      if (!failure.empty()) {
        std::printf("block %d: %s\n", block, failure.c_str());
        return false;
      }
      if (mPlaying) mSamplePos += mSetting.frames;
      const std::vector<NoteEvent> expected = mModel.Process(transport, mSetting.frames);
      if (!Compare(block, got, expected)) return false;
    }
    return true;
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mRandom); }

  void Set(int paramIdx, double value) { mDriver->SetParam(paramIdx, value); }

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
    if (roll == 1) mSamplePos = std::max(0.0, mSamplePos - mSetting.frames * Pick(1, 40));  // a loop
    if (roll == 2) mTempo = mTempo == mSetting.tempo ? mSetting.tempo / 2 : mSetting.tempo;
  }

  std::vector<HostEvent> MakeEvents() {
    std::vector<HostEvent> events;
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
      events.push_back({offset, status, data1, data2});
    }
    return events;
  }

  bool Compare(int block, const std::vector<HostEvent>& got, const std::vector<NoteEvent>& expected) {
    std::vector<NoteEvent> notes;
    int lastOffset = 0;
    for (const HostEvent& e : got) {
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
  std::unique_ptr<FormatDriver> mDriver;
  EngineModel mModel;
  double mSamplePos = 0.0;
  double mTempo = mSetting.tempo;
  bool mPlaying = true;
};

class BlockBoundary : public testing::TestWithParam<Format> {};

TEST_P(BlockBoundary, EveryEventComesOutWhereThePlainModelSendsItInTimeOrder) {
  for (const Setting& setting : kSettings) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
      Session session(GetParam(), setting, seed);
      ASSERT_TRUE(session.Play(400)) << setting.rate << " Hz, " << setting.tempo << " bpm, blocks of "
                                     << setting.frames << ", seed " << seed;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, BlockBoundary, testing::Values(Format::kVst, Format::kClap),
                         [](const testing::TestParamInfo<Format>& param) {
                           return param.param == Format::kVst ? "Vst" : "Clap";
                         });

}  // namespace

// A hostile host's list out of time order: a pass-through message keeps its own offset and takes its place
// among the notes by it.
TEST(BlockBoundaryVst, PassThroughTakesItsPlaceAmongTheNotesByOffset) {
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
