// The wrapper's MIDI in and out and its transport query [audio thread, under the audio lock].
#include "VstWrapper.h"
#include "Text.h"

VstIntPtr VstWrapper::ProcessEvents(const VstEvents* events) {
  if (!events) return 0;
  // The list holds numEvents entries although its type declares two: index through the first entry.
  VstEvent* const* list = events->events;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    VstEvent* event = list[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
      IMidiMessage msg(midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                       static_cast<uint8_t>(midi->midiData[1]), static_cast<uint8_t>(midi->midiData[2]));
      mPlug->ProcessMidiMessage(&msg);
    } else {
      ForwardVstEvent(event);
    }
  }
  return 1;
}

bool VstWrapper::SendMidiMessage(const IMidiMessage* msg) { return mMidiOutput.Send(*msg); }

bool VstWrapper::SendMidiMessages(const IMidiMessage* msgs, int count) { return mMidiOutput.SendAll(msgs, count); }

bool VstWrapper::ForwardVstEvent(VstEvent* event) { return mMidiOutput.Forward(*event); }

const VstTimeInfo* VstWrapper::GetTimeInfo(VstInt32 filter) {
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, filter));
}

void VstWrapper::GetTransportInfo(TransportInfo* out) {
  *out = TransportInfo();
  constexpr VstInt32 kFilter = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid |
                               kVstTimeSigValid;
  const VstTimeInfo* info = GetTimeInfo(kFilter);
  if (!info || !(info->flags & kFilter)) return;
  out->mSamplePos = info->samplePos;
  if ((info->flags & kVstPpqPosValid) && info->ppqPos >= 0.0) out->mPpqPos = info->ppqPos;
  if ((info->flags & kVstTempoValid) && info->tempo > 0.0) out->mTempo = info->tempo;
  if ((info->flags & kVstBarsValid) && info->barStartPos >= 0.0) out->mLastBarPos = info->barStartPos;
  if ((info->flags & kVstCyclePosValid) && info->cycleStartPos >= 0.0 && info->cycleEndPos >= 0.0) {
    out->mCycleStart = info->cycleStartPos;
    out->mCycleEnd = info->cycleEndPos;
  }
  if ((info->flags & kVstTimeSigValid) && info->timeSigNumerator > 0 && info->timeSigDenominator > 0) {
    out->mNumerator = info->timeSigNumerator;
    out->mDenominator = info->timeSigDenominator;
  }
  out->mPlaying = (info->flags & kVstTransportPlaying) != 0;
  out->mCycleActive = (info->flags & kVstTransportCycleActive) != 0;
}
