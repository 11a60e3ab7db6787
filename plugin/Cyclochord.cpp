// Construction of the plug-in object and its glue to the voicing engine: incoming MIDI, the block, the output.
#include "Cyclochord.h"

#include <memory>

#include "Assert.h"
#include "CyclochordLayout.h"
#include "CyclochordParams.h"

using Id = CyclochordIdentity;

Cyclochord::Cyclochord()
    : IPluginBase(Id::kNumHostParams, Id::kChannelIO, Id::kNumPresets, Id::kEffectName, Id::kProductName,
                  Id::kVendorName, Id::kVersion, Id::kUniqueId, Id::kVendorId, Id::kLatency, Id::kDoesMidi,
                  Id::kDoesChunks, Id::kIsInstrument) {
  for (int i = Id::kNumHostParams; i < Id::kNumParams; ++i) mParameters.push_back(std::make_unique<IParameter>());
  RegisterParameters();
  // The lights show the rotators' first steps before any block has run.
  mActivity.Publish(mEngine);

  // The editor is built here and handed to AttachEditor, which pushes every value into its controls.
  AttachEditor(MakeCyclochordEditor(this, nullptr, mActivity.Word()));
}

// The editor's lights read mActivity: the editor goes first, before the members it refers to.
Cyclochord::~Cyclochord() { mGraphics.reset(); }

void Cyclochord::Reset() {
  ScopedLock lock(mAudioLock);
  mEngine.SetSampleRate(mSampleRate);
}

void Cyclochord::SetBlockSize(int blockSize) {
  ScopedLock lock(mAudioLock);
  IPluginBase::SetBlockSize(blockSize);
  mEngine.SetMaxBlockSize(GetBlockSize());
}

void Cyclochord::ProcessMidiMessage(IMidiMessage* msg) {
  mBlockMovedNotes = true;
  switch (msg->StatusKind()) {
    case IMidiMessage::kNoteOff:
      mEngine.NoteOff(msg->NoteNumber(), msg->mOffset);
      break;
    case IMidiMessage::kNoteOn:
      mEngine.NoteOn(msg->NoteNumber(), msg->Velocity(), msg->mOffset);
      break;
    case IMidiMessage::kControlChange:
      // All Notes Off silences the output channel of its own number; every other controller is absorbed.
      if (msg->ControlChangeIndex() == 123) mEngine.AllNotesOff(msg->Channel(), msg->mOffset);
      break;
    default:
      SendMidiMessage(msg);
      break;
  }
}

void Cyclochord::ProcessBlock(double**, double**, int nFrames) {
  if (nFrames <= 0) return;
  TransportInfo info;
  GetTransportInfo(&info);
  EngineTransport transport;
  transport.mSamplePos = info.mSamplePos;
  transport.mTempo = info.mTempo;
  transport.mPlaying = info.mPlaying;
  mEngine.Process(transport, nFrames, *this);
  // The whole-queue check costs far more than a block of a few frames: after blocks that took or sent notes. A stop
  // or jump that only drops notes not yet sounding is checked with the next block that does.
  if (mBlockMovedNotes) CC_DEEP_ASSERT(mEngine.IsConsistent());
  mBlockMovedNotes = false;
  // Every block: a parameter change moves the rotators' next steps without any note.
  mActivity.Publish(mEngine);
}

void Cyclochord::Send(const NoteEvent& event) {
  mBlockMovedNotes = true;
  // A message the host refuses is lost; there is nothing better to do with it here.
  const IMidiMessage msg(event.mOffset, event.mStatus, event.mNote, event.mVelocity);
  SendMidiMessage(&msg);
  mActivity.Note(event);
}
