#include "BenchHost.h"

#include "MinimalPlugin.h"

namespace {
thread_local BenchHost* tLoadingHost = nullptr;  // answers calls made before effect->user is set
}

BenchHost::BenchHost(int maxFrames) {
  for (auto& buffer : mFloat) buffer.assign(static_cast<std::size_t>(maxFrames), 0.25f);
  for (auto& buffer : mDouble) buffer.assign(static_cast<std::size_t>(maxFrames), 0.25);
}

BenchHost::~BenchHost() {
  if (mEffect) mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
}

AEffect* BenchHost::Opened(AEffect* effect) {
  mEffect = effect;
  if (!mEffect) return nullptr;
  mEffect->user = this;
  mEffect->dispatcher(mEffect, effOpen, 0, 0, nullptr, 0.0f);
  mEffect->dispatcher(mEffect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
  mEffect->dispatcher(mEffect, effSetBlockSize, 0, static_cast<VstIntPtr>(mFloat[0].size()), nullptr, 0.0f);
  mEffect->dispatcher(mEffect, effMainsChanged, 0, 1, nullptr, 0.0f);
  return mEffect;
}

AEffect* BenchHost::Load(PluginFactory factory) {
  tLoadingHost = this;
  AEffect* effect = VstCreateEffect(Callback, factory);
  tLoadingHost = nullptr;
  return Opened(effect);
}

AEffect* BenchHost::LoadMinimal() {
  return Opened(VSTPluginMain(Callback));
}

void BenchHost::Process(int frames) {
  float* in[2] = {mFloat[0].data(), mFloat[1].data()};
  float* out[2] = {mFloat[2].data(), mFloat[3].data()};
  mEffect->processReplacing(mEffect, in, out, frames);
  mSamplePos += frames;
}

void BenchHost::ProcessDouble(int frames) {
  double* in[2] = {mDouble[0].data(), mDouble[1].data()};
  double* out[2] = {mDouble[2].data(), mDouble[3].data()};
  mEffect->processDoubleReplacing(mEffect, in, out, frames);
  mSamplePos += frames;
}

VstIntPtr BenchHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr, float) {
  BenchHost* host = (effect && effect->user) ? static_cast<BenchHost*>(effect->user) : tLoadingHost;
  return host ? host->OnCallback(opcode, value, ptr) : 0;
}

VstIntPtr BenchHost::OnCallback(VstInt32 opcode, VstIntPtr, void* ptr) {
  switch (opcode) {
    case audioMasterProcessEvents:
      ++mProcessEventsCalls;
      if (ptr) mEventsReceived += static_cast<std::size_t>(static_cast<const VstEvents*>(ptr)->numEvents);
      return 1;
    case audioMasterGetTime:
      mTimeInfo.samplePos = mSamplePos;
      mTimeInfo.sampleRate = 44100.0;
      mTimeInfo.tempo = 120.0;
      mTimeInfo.ppqPos = mSamplePos / 22050.0;
      mTimeInfo.timeSigNumerator = 4;
      mTimeInfo.timeSigDenominator = 4;
      mTimeInfo.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
      return reinterpret_cast<VstIntPtr>(&mTimeInfo);
    case audioMasterVersion:
      return kVstVersion;
    default:
      return 0;
  }
}
