// The engine against its plain model: random sessions drive both with the same settings, messages and
// transport, and every block's events must match one by one. A mismatch names the family, seed and block, and
// replays the session with the last few blocks' operations printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "EngineModel.h"
#include "VoicingEngine.h"

namespace {

struct Family {
  const char* name;
  int sessions;
  int blocks;
  int capacity;          // queue capacity
  int keys;              // trigger notes in play
  bool unison;           // voices share channel, delay and interval, so they collide
  bool grid;             // block sizes that divide the delays
  int transportChaos;    // percent of blocks that stop, locate, loop, stand still or change tempo
  bool messy;            // unsorted and out-of-block offsets, All Notes Off, velocity 0, bad notes
  bool flood;            // one key struck dozens of times per block
};

constexpr double kInf = std::numeric_limits<double>::infinity();

// gtest names a failing family by this rather than by its bytes.
void PrintTo(const Family& family, std::ostream* os) { *os << family.name; }

// Small queue: 64 records beyond the silencing reserve.
constexpr int kSmallQueue = NoteTracker::kSilencingReserve + 64;

const Family kFamilies[] = {
    {"Plain", 250, 300, NoteTracker::kDefaultCapacity, 8, false, false, 3, false, false},
    {"Unison", 250, 300, NoteTracker::kDefaultCapacity, 2, true, false, 3, false, false},
    {"Grid", 150, 400, NoteTracker::kDefaultCapacity, 4, false, true, 1, false, false},
    {"Transport", 250, 300, NoteTracker::kDefaultCapacity, 6, false, false, 30, false, false},
    {"Messy", 250, 300, NoteTracker::kDefaultCapacity, 6, false, false, 8, true, false},
    {"Crowded", 200, 300, kSmallQueue, 5, false, false, 3, true, false},
    {"Flood", 60, 200, NoteTracker::kDefaultCapacity, 2, true, false, 2, false, true},
};

class Collect final : public NoteSink {
 public:
  void Send(const NoteEvent& event) override { events.push_back(event); }
  std::vector<NoteEvent> events;
};

class Session {
 public:
  // traceFrom: blocks from this one on print their operations (-1: silent).
  Session(const Family& family, uint64_t seed, int traceFrom = -1)
      : mFamily(family), mSeed(seed), mRng(seed), mEngine(family.capacity), mModel(family.capacity),
        mTraceFrom(traceFrom) {}

  // Empty when every block matched, else what differed first.
  std::string Run() {
    Setup();
    for (mBlock = 0; mBlock < mFamily.blocks; ++mBlock) {
      if (Chance(5)) ChangeSettings(1 + Below(3));
      Messages();
      const std::string failure = ProcessBlock();
      if (!failure.empty()) return failure;
    }
    return "";
  }

  const EngineModel::Stats& Stats() const { return mModel.GetStats(); }
  int Block() const { return mBlock; }

