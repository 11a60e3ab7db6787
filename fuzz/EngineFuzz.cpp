// The voicing engine against its plain model: a session read from the input (settings, messages, transport and
// block sizes in any order) drives both, and every block's events, the queue size and the engine's own
// consistency must agree.
#include <cmath>
#include <cstdint>
#include <vector>

#include "EngineModel.h"
#include "FuzzFail.h"
#include "FuzzInput.h"
#include "VoicingEngine.h"

namespace {

class Collect final : public NoteSink {
 public:
  void Send(const NoteEvent& event) override { events.push_back(event); }
  std::vector<NoteEvent> events;
};

// Each block ends with the queue's whole-structure check, which walks all 2048 keys: sessions are kept short.
constexpr int kMaxSteps = 128;
constexpr int kMaxBlocks = 12;

// Block sizes hosts use, and ones that divide the delays at 48, 44.1 and 96 kHz.
constexpr int kBlockSizes[] = {1, 7, 32, 64, 128, 256, 500, 512, 735, 1024};
constexpr double kSampleRates[] = {44100.0, 48000.0, 96000.0, 22050.0, 44100.5};
constexpr double kTempos[] = {120.0, 60.0, 90.0, 133.7, 0.0, -1.0};

class Driver {
 public:
  Driver(FuzzInput& in, int capacity) : mIn(in), mEngine(capacity), mModel(capacity) {}

  template <typename F>
  void Both(F&& f) {
    f(mEngine);
    f(mModel);
  }

  void Run() {
    const double rate = kSampleRates[mIn.Byte() % 5];
    Both([&](auto& e) { e.SetSampleRate(rate); });
    mMaxBlock = kBlockSizes[mIn.Byte() % 10];
    Both([&](auto& e) { e.SetMaxBlockSize(mMaxBlock); });
    mFrames = mMaxBlock;
    for (int step = 0; step < kMaxSteps && mBlock < kMaxBlocks && !mIn.Empty(); ++step) {
      const uint8_t op = mIn.Byte();
      if (op < 40)
        NoteOn(op);
      else if (op < 60)
        NoteOff(op);
      else if (op < 64)
        AllNotesOff();
      else if (op < 96)
        Setting(op - 64);
      else
        Block(op - 96);
      if (mEngine.NumPending() != mModel.NumPending())
        FuzzFail("step %d (op %d): %d events queued, the model has %d", step, op, mEngine.NumPending(),
                 mModel.NumPending());
    }
  }

 private:
  // A few keys most of the time, so that notes meet; now and then any note, or none at all.
  int Note(uint8_t op) {
    const uint8_t b = mIn.Byte();
    if (b == 0xFF) return op & 1 ? 128 : -1;
    return b & 0x80 ? b & 0x7F : 58 + (b & 7);
  }

  int32_t Offset() {
    const uint8_t kind = mIn.Byte();
    if (kind < 180) return mIn.Below(mFrames);
    if (kind < 230) return mIn.Below(mMaxBlock + 600) - 100;
    return mIn.I32();
  }

  void NoteOn(uint8_t op) {
    const int note = Note(op);
    const int velocity = mIn.Byte() & 0x7F;
    const int32_t offset = Offset();
    Both([&](auto& e) { e.NoteOn(note, velocity, offset); });
  }

  void NoteOff(uint8_t op) {
    const int note = Note(op);
    const int32_t offset = Offset();
    Both([&](auto& e) { e.NoteOff(note, offset); });
  }

  void AllNotesOff() {
    const int channel = mIn.Byte() & 15;
    const int32_t offset = Offset();
    Both([&](auto& e) { e.AllNotesOff(channel, offset); });
  }

