#include "VoiceActivity.h"

void VoiceActivity::Note(const NoteEvent& event) {
  uint8_t& voices = mKeyVoices[event.mNote * NUM_MIDI_CHANNELS + event.Channel()];
  if (event.IsNoteOff()) {
    for (int v = 0; v < kNumVoices; ++v)
      if (voices & (1u << v)) --mSounding[v];
    voices = 0;
    return;
  }
  if (event.mVoice >= kNumVoices) return;
  const uint8_t bit = static_cast<uint8_t>(1u << event.mVoice);
  if (voices & bit) return;
  voices |= bit;
  ++mSounding[event.mVoice];
}

void VoiceActivity::Publish(const VoicingEngine& engine) {
  uint32_t word = 0;
  for (int v = 0; v < kNumVoices; ++v)
    if (mSounding[v] > 0) word |= SoundingBit(static_cast<VoiceId>(v));
  int next[2] = {0, 0};
  engine.NextRotatorIndices(&next[0], &next[1]);
  for (int r = 0; r < 2; ++r) word |= NextIntervalBit(r, next[r]);
  if (word == mLast) return;
  mLast = word;
  mWord.store(word, std::memory_order_relaxed);
}
