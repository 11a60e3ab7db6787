// What the editor shows of the engine at play: which voices have notes sounding and which interval each rotator
// plays at the next trigger. The audio thread keeps the books and publishes one word; any thread may read it.
#pragma once

#include <atomic>
#include <cstdint>

#include "VoicingEngine.h"

class VoiceActivity {
 public:
  // Bits of the published word: one per voice while it has notes sounding, and one per rotator interval,
  // set for the interval that plays next.
  static constexpr uint32_t SoundingBit(VoiceId voice) { return 1u << voice; }
  static constexpr uint32_t NextIntervalBit(int rotator, int interval) {
    return 1u << (kNumVoices + rotator * 4 + interval);
  }

  // [audio thread] Every event the engine sent, in order.
  void Note(const NoteEvent& event);
  // [audio thread] After the block; stores only when something changed.
  void Publish(const VoicingEngine& engine);
  // [any thread]
  uint32_t Read() const { return mWord.load(std::memory_order_relaxed); }
  const std::atomic<uint32_t>* Word() const { return &mWord; }

 private:
  // Per output key (note and channel), the voices whose note-on sounds there; a note-off silences the key.
  uint8_t mKeyVoices[NUM_MIDI_NOTES * NUM_MIDI_CHANNELS] = {};
  int32_t mSounding[kNumVoices] = {};
  uint32_t mLast = 0;
  std::atomic<uint32_t> mWord{0};
};