  void Setting(int which) {
    const VoiceId voice = VoiceId(mIn.Byte() & 3);
    const VoiceId rotator = mIn.Bool() ? kRotator1 : kRotator2;
    switch (which % 16) {
      case 0: {
        const int channel = mIn.Byte() & 15;
        Both([&](auto& e) { e.SetChannel(voice, channel); });
        break;
      }
      case 1: {
        const int offset = mIn.Below(61) - 30;
        if (voice != kMainVoice) Both([&](auto& e) { e.SetVelocityOffset(voice, offset); });
        break;
      }
      case 2: {
        const int index = voice == kParallelVoice ? 0 : mIn.Below(4);
        const int semitones = mIn.Below(49) - 24;
        Both([&](auto& e) { e.SetInterval(voice == kParallelVoice ? voice : rotator, index, semitones); });
        break;
      }
      case 3: {
        const int index = mIn.Below(4);
        const bool mute = mIn.Bool();
        Both([&](auto& e) { e.SetIntervalMute(rotator, index, mute); });
        break;
      }
      case 4: {
        const bool mute = mIn.Bool();
        Both([&](auto& e) { e.SetMute(voice, mute); });
        break;
      }
      case 5: {
        const int division = mIn.Below(kNumDelayDivisions);
        Both([&](auto& e) { e.SetDelay(voice, division); });
        break;
      }
      case 6: {
        const int algorithm = mIn.Below(kNumAlgorithms);
        Both([&](auto& e) { e.SetAlgorithm(rotator, algorithm); });
        break;
      }
      case 7: {
        const bool snap = mIn.Bool();
        Both([&](auto& e) { e.SetSnap(snap); });
        break;
      }
      case 8: {
        const int scale = mIn.Below(kNumScales);
        Both([&](auto& e) { e.SetScale(scale); });
        break;
      }
      case 9: {
        const int tonic = mIn.Below(kNumPitchClasses);
        Both([&](auto& e) { e.SetTonic(tonic); });
        break;
      }
      case 10: {
        const double rate = mIn.Real(8000.0, 192000.0);
        Both([&](auto& e) { e.SetSampleRate(rate); });
        break;
      }
      case 11: {
        mMaxBlock = 1 + mIn.Below(4096);
        Both([&](auto& e) { e.SetMaxBlockSize(mMaxBlock); });
        break;
      }
      default: {
        // Unison: every voice on one channel with one delay and no interval, so they collide.
        const int channel = mIn.Byte() & 1;
        const int division = mIn.Below(kNumDelayDivisions);
        Both([&](auto& e) {
          for (int v = 0; v < kNumVoices; ++v) {
            e.SetChannel(VoiceId(v), channel);
            e.SetDelay(VoiceId(v), division);
            for (int i = 0; i < Voice::kMaxIntervals; ++i) e.SetInterval(VoiceId(v), i, 0);
          }
        });
        break;
      }
    }
  }

  void Block(int kind) {
    int frames = mFrames;
    bool advance = true;
    if (kind >= 100) {
      switch (kind % 10) {
        case 0: mPlaying = !mPlaying; break;
        case 1: mPos = mIn.U32(); break;                          // locate
        case 2: mPos -= mIn.U16() * 8.0; break;                   // loop back, maybe into pre-roll
        case 3: mTempo = mIn.Bool() ? kTempos[mIn.Byte() % 6] : mIn.Real(20.0, 300.0); break;
        case 4: advance = false; break;                           // the next block starts here again
        case 5: mPos = mIn.Double(); break;                       // anything, NaN and huge included
        case 6: mPos += (mIn.Byte() - 128) / 64.0; break;         // off the sample grid
        case 7: frames = -static_cast<int>(mIn.Byte() % 3) * 100; break;  // no frames at all
        default: mFrames = mIn.Bool() ? kBlockSizes[mIn.Byte() % 10] : 1 + mIn.Below(2048); break;
      }
    }
    EngineTransport transport;
    transport.mSamplePos = mPos;
    transport.mTempo = mTempo;
    transport.mPlaying = mPlaying;
    Collect engineOut;
    mEngine.Process(transport, frames, engineOut);
    const std::vector<NoteEvent> modelOut = mModel.Process(transport, frames);
    const long diff = FirstDifference(engineOut.events, modelOut);
    if (diff >= 0)
      FuzzFail("block %d event %ld: engine %s, model %s", mBlock, diff,
               DescribeEvent(engineOut.events, diff).c_str(), DescribeEvent(modelOut, diff).c_str());
    if (!mEngine.IsConsistent()) FuzzFail("block %d: the engine's queue is inconsistent", mBlock);
    ++mBlock;
    if (advance && frames > 0 && mPlaying && std::isfinite(mPos)) mPos += frames;
  }

  FuzzInput& mIn;
  VoicingEngine mEngine;
  EngineModel mModel;
  int mMaxBlock = 1024;
  int mFrames = 1024;
  int mBlock = 0;
  double mPos = 0.0;
  double mTempo = 120.0;
  bool mPlaying = true;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  // A small queue now and then, so that full queues and refused notes come up; otherwise one that a short session
  // hardly fills, as the plug-in's never is (its default size costs more to make than the rest of a session).
  const int capacity = NoteTracker::kSilencingReserve + (in.Byte() & 1 ? 64 : 512);
  Driver(in, capacity).Run();
  return 0;
}
