// Transport state for the audioMasterGetTime answer.
#include "Transport.h"

#include <algorithm>
#include <cmath>

namespace cchost {

int64_t Transport::FrameAtTick(double tick) const { return std::llround(mMap.TickToSeconds(tick) * mRate); }

double Transport::TickAtFrame(int64_t songFrame) const { return mMap.SecondsToTick(double(songFrame) / mRate); }

void Transport::Fill(int64_t songFrame, int frames, bool playing, bool changed, VstTimeInfo* info) const {
  // Frames are rounded, so a block that starts on a tempo change may begin a hair before it:
  // tempo and signature come from the middle of the block.
  const double middleTick = TickAtFrame(songFrame + frames / 2);
  Fill(songFrame, middleTick, middleTick, playing, changed, info);
}

void Transport::Fill(int64_t songFrame, double tempoTick, double signatureTick, bool playing, bool changed,
                     VstTimeInfo* info) const {
  const double beats = BeatsAtFrame(songFrame);
  *info = VstTimeInfo();
  info->samplePos = double(songFrame + mPreroll);
  info->sampleRate = mRate;
  info->nanoSeconds = info->samplePos / mRate * 1e9;
  info->ppqPos = beats;
  info->tempo = mMap.BpmAtTick(tempoTick);
  // A block on a signature change may start a hair before its tick; its bar starts there all the same.
  const bool onChange = FrameAtTick(signatureTick) == songFrame;
  info->barStartPos = mMap.BarStartBeats(onChange ? std::max(beats, signatureTick / mMap.Division()) : beats);
  const TempoMap::TimeSignature sig = mMap.TimeSignatureAtTick(signatureTick);
  info->timeSigNumerator = sig.numerator;
  info->timeSigDenominator = sig.denominator;
  // MIDI clock ticks 24 times per quarter note.
  const double nextClock = std::ceil(beats * 24.0 - 1e-9) / 24.0;
  info->samplesToNextClock = static_cast<VstInt32>(std::lround((nextClock - beats) * 60.0 / info->tempo * mRate));
  info->flags = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid |
                kVstClockValid;
  if (playing) info->flags |= kVstTransportPlaying;
  if (changed) info->flags |= kVstTransportChanged;
}

}  // namespace cchost
