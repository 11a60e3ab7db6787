// Construction of the plug-in object and the note pipeline: incoming MIDI, trigger groups, block output.
#include "Cyclochord.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "Assert.h"
#include "CyclochordLayout.h"
#include "CyclochordParams.h"

namespace {
using Id = CyclochordIdentity;

// A transport stop may end a note on every channel of every key at once.
constexpr std::size_t kReservedOutMsgs = NUM_MIDI_NOTES * NUM_MIDI_CHANNELS;

// The host position rounded to the nearest sample, halves up; false when the value cannot be a position.
// Rounding toward zero instead would make a pre-roll that crosses zero look like a jump.
bool RoundSamplePosition(double samplePos, int64_t* position) {
  constexpr double kLimit = 4.0e18;
  if (!(samplePos > -kLimit && samplePos < kLimit)) return false;
  *position = static_cast<int64_t>(std::floor(samplePos + 0.5));
  return true;
}
}  // namespace

Cyclochord::Cyclochord(IPluginHostLink host)
    : IPluginFormat(host, Id::kNumHostParams, Id::kChannelIO, Id::kNumPresets, Id::kEffectName,
                 Id::kProductName, Id::kVendorName, Id::kVersion, Id::kUniqueId, Id::kVendorId, Id::kLatency,
                 Id::kDoesMidi, Id::kDoesChunks, Id::kIsInstrument),
      mTriggerTracker(NUM_MIDI_NOTES) {
  mMainVoice.SetNumIntervals(1);
  mParallelVoice.SetNumIntervals(1);
  CC_ASSERT(mRotatorVoice[0].numIntervals() == 4);
  int stream = 0;
  for (Voice* voice : {&mMainVoice, &mParallelVoice, &mRotatorVoice[0], &mRotatorVoice[1]}) {
    voice->mpRandom = mRandomState;
    voice->mStream = stream++;
  }
  mOutMsgs.reserve(kReservedOutMsgs);

  for (int i = Id::kNumHostParams; i < Id::kNumParams; ++i) mParameters.push_back(std::make_unique<IParameter>());
  RegisterParameters();

  // The editor is built here and handed to AttachEditor, which pushes every value into its controls.
  AttachEditor(MakeCyclochordEditor(this, nullptr));
}

Cyclochord::~Cyclochord() = default;

void Cyclochord::Reset() {
  ScopedLock lock(mLock);
  mSampleRateCopy = mSampleRate;
  mSamplesPerBeat = mSampleRateCopy * 60.0 / mTempo;
  UpdateDelays();
}

void Cyclochord::UpdateDelays() {
  for (int paramIdx : {kMnDelay, kPDelay, kV1Delay, kV2Delay}) {
    const ParamChangeDesc* pDesc = mpParamChangeDesc[paramIdx];
    if (pDesc) OnDelay(pDesc, GetParam(paramIdx)->Value());
  }
}

// ---- Incoming MIDI ----

int32_t Cyclochord::ScheduleOffset(int32_t offset) {
  // Hosts deliver a block's events in time order and inside the block. One that does not gets them handled
  // in delivery order, and an offset far beyond the block may not hold back every later note.
  offset = std::max(std::min(offset, GetBlockSize()), mEarliestOffset);
  mEarliestOffset = offset;
  return offset;
}

void Cyclochord::ProcessMidiMessage(IMidiMessage* msg) {
  switch (msg->StatusKind()) {
    case IMidiMessage::kNoteOff:
      if (msg->NoteNumber() < NUM_MIDI_NOTES) Release(msg->NoteNumber(), ScheduleOffset(msg->mOffset));
      break;
    case IMidiMessage::kNoteOn:
      if (msg->NoteNumber() >= NUM_MIDI_NOTES) break;
      // Velocity 0 is a release (many keyboards send it so); as a trigger it would leave the key's notes on.
      if (msg->Velocity() == 0)
        Release(msg->NoteNumber(), ScheduleOffset(msg->mOffset));
      else
        Trigger(msg->NoteNumber(), msg->Velocity(), ScheduleOffset(msg->mOffset));
      break;
    case IMidiMessage::kControlChange:
      if (msg->ControlChangeIndex() == 123) SilenceChannel(msg->Channel(), ScheduleOffset(msg->mOffset));
      break;
    default:
      SendMidiMessage(msg);
      break;
  }
}

