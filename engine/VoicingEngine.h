// The voicing engine: turns trigger notes into voiced, scale-snapped, delayed output notes and releases them
// again, with no host, plug-in base or editor. It needs only the standard library.
//
// A block's incoming messages come first (NoteOn, NoteOff, AllNotesOff, with offsets inside that block), then
// Process hands out the block's note events in time order. All times are integer sample counts.
#pragma once

#include <cstdint>

#include "MidiLimits.h"
#include "NoteTracker.h"
#include "ScaleMap.h"
#include "TriggerTracker.h"
#include "Voice.h"

// One output note event, at an offset inside the block being processed.
struct NoteEvent {
  int32_t mOffset;
  uint8_t mStatus;    // 0x90 (note-on) or 0x80 (note-off), with the channel in the low four bits
  uint8_t mNote;
  uint8_t mVelocity;  // 0 for a note-off: a release velocity is never sent
  uint8_t mVoice = kNoVoiceTag;  // the VoiceId that made a note-on; note-offs carry none

  bool IsNoteOff() const { return (mStatus & 0xF0) == 0x80; }
  int Channel() const { return mStatus & 0x0F; }
};

// Where Process puts the block's events, one call each, in time order.
class NoteSink {
 public:
  virtual void Send(const NoteEvent& event) = 0;

 protected:
  ~NoteSink() = default;
};

// What the host says about the block's first sample. The two doubles are kept apart: next to each other, a copy
// from the host's record became one 16-byte load over two 8-byte stores, which stalls.
struct EngineTransport {
  double mSamplePos = -1.0;
  bool mPlaying = false;
  double mTempo = 120.0;  // beats per minute
};

enum VoiceId { kMainVoice = 0, kParallelVoice, kRotator1, kRotator2, kNumVoices };

class VoicingEngine {
 public:
  explicit VoicingEngine(int queueCapacity = NoteTracker::kDefaultCapacity);
  VoicingEngine(const VoicingEngine&) = delete;
  VoicingEngine& operator=(const VoicingEngine&) = delete;

  // ---- A block's incoming messages, in the order the host delivered them ----
  // Velocity 0 releases the key, as keyboards mean it. Notes outside 0..127 are ignored.
  void NoteOn(int note, int velocity, int32_t offset);
  void NoteOff(int note, int32_t offset);
  // All Notes Off: ends every note of one output channel (0..15).
  void AllNotesOff(int channel, int32_t offset);

  // ---- The block ----
  // Notes are made only while the transport moves; a stop or a jump ends every sounding note at offset 0.
  void Process(const EngineTransport& transport, int frames, NoteSink& sink);

  // The next block starts afresh, as after a locate: what waits from earlier blocks is dropped and what sounds
  // ends at its first frame.
  void Restart() { mNextBlockStart = -1; }

  // ---- Settings; each affects the next trigger only ----
  void SetSampleRate(double sampleRate);
  // The host's largest block: an incoming offset beyond it is held there.
  void SetMaxBlockSize(int frames);
  void SetChannel(VoiceId voice, int channel);  // 0..15
  void SetVelocityOffset(VoiceId voice, int offset);
  // The parallel voice has one interval (index 0), the rotators four, the main voice none.
  void SetInterval(VoiceId voice, int index, int semitones);
  void SetIntervalMute(VoiceId voice, int index, bool mute);
  void SetMute(VoiceId voice, bool mute);
  // An index into kDelayDivisions; it follows tempo and sample rate from then on.
  void SetDelay(VoiceId voice, int division);
  // Restarts the rotation, even when the algorithm is the one already selected.
  void SetAlgorithm(VoiceId voice, int algorithm);
  void SetSnap(bool snap) { mScaleMap.SetSnap(snap); }
  void SetScale(int scale) { mScaleMap.SetScale(scale); }
  void SetTonic(int tonic) { mScaleMap.SetTonic(tonic); }

  // ---- Read-outs ----
  const Voice& GetVoice(VoiceId voice) const { return mVoices[Index(voice)]; }
  const ScaleMap& GetScaleMap() const { return mScaleMap; }
  double SamplesPerBeat() const { return mSamplesPerBeat; }
  int NumPending() const { return mNoteTracker.NumPending(); }
  // The interval index each rotator will play at the next trigger, found on copies: nothing steps.
  void NextRotatorIndices(int* rotator1, int* rotator2) const;
  bool IsConsistent() const { return mNoteTracker.IsConsistent(); }

 private:
  static int Index(VoiceId voice) { return voice >= 0 && voice < kNumVoices ? voice : kMainVoice; }
  int32_t ScheduleOffset(int32_t offset);
  void UpdateDelays();
  void Emit(Voice& voice, int note, int velocity, int32_t offset, NoteGroup** pCurrentGroup);
  void Release(int note, int32_t offset);
  void SendSoundingNoteOffs(NoteSink& sink);

  double mSampleRate = 44100.0;
  double mTempo = 120.0;
  double mSamplesPerBeat = 22050.0;
  int32_t mMaxBlockSize = 1024;
  // 64 bits: positions of long sessions pass the 32-bit range (13.5 hours at 44.1 kHz).
  int64_t mBlockStart = -2;
  int64_t mNextBlockStart = -1;
  // Incoming notes are never scheduled before an earlier-delivered one, so a release cannot precede its note.
  int32_t mEarliestOffset = 0;
  uint32_t mRandomState[2] = {kRandomSeed0, kRandomSeed1};
  Voice mVoices[kNumVoices];
  int mDelayDivision[kNumVoices] = {};
  ScaleMap mScaleMap;
  NoteTracker mNoteTracker;
  TriggerTracker mTriggerTracker;
};
