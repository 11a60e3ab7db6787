// The note pipeline: incoming notes into voices and trigger groups, the transport of each block, the output.
#include "VoicingEngine.h"

#include <algorithm>
#include <cmath>

#include "DelayDivisions.h"
#include "EngineAssert.h"

namespace {
// The host position rounded to the nearest sample, halves up; false when the value cannot be a position.
// Rounding toward zero instead would make a pre-roll that crosses zero look like a jump.
bool RoundSamplePosition(double samplePos, int64_t* position) {
  constexpr double kLimit = 4.0e18;
  if (!(samplePos > -kLimit && samplePos < kLimit)) return false;
  *position = static_cast<int64_t>(std::floor(samplePos + 0.5));
  return true;
}

bool InRange(int value, int count) { return value >= 0 && value < count; }
}  // namespace

VoicingEngine::VoicingEngine(int queueCapacity) : mNoteTracker(queueCapacity), mTriggerTracker(NUM_MIDI_NOTES) {
  mVoices[kMainVoice].SetNumIntervals(1);
  mVoices[kParallelVoice].SetNumIntervals(1);
  CC_ASSERT(mVoices[kRotator1].numIntervals() == 4);
  for (Voice& voice : mVoices) voice.mpRandom = mRandomState;
}

// ---- Settings ----

void VoicingEngine::SetSampleRate(double sampleRate) {
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) return;
  mSampleRate = sampleRate;
  mSamplesPerBeat = mSampleRate * 60.0 / mTempo;
  UpdateDelays();
}

void VoicingEngine::SetMaxBlockSize(int frames) { mMaxBlockSize = std::max(frames, 0); }

void VoicingEngine::UpdateDelays() {
  for (int v = 0; v < kNumVoices; ++v) mVoices[v].mDelaySamples = DelayInSamples(mDelayDivision[v], mSamplesPerBeat);
}

void VoicingEngine::SetChannel(VoiceId voice, int channel) {
  mVoices[Index(voice)].mChannel = std::clamp(channel, 0, NUM_MIDI_CHANNELS - 1);
}

void VoicingEngine::SetVelocityOffset(VoiceId voice, int offset) { mVoices[Index(voice)].mVelocityOffset = offset; }

// The main voice has no interval of its own: it always plays the trigger note.
void VoicingEngine::SetInterval(VoiceId voice, int index, int semitones) {
  if (voice == kMainVoice || !InRange(index, mVoices[Index(voice)].numIntervals())) return;
  mVoices[Index(voice)].mInterval[index] = semitones;
}

void VoicingEngine::SetIntervalMute(VoiceId voice, int index, bool mute) {
  if (voice == kMainVoice || !InRange(index, mVoices[Index(voice)].numIntervals())) return;
  mVoices[Index(voice)].mIntervalMute[index] = mute;
}

void VoicingEngine::SetMute(VoiceId voice, bool mute) { mVoices[Index(voice)].mMute = mute; }

void VoicingEngine::SetDelay(VoiceId voice, int division) {
  mDelayDivision[Index(voice)] = division;
  mVoices[Index(voice)].mDelaySamples = DelayInSamples(division, mSamplesPerBeat);
}

void VoicingEngine::SetAlgorithm(VoiceId voice, int algorithm) {
  mVoices[Index(voice)].SetAlgorithm(std::clamp(algorithm, 0, kNumAlgorithms - 1));
}

// ---- Incoming messages ----

int32_t VoicingEngine::ScheduleOffset(int32_t offset) {
  // Hosts deliver a block's events in time order and inside the block. One that does not gets them handled
  // in delivery order, and an offset far beyond the block may not hold back every later note.
  offset = std::max(std::min(offset, mMaxBlockSize), mEarliestOffset);
  mEarliestOffset = offset;
  return offset;
}

void VoicingEngine::NoteOn(int note, int velocity, int32_t offset) {
  if (!InRange(note, NUM_MIDI_NOTES)) return;
  // Velocity 0 is a release (many keyboards send it so); as a trigger it would leave the key's notes on.
  if (velocity <= 0) {
    NoteOff(note, offset);
    return;
  }
  offset = ScheduleOffset(offset);
  NoteGroup* pCurrentGroup = nullptr;
  Emit(mVoices[kMainVoice], note, velocity, offset, &pCurrentGroup);
  Emit(mVoices[kParallelVoice], note, velocity, offset, &pCurrentGroup);
  // The rotators step on every trigger, muted or not, so unmuting resumes the pattern where it is.
  mVoices[kRotator1].Advance();
  mVoices[kRotator2].Advance();
  Emit(mVoices[kRotator1], note, velocity, offset, &pCurrentGroup);
  Emit(mVoices[kRotator2], note, velocity, offset, &pCurrentGroup);
}