void Cyclochord::Trigger(int note, int velocity, int32_t offset) {
  NoteGroup* pCurrentGroup = nullptr;
  Emit(mMainVoice, note, velocity, offset, &pCurrentGroup);
  Emit(mParallelVoice, note, velocity, offset, &pCurrentGroup);
  // The rotators step on every trigger, muted or not, so unmuting resumes the pattern where it is.
  mRotatorVoice[0].Advance();
  mRotatorVoice[1].Advance();
  Emit(mRotatorVoice[0], note, velocity, offset, &pCurrentGroup);
  Emit(mRotatorVoice[1], note, velocity, offset, &pCurrentGroup);
}

void Cyclochord::Emit(Voice& voice, int note, int velocity, int32_t offset, NoteGroup** pCurrentGroup) {
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
  if (!mNoteTracker.CanAddNoteOn()) return;
  if (!*pCurrentGroup) {
    // A re-struck key ends its earlier notes first.
    mTriggerTracker.Release(note, offset, mNoteTracker);
    *pCurrentGroup = mTriggerTracker.BeginGroup(note);
  }
  if (mNoteTracker.AddNoteOn(time, outNote, channel, outVelocity, voice.mStream))
    (*pCurrentGroup)->AddEmittedNote(outNote, channel, outVelocity, voice.mDelaySamples, voice.mStream);
}

void Cyclochord::Release(int note, int32_t offset) { mTriggerTracker.Release(note, offset, mNoteTracker); }

void Cyclochord::SilenceChannel(int channel, int32_t offset) {
  mNoteTracker.CancelChannel(channel);
  // The sounding bits clear when these note-offs go out.
  for (int note = 0; note < NUM_MIDI_NOTES; ++note)
    if ((mNoteTracker.Sounding(note) >> channel) & 1u) mNoteTracker.AddSilencingNoteOff(offset, note, channel);
}

// ---- Block output ----

void Cyclochord::ProcessBlock(double**, double**, int nFrames) {
  // A block without frames carries no time; counting it would make the next block look like a standstill.
  if (nFrames <= 0) return;

  TransportInfo transport;
  GetTransportInfo(&transport);
  if (transport.mTempo != mTempo) {
    mTempo = transport.mTempo;
    mSamplesPerBeat = mSampleRateCopy * 60.0 / mTempo;
    UpdateDelays();
  }

  int64_t position = 0;
  const bool havePosition = RoundSamplePosition(transport.mSamplePos, &position);
  if (!transport.mPlaying || !havePosition || position == mBlockStart) {
    SilenceSounding();
    return;
  }

  mOutMsgs.clear();
  if (position != mNextBlockStart) {
    // A locate, a loop or the first block: what was queued before belongs to the old place and what sounds
    // ends here, ahead of anything this block's own messages start at offset 0.
    mNoteTracker.CancelEarlierBatches();
    AddSoundingNoteOffs();
  }
  mBlockStart = position;
  mNextBlockStart = position + nFrames;

  mNoteTracker.TakeDue(nFrames, [this](const NoteRecord& record, int32_t offset) {
    AddOutMsg(record.mIsNoteOff ? IMidiMessage::MakeNoteOff(record.mNote, offset, record.mChannel)
                                : IMidiMessage::MakeNoteOn(record.mNote, record.mVelocity, offset, record.mChannel));
  });
  mNoteTracker.StartBatch();
  mEarliestOffset = std::max(mEarliestOffset - nFrames, 0);
  CC_DEEP_ASSERT(mNoteTracker.IsConsistent());
  SendOutMsgs();
}

void Cyclochord::AddOutMsg(const IMidiMessage& msg) {
  // Never grows on the audio thread: a full list goes to the host and starts again.
  if (mOutMsgs.size() == mOutMsgs.capacity()) {
    SendOutMsgs();
    mOutMsgs.clear();
  }
  mOutMsgs.push_back(msg);
}

void Cyclochord::AddSoundingNoteOffs() {
  for (int note = 0; note < NUM_MIDI_NOTES; ++note) {
    if (mNoteTracker.Sounding(note) == 0) continue;
    for (int channel = 0; channel < NUM_MIDI_CHANNELS; ++channel) {
      if (!((mNoteTracker.Sounding(note) >> channel) & 1u)) continue;
      AddOutMsg(IMidiMessage::MakeNoteOff(note, 0, channel));
      mNoteTracker.ClearSounding(note, channel);
    }
  }
}

void Cyclochord::SilenceSounding() {
  mNoteTracker.Clear();
  mNoteTracker.StartBatch();
  mOutMsgs.clear();
  AddSoundingNoteOffs();
  mEarliestOffset = 0;
  SendOutMsgs();
}

void Cyclochord::SendOutMsgs() {
  // A message the host refuses is lost; there is nothing better to do with it here.
  if (!mOutMsgs.empty()) SendMidiMessages(mOutMsgs.data(), static_cast<int>(mOutMsgs.size()));
}
