#include "FuzzHost.h"

#include <cstdio>

#include "VstEntry.h"

namespace {
FuzzHost* gHost = nullptr;  // the callback gets no user pointer before the effect exists

float gFloatIn[FuzzHost::kMaxChannels][FuzzHost::kMaxFrames];
float gFloatOut[FuzzHost::kMaxChannels][FuzzHost::kMaxFrames];
double gDoubleIn[FuzzHost::kMaxChannels][FuzzHost::kMaxFrames];
double gDoubleOut[FuzzHost::kMaxChannels][FuzzHost::kMaxFrames];
}  // namespace

FuzzHost::FuzzHost() {
  gHost = this;
  mTime.sampleRate = 44100.0;
  mTime.tempo = 120.0;
  mTime.timeSigNumerator = 4;
  mTime.timeSigDenominator = 4;
  mTime.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid;
  mEffect = VstCreateEffect(Callback, CreatePluginInstance);
  if (!mEffect) FuzzFail("the plug-in could not be created");
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(effSetBlockSize, 0, 512);
  Dispatch(effMainsChanged, 0, 1);
}

FuzzHost::~FuzzHost() {
  Dispatch(effMainsChanged, 0, 0);
  Dispatch(effClose);
  gHost = nullptr;
}

VstIntPtr FuzzHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void FuzzHost::Process(int frames, Precision precision) {
  const int buffered = frames < 0 ? 0 : (frames > kMaxFrames ? kMaxFrames : frames);
  if (mEffect->numInputs > kMaxChannels || mEffect->numOutputs > kMaxChannels)
    FuzzFail("the plug-in declares %d inputs and %d outputs", mEffect->numInputs, mEffect->numOutputs);
  mFrames = buffered;
  if (precision == Precision::kDouble) {
    double* in[kMaxChannels];
    double* out[kMaxChannels];
    for (int c = 0; c < kMaxChannels; ++c) in[c] = gDoubleIn[c], out[c] = gDoubleOut[c];
    mEffect->processDoubleReplacing(mEffect, in, out, buffered);
  } else {
    float* in[kMaxChannels];
    float* out[kMaxChannels];
    for (int c = 0; c < kMaxChannels; ++c) in[c] = gFloatIn[c], out[c] = gFloatOut[c];
    if (precision == Precision::kSingle)
      mEffect->processReplacing(mEffect, in, out, buffered);
    else
      mEffect->process(mEffect, in, out, buffered);
  }
  mFrames = -1;
  if (mAdvance && (mTime.flags & kVstTransportPlaying)) {
    mTime.samplePos += buffered;
    if (mTime.tempo > 0 && mTime.sampleRate > 0) mTime.ppqPos += buffered * mTime.tempo / (60.0 * mTime.sampleRate);
  }
}

bool FuzzHost::AnySounding() const {
  for (const auto& channel : mSounding)
    for (bool on : channel)
      if (on) return true;
  return false;
}

void FuzzHost::StopAndCheckSilence() {
  mTimeAvailable = true;
  mTime.flags &= ~kVstTransportPlaying;
  Process(64, Precision::kSingle);
  for (int c = 0; c < 16; ++c)
    for (int n = 0; n < 128; ++n)
      if (mSounding[c][n]) FuzzFail("note %d on channel %d still sounds after the transport stopped", n, c + 1);
}

VstIntPtr VST_CALLBACK FuzzHost::Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  FuzzHost* host = gHost;
  if (!host) return 0;
  switch (opcode) {
    case audioMasterVersion:
      return 2400;
    case audioMasterGetTime:
      return host->mTimeAvailable ? reinterpret_cast<VstIntPtr>(&host->mTime) : 0;
    case audioMasterProcessEvents:
      host->Receive(static_cast<const VstEvents*>(ptr));
      return 1;
    case audioMasterGetProductString:
      if (ptr) std::snprintf(static_cast<char*>(ptr), 64, "%s", host->mProductString);
      return 1;
    case audioMasterGetVendorVersion:
      return 1000;
    default:
      return 0;
  }
}

void FuzzHost::Receive(const VstEvents* events) {
  if (!events) return;
  VstEvent* const* list = events->events;  // numEvents entries, although the type declares two
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (!event || event->type != kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
    const uint8_t status = static_cast<uint8_t>(midi->midiData[0]);
    const int kind = status >> 4;
    if (kind != 0x8 && kind != 0x9) continue;
    const uint8_t note = static_cast<uint8_t>(midi->midiData[1]);
    const uint8_t velocity = static_cast<uint8_t>(midi->midiData[2]);
    const int channel = status & 0x0F;
    if (note >= 128 || velocity >= 128) FuzzFail("note event %02X %02X %02X has a data byte of 128 or more", status, note, velocity);
    if (mFrames < 0) FuzzFail("note event %02X %02X %02X sent outside a processing call", status, note, velocity);
    if (midi->deltaFrames < 0 || midi->deltaFrames >= mFrames)
      FuzzFail("note event %02X %02X %02X at offset %d of a %d-frame call", status, note, velocity,
               midi->deltaFrames, mFrames);
    mSounding[channel][note] = kind == 0x9 && velocity > 0;
  }
}
