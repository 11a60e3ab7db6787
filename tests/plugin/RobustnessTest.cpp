// Long seeded sessions with well-behaved and hostile hosts: the output stays valid and nothing is left sounding.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "CyclochordSession.h"

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Follows the host's view of the output: which (channel, note) pairs sound, and whether every event is valid.
struct OutputCheck {
  std::map<int, int> framesOfBlock;
  std::set<std::pair<int, int>> sounding;
  int noteOns = 0;

  void Process(CyclochordSession& s, int frames) {
    framesOfBlock[s.host.Block()] = frames;
    s.host.Process(frames);
    for (const MidiEvent& e : s.host.TakeMidi()) Check(e);
  }

  void Check(const MidiEvent& e) {
    const int kind = e.status >> 4;
    if (kind != 8 && kind != 9) return;  // passed on as the host sent it
    ASSERT_TRUE(framesOfBlock.count(e.block)) << "notes are sent only while processing";
    ASSERT_GE(e.offset, 0);
    ASSERT_LT(e.offset, framesOfBlock[e.block]);
    ASSERT_LT(e.data1, 128);
    if (kind == 9) {
      ASSERT_GE(e.data2, 1);
      ASSERT_LE(e.data2, 127);
      sounding.insert({e.Channel(), e.data1});
      ++noteOns;
    } else {
      ASSERT_EQ(e.data2, 0);
      sounding.erase({e.Channel(), e.data1});
    }
  }
};

struct Dice {
  std::mt19937 random;
  explicit Dice(unsigned seed) : random(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); }
  bool Chance(double p) { return Real(0, 1) < p; }
  template <typename T, size_t N>
  T Pick(const T (&values)[N]) {
    return values[size_t(Int(0, int(N) - 1))];
  }
};

void RandomParameter(CyclochordSession& s, Dice& dice) {
  const int idx = dice.Int(0, 45);
  const float values[] = {0.0f, 1.0f, -0.5f, 1.5f, std::nanf("")};
  s.host.SetParameter(idx, dice.Chance(0.8) ? static_cast<float>(dice.Real(0, 1)) : dice.Pick(values));
}
}  // namespace

TEST(Robustness, AHostileHostNeverGetsAnInvalidNoteAndAStopEndsEverything) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    Dice dice(seed);
    CyclochordSession s;
    OutputCheck check;
    const double tempos[] = {120, 60, 0, -5, kNaN, kInf, 1e9, 1e-300, 5e-324, 33.3};
    const float rates[] = {44100, 48000, 96000, 1, 1e9f, 0, -1, std::nanf("")};
    const int offsets[] = {-1, -100000, INT32_MIN, INT32_MAX, 512, 513, 100000, 2000000000};
    const double positions[] = {0, -3, 1e15, -1e15, kNaN, kInf, 4294967296.0, 1e300};
    const int blockSizes[] = {0, 1, 64, 512, 512, 512, 2048, 4097};
    for (int step = 0; step < 6000; ++step) {
      const int roll = dice.Int(0, 99);
      const int offset = dice.Chance(0.9) ? dice.Int(0, 600) : dice.Pick(offsets);
      const uint8_t channel = static_cast<uint8_t>(dice.Int(0, 15));
      if (roll < 35) {
        const uint8_t velocity = static_cast<uint8_t>(dice.Chance(0.1) ? dice.Int(0, 255) : dice.Int(1, 127));
        s.host.SendMidi(0x90 | channel, static_cast<uint8_t>(dice.Int(0, 140)), velocity, offset);
      } else if (roll < 60) {
        s.host.SendMidi(0x80 | channel, static_cast<uint8_t>(dice.Int(0, 140)), 64, offset);
      } else if (roll < 64) {
        s.host.SendMidi(0xB0 | channel, dice.Chance(0.5) ? 123 : 64, 0, offset);
      } else if (roll < 66) {
        s.host.SendMidi(0xE0 | channel, 0, 64, offset);
      } else if (roll < 71) {
        RandomParameter(s, dice);
      } else if (roll < 73) {
        s.host.SetTempo(dice.Chance(0.7) ? dice.Real(20, 300) : dice.Pick(tempos));
      } else if (roll < 74) {
        s.host.Dispatch(effSetSampleRate, 0, 0, nullptr, dice.Pick(rates));
      } else if (roll < 75) {
        s.host.Dispatch(effSetBlockSize, 0, dice.Pick(blockSizes));
      } else if (roll < 78) {
        switch (dice.Int(0, 3)) {
          case 0: s.host.SetPlaying(dice.Chance(0.8)); break;
          case 1: s.host.SetSamplePos(dice.Chance(0.8) ? dice.Real(-1e6, 1e10) : dice.Pick(positions)); break;
          case 2: s.host.SetTimeInfoAvailable(dice.Chance(0.9)); break;
          default: s.host.Dispatch(effMainsChanged, 0, dice.Int(0, 1)); break;
        }
      } else {
        check.Process(s, dice.Chance(0.8) ? dice.Pick(blockSizes) : dice.Int(1, 3000));
      }
      if (HasFatalFailure()) return;
    }
    EXPECT_GT(check.noteOns, 300);
    s.host.SetTimeInfoAvailable(true);
    s.host.SetPlaying(false);
    check.Process(s, 512);
    EXPECT_TRUE(check.sounding.empty()) << check.sounding.size() << " notes left sounding";
  }
}