void VoicingEngine::Emit(Voice& voice, int note, int velocity, int32_t offset, NoteGroup** pCurrentGroup) {
  if (!voice.CanEmit()) return;
  const int32_t outNote = mScaleMap.Map(note + voice.CurrentInterval());
  if (outNote < 0) return;
  int outVelocity = velocity + voice.mVelocityOffset;
  if (outVelocity <= 0) return;
  outVelocity = std::min(outVelocity, 127);
  const int channel = voice.mChannel;
  const int32_t time = NoteTracker::ClampTime(static_cast<int64_t>(offset) + voice.mDelaySamples);
  // Two voices landing on one note, channel and time make one note-on.
  if (mNoteTracker.HasNoteOnAt(outNote, channel, time)) return;
  // A full queue refuses the note before anything of the key changes.
  if (!mNoteTracker.CanAddNoteOn(outNote, channel)) return;
  if (!*pCurrentGroup) {
    // A re-struck key ends its earlier notes first.
    Release(note, offset);
    *pCurrentGroup = mTriggerTracker.BeginGroup(note);
  }
  const auto voiceTag = static_cast<uint8_t>(&voice - mVoices);
  if (mNoteTracker.AddNoteOn(time, outNote, channel, outVelocity, voice.mDelaySamples, voiceTag))
    (*pCurrentGroup)->AddEmittedNote(outNote, channel, outVelocity, voice.mDelaySamples);
}

void VoicingEngine::NoteOff(int note, int32_t offset) {
  if (!InRange(note, NUM_MIDI_NOTES)) return;
  Release(note, ScheduleOffset(offset));
}

void VoicingEngine::Release(int note, int32_t offset) { mTriggerTracker.Release(note, offset, mNoteTracker); }

void VoicingEngine::AllNotesOff(int channel, int32_t offset) {
  if (!InRange(channel, NUM_MIDI_CHANNELS)) return;
  offset = ScheduleOffset(offset);
  mNoteTracker.CancelChannel(channel);
  // The sounding bits clear when these note-offs go out.
  for (int note = 0; note < NUM_MIDI_NOTES; ++note)
    if ((mNoteTracker.Sounding(note) >> channel) & 1u) mNoteTracker.AddSilencingNoteOff(offset, note, channel);
}

// ---- The block ----

void VoicingEngine::Process(const EngineTransport& transport, int frames, NoteSink& sink) {
  // A block without frames carries no time; counting it would make the next block look like a standstill.
  if (frames <= 0) return;

  const double tempo = transport.mTempo > 0.0 && std::isfinite(transport.mTempo) ? transport.mTempo : 120.0;
  if (tempo != mTempo) {
    // Queued events keep their times; only later triggers take the new delays.
    mTempo = tempo;
    mSamplesPerBeat = mSampleRate * 60.0 / mTempo;
    UpdateDelays();
  }

  int64_t position = 0;
  const bool havePosition = RoundSamplePosition(transport.mSamplePos, &position);
  if (!transport.mPlaying || !havePosition || position == mBlockStart) {
    // Notes are made only while the transport moves: what waits is dropped and what sounds ends now.
    mNoteTracker.Clear();
    mNoteTracker.StartBatch();
    mEarliestOffset = 0;
    SendSoundingNoteOffs(sink);
    return;
  }

  if (position != mNextBlockStart) {
    // A locate, a loop or the first block: what was queued before belongs to the old place and what sounds
    // ends here, ahead of anything this block's own messages start at offset 0.
    mNoteTracker.CancelEarlierBatches();
    SendSoundingNoteOffs(sink);
  }
  mBlockStart = position;
  mNextBlockStart = position + frames;

  mNoteTracker.TakeDue(frames, [&sink](const NoteRecord& record, int32_t offset) {
    const uint8_t status = static_cast<uint8_t>((record.mIsNoteOff ? 0x80 : 0x90) | record.mChannel);
    sink.Send({offset, status, record.mNote, record.mIsNoteOff ? uint8_t{0} : record.mVelocity, record.mVoice});
  });
  mNoteTracker.StartBatch();
  mEarliestOffset = std::max(mEarliestOffset - frames, 0);
}

void VoicingEngine::NextRotatorIndices(int* rotator1, int* rotator2) const {
  // Both rotators draw from one random generator, the first before the second, as a trigger steps them.
  uint32_t random[2] = {mRandomState[0], mRandomState[1]};
  Voice first = mVoices[kRotator1];
  Voice second = mVoices[kRotator2];
  first.mpRandom = random;
  second.mpRandom = random;
  first.Advance();
  second.Advance();
  *rotator1 = first.mIndex;
  *rotator2 = second.mIndex;
}

void VoicingEngine::SendSoundingNoteOffs(NoteSink& sink) {
  for (int note = 0; note < NUM_MIDI_NOTES; ++note) {
    if (mNoteTracker.Sounding(note) == 0) continue;
    for (int channel = 0; channel < NUM_MIDI_CHANNELS; ++channel) {
      if (!((mNoteTracker.Sounding(note) >> channel) & 1u)) continue;
      sink.Send({0, static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), 0});
      mNoteTracker.ClearSounding(note, channel);
    }
  }
}