 private:
  // ---- Random choices ----
  int Below(int n) { return static_cast<int>(mRng() % static_cast<uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T, size_t N>
  T Pick(const T (&values)[N]) {
    return values[Below(static_cast<int>(N))];
  }

  bool Tracing() const { return mTraceFrom >= 0 && mBlock >= mTraceFrom; }
  void Trace(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (!Tracing()) return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
  }

  // A replay also shows where the two queues part.
  void TracePending() {
    if (Tracing() && mEngine.NumPending() != mModel.NumPending())
      Trace("    pending: engine %d, model %d\n", mEngine.NumPending(), mModel.NumPending());
  }

// The same call on engine and model, printed in a replay.
#define BOTH(call, ...)      \
  do {                       \
    Trace("  " __VA_ARGS__); \
    mEngine.call;            \
    mModel.call;             \
    TracePending();          \
  } while (0)

  // ---- Settings ----
  void Setup() {
    const double rate = mFamily.grid ? Pick({48000.0, 44100.0, 96000.0}) : Pick({44100.0, 48000.0, 96000.0, 22050.0});
    BOTH(SetSampleRate(rate), "SetSampleRate(%g)\n", rate);
    if (mFamily.grid) {
      mGridBlock = rate == 48000.0 ? 500 : (rate == 44100.0 ? 735 : 128);
      mTempo = Pick({120.0, 60.0});
    }
    mMaxBlock = mFamily.grid ? mGridBlock : Pick({64, 256, 512, 1024, 2048});
    BOTH(SetMaxBlockSize(mMaxBlock), "SetMaxBlockSize(%d)\n", mMaxBlock);
    if (mFamily.unison) {
      const int channel = Below(3);
      // Flooding needs notes that wait long, or the key's records drain before they pile up.
      const int delay = mFamily.flood ? Pick({1, 2, 3, 5}) : Pick({0, 0, 5, 8, 11, 16, 1});
      for (int v = 0; v < kNumVoices; ++v) {
        const VoiceId voice = VoiceId(v);
        BOTH(SetChannel(voice, channel), "SetChannel(%d, %d)\n", voice, channel);
        BOTH(SetDelay(voice, delay), "SetDelay(%d, %d)\n", voice, delay);
      }
      for (const VoiceId rotator : {kRotator1, kRotator2}) {
        for (int i = 0; i < Voice::kMaxIntervals; ++i) {
          const int semitones = Chance(80) ? 0 : 12;
          BOTH(SetInterval(rotator, i, semitones), "SetInterval(%d, %d, %d)\n", rotator, i, semitones);
        }
        const int algorithm = Below(kNumAlgorithms);
        BOTH(SetAlgorithm(rotator, algorithm), "SetAlgorithm(%d, %d)\n", rotator, algorithm);
      }
    } else {
      ChangeSettings(25);
    }
    for (int k = 0; k < mFamily.keys; ++k) mKeys.push_back(Between(0, 4) == 0 ? Below(128) : Between(55, 67));
  }

  void ChangeSettings(int count) {
    for (int i = 0; i < count; ++i) {
      const VoiceId voice = VoiceId(Below(kNumVoices));
      const VoiceId rotator = Chance(50) ? kRotator1 : kRotator2;
      const int index = Below(Voice::kMaxIntervals);
      const bool on = Chance(25);
      switch (Below(mFamily.unison ? 6 : 12)) {
        case 0: BOTH(SetMute(voice, on), "SetMute(%d, %d)\n", voice, on); break;
        case 1: {
          const int algorithm = Below(kNumAlgorithms);
          BOTH(SetAlgorithm(rotator, algorithm), "SetAlgorithm(%d, %d)\n", rotator, algorithm);
          break;
        }
        case 2: BOTH(SetIntervalMute(rotator, index, on), "SetIntervalMute(%d, %d, %d)\n", rotator, index, on); break;
        case 3: {
          // In unison every voice keeps one delay, so voices keep colliding.
          const int delay = Below(kNumDelayDivisions);
          for (int v = 0; v < kNumVoices; ++v) {
            const VoiceId each = mFamily.unison ? VoiceId(v) : voice;
            BOTH(SetDelay(each, delay), "SetDelay(%d, %d)\n", each, delay);
          }
          break;
        }
        case 4: {
          const int channel = mFamily.unison ? Below(2) : Below(16);
          BOTH(SetChannel(voice, channel), "SetChannel(%d, %d)\n", voice, channel);
          break;
        }
        case 5:
        case 6: {
          // Mostly unisons and octaves, so that rotators land on other voices' notes.
          const VoiceId target = !mFamily.unison && Chance(30) ? kParallelVoice : rotator;
          const int at = target == kParallelVoice ? 0 : index;
          const int semitones = mFamily.unison || Chance(50) ? Pick({0, 0, 12}) : Between(-24, 24);
          BOTH(SetInterval(target, at, semitones), "SetInterval(%d, %d, %d)\n", target, at, semitones);
          break;
        }
        case 7: {
          const VoiceId target = voice == kMainVoice ? kParallelVoice : voice;
          const int offset = Between(-30, 30);
          BOTH(SetVelocityOffset(target, offset), "SetVelocityOffset(%d, %d)\n", target, offset);
          break;
        }
        case 8: BOTH(SetSnap(on), "SetSnap(%d)\n", on); break;
        case 9: {
          const int scale = Below(kNumScales);
          BOTH(SetScale(scale), "SetScale(%d)\n", scale);
          break;
        }
        case 10: {
          const int tonic = Below(kNumPitchClasses);
          BOTH(SetTonic(tonic), "SetTonic(%d)\n", tonic);
          break;
        }
        default:
          if (!mFamily.grid) {
            const double rate = Pick({44100.0, 48000.0, 88200.0, 44100.5});
            BOTH(SetSampleRate(rate), "SetSampleRate(%g)\n", rate);
          }
          break;
      }
    }
  }

  int Key() { return mKeys[static_cast<size_t>(Below(static_cast<int>(mKeys.size())))]; }

  int32_t Offset() {
    if (!mFamily.messy) return mFamily.grid && Chance(60) ? 0 : Below(std::max(mFrames, 1));
    switch (Below(10)) {
      case 0: return Between(-100, -1);
      case 1: return Between(mMaxBlock, mMaxBlock + 500);
      case 2: return Pick({INT32_MIN, INT32_MAX, mFrames, mFrames - 1, mMaxBlock});
      default: return Below(std::max(mFrames, 1));
    }
  }

  void Messages() {
    mFrames = NextFrames();
    if (mFamily.flood && Chance(30)) {
      // Restrikes at rising offsets pile a note-off and a note-on per strike onto the same output key.
      const int key = Key();
      const int strikes = Between(20, 70);
      for (int32_t i = 0; i < strikes; ++i) {
        if (Chance(10)) BOTH(NoteOff(key, i), "NoteOff(%d, %d)\n", key, i);
        const int velocity = Between(1, 127);
        BOTH(NoteOn(key, velocity, i), "NoteOn(%d, %d, %d)\n", key, velocity, i);
      }
      return;
    }
    const int count = Chance(40) ? 0 : Between(1, mFamily.messy ? 8 : 4);
    std::vector<int32_t> offsets;
    for (int i = 0; i < count; ++i) offsets.push_back(Offset());
    if (!mFamily.messy) std::sort(offsets.begin(), offsets.end());
    for (const int32_t offset : offsets) {
      // Messy input adds All Notes Off (0..7), velocity 0 (8..15), no notes at all (16..18) and a new largest
      // block (19..20) to the note-ons (21..59) and note-offs (60..99).
      const int kind = mFamily.messy ? Below(100) : 21 + Below(79);
      const bool noNote = kind >= 16 && kind < 19;
      const int note = noNote ? Pick({-1, 128, 200, INT32_MIN}) : Key();
      const int velocity = kind >= 8 && kind < 16 ? 0 : Between(1, 127);
      if (kind < 8) {
        const int channel = Below(16);
        BOTH(AllNotesOff(channel, offset), "AllNotesOff(%d, %d)\n", channel, offset);
      } else if (kind >= 19 && kind < 21) {
        mMaxBlock = Pick({16, 64, 256, 1024, 4096});
        BOTH(SetMaxBlockSize(mMaxBlock), "SetMaxBlockSize(%d)\n", mMaxBlock);
      } else if (noNote ? Chance(50) : kind < 60) {
        BOTH(NoteOn(note, velocity, offset), "NoteOn(%d, %d, %d)\n", note, velocity, offset);
      } else {
        BOTH(NoteOff(note, offset), "NoteOff(%d, %d)\n", note, offset);
      }
    }
  }

  // ---- The block ----
  int NextFrames() {
    if (mFamily.grid) return Chance(95) ? mGridBlock : Between(1, mGridBlock);
    if (mFamily.transportChaos >= 20 && Chance(25)) return Between(1, 7);
    if (Chance(50)) return Pick({32, 64, 128, 256, 512, 1024});
    return Between(1, 1024);
  }

  void MoveTransport() {
    if (!Chance(mFamily.transportChaos)) {
      if (!mPlaying && Chance(30)) mPlaying = true;
      return;
    }
    switch (Below(9)) {
      case 0: mPlaying = false; break;
      case 1: mPos = Below(10000000); break;                               // locate
      case 2: mPos = std::max(0.0, mPos - Between(1, 100000)); break;      // loop back
      case 3: mTempo = Pick({60.0, 90.0, 120.0, 140.0, 133.7, 0.0, -5.0, std::nan(""), kInf}); break;
      case 4: mStandStill = true; break;                                   // playing, but the same position
      case 5: mPosGlitch = Pick({std::nan(""), kInf, -kInf, 5e18, -4e18}); break;
      case 6: mPos += Pick({0.4, 0.5, -0.5, 0.49999999999999994, 1.5}); break;  // off-grid positions
      case 7: mPos = Pick({-1.0, -2.0, -1.5, -700.0}); break;              // pre-roll and the initial marks
      default: mZeroFrames = true; break;
    }
  }

  std::string ProcessBlock() {
    MoveTransport();
    EngineTransport transport;
    transport.mPlaying = mPlaying;
    transport.mTempo = mTempo;
    transport.mSamplePos = mPosGlitch != 0.0 ? mPosGlitch : mPos;
    int frames = mFrames;
    if (mZeroFrames) frames = Pick({0, -1, -512});
    Trace("block %d: Process(pos %.17g, tempo %g, playing %d, frames %d)\n", mBlock, transport.mSamplePos,
          transport.mTempo, transport.mPlaying, frames);

    Collect engineOut;
    mEngine.Process(transport, frames, engineOut);
    const std::vector<NoteEvent> modelOut = mModel.Process(transport, frames);
    for (size_t i = 0; Tracing() && i < std::max(engineOut.events.size(), modelOut.size()); ++i)
      Trace("    engine %-34s model %s\n", DescribeEvent(engineOut.events, long(i)).c_str(),
            DescribeEvent(modelOut, long(i)).c_str());

    char where[160];
    std::snprintf(where, sizeof(where), "family %s seed %" PRIu64 " block %d: ", mFamily.name, mSeed, mBlock);
    const long diff = FirstDifference(engineOut.events, modelOut);
    if (diff >= 0)
      return where + std::string("event ") + std::to_string(diff) + ": engine " +
             DescribeEvent(engineOut.events, diff) + ", model " + DescribeEvent(modelOut, diff);
    if (!mEngine.IsConsistent()) return where + std::string("engine inconsistent");
    if (mEngine.NumPending() != mModel.NumPending())
      return where + std::string("pending: engine ") + std::to_string(mEngine.NumPending()) + ", model " +
             std::to_string(mModel.NumPending());

    if (!mZeroFrames && mPlaying && !mStandStill) mPos += frames;
    mStandStill = false;
    mZeroFrames = false;
    mPosGlitch = 0.0;
    return "";
  }

  const Family& mFamily;
  const uint64_t mSeed;
  std::mt19937_64 mRng;
  VoicingEngine mEngine;
  EngineModel mModel;
  const int mTraceFrom;

  std::vector<int> mKeys;
  int mBlock = 0;
  int mFrames = 512;
  int mGridBlock = 512;
  int mMaxBlock = 1024;
  double mPos = 0.0;
  double mTempo = 120.0;
  double mPosGlitch = 0.0;
  bool mPlaying = false;
  bool mStandStill = false;
  bool mZeroFrames = false;
};

class EngineDifferential : public testing::TestWithParam<Family> {};

TEST_P(EngineDifferential, MatchesModel) {
  const Family& family = GetParam();
  EngineModel::Stats total;
  int failures = 0;
  for (int i = 0; i < family.sessions && failures < 3; ++i) {
    const uint64_t seed = 1000003u * static_cast<uint64_t>(i + 1);
    Session session(family, seed);
    const std::string failure = session.Run();
    total += session.Stats();
    if (failure.empty()) continue;
    ++failures;
    ADD_FAILURE() << failure;
    // Replay with the operations of the last blocks before the failure printed.
    Session(family, seed, std::max(session.Block() - 2, 0)).Run();
  }
  if (failures > 0) return;

  // The sessions must reach what the family is for, or their agreement says little.
  EXPECT_GT(total.jumps, 0);
  EXPECT_GT(total.standstills, 0);
  EXPECT_GT(total.cutoffMoves, 0);
  if (family.unison) {
    EXPECT_GT(total.duplicates, 0);
  }
  if (family.grid) {
    EXPECT_GT(total.dueAtEnd, 100);
  }
  if (family.transportChaos >= 20) {
    EXPECT_GT(total.jumpsKeepingBlock, 0);
  }
  if (family.capacity < NoteTracker::kDefaultCapacity) {
    EXPECT_GT(total.queueFull, 0);
  }
  if (family.flood) {
    EXPECT_GT(total.keyFull, 0);
  }
}

#undef BOTH

INSTANTIATE_TEST_SUITE_P(Sessions, EngineDifferential, testing::ValuesIn(kFamilies),
                         [](const testing::TestParamInfo<Family>& p) { return std::string(p.param.name); });

}  // namespace