TEST(Robustness, ReleasingEveryKeyEndsEveryNoteWithoutATransportStop) {
  for (unsigned seed = 11; seed <= 16; ++seed) {
    SCOPED_TRACE(seed);
    Dice dice(seed);
    CyclochordSession s;
    OutputCheck check;
    s.host.SetTempo(dice.Real(60, 240));
    for (int block = 0; block < 1500; ++block) {
      if (dice.Chance(0.2)) RandomParameter(s, dice);
      std::vector<int> offsets(size_t(dice.Int(0, 6)));
      for (int& o : offsets) o = dice.Int(0, 511);
      std::sort(offsets.begin(), offsets.end());
      for (int o : offsets) {
        const uint8_t note = static_cast<uint8_t>(dice.Int(36, 84));
        const uint8_t channel = static_cast<uint8_t>(dice.Int(0, 1));
        if (dice.Chance(0.55))
          s.host.SendMidi(0x90 | channel, note, static_cast<uint8_t>(dice.Chance(0.1) ? 0 : dice.Int(1, 127)), o);
        else
          s.host.SendMidi(0x80 | channel, note, 0, o);
      }
      check.Process(s, 512);
      if (HasFatalFailure()) return;
    }
    for (int note = 0; note < 128; ++note) s.NoteOff(note, 0);
    for (int block = 0; block < 400; ++block) check.Process(s, 512);  // past the longest delay at 60 bpm
    EXPECT_GT(check.noteOns, 500);
    EXPECT_TRUE(check.sounding.empty()) << check.sounding.size() << " notes left sounding";
  }
}

TEST(Robustness, AFloodThatOverfillsTheQueueLosesNoReleaseAndLeavesNothingSounding) {
  CyclochordSession s;
  OutputCheck check;
  ConfigureFlood(s);
  for (int block = 0; block < 6000; ++block) {  // 4.4 seconds
    SendFloodBlock(s, block);
    check.Process(s, 32);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(s.plug->PendingNoteEvents(), 5000) << "the queue stays nearly full while the flood lasts";
  for (int note = 0; note < 128; ++note) s.NoteOff(note, 0);
  for (int block = 0; block < 200; ++block) check.Process(s, 512);  // past the longest delay, 1/1
  EXPECT_GT(check.noteOns, 10000);
  EXPECT_TRUE(check.sounding.empty()) << check.sounding.size() << " notes left sounding";
}

TEST(Robustness, AbsurdTemposStillGiveUsableDelays) {
  CyclochordSession s;
  s.MainOnly();
  s.Set(kMnDelay, 1);  // 1/1
  s.host.SetTempo(1e9);  // four beats take no time at all
  s.Run();
  s.NoteOn(60, 100, 7);
  EXPECT_EQ(Evs(s.Run()), (std::vector<Ev>{{1, 7, 0x90, 60, 100}}));
  int note = 61;
  for (double tempo : {0.0, -60.0, kNaN}) {  // the host's default, 120, stands in
    s.host.SetTempo(tempo);
    s.Run();
    const int triggerBlock = s.Block();
    s.NoteOn(note, 100, 0);
    const std::vector<MidiEvent> out = s.Run(200);
    ASSERT_EQ(out.size(), 1u) << tempo;
    EXPECT_EQ((out[0].block - triggerBlock) * 512 + out[0].offset, 88200) << tempo;
    ++note;
  }
  s.host.SetTempo(1e-300);  // the delay saturates instead of wrapping into the past
  s.Run();
  s.NoteOn(70, 100, 0);
  s.NoteOff(70, 10);
  EXPECT_TRUE(s.Run(50).empty());
  s.host.SetPlaying(false);
  std::vector<int> ended;
  for (const MidiEvent& e : s.Run()) ended.push_back(e.IsNoteOff() ? e.data1 : -1);
  EXPECT_EQ(ended, (std::vector<int>{60, 61, 62, 63}));
}
