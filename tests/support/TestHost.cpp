#include "TestHost.h"

#include <cstring>

namespace {
thread_local TestHost* tLoadingHost = nullptr;  // answers calls made before effect->user is set
}

TestHost::~TestHost() { Close(); }

AEffect* TestHost::Load(PluginFactory factory, bool open) {
  tLoadingHost = this;
  mEffect = VstCreateEffect(Callback, factory);
  tLoadingHost = nullptr;
  if (!mEffect) return nullptr;
  mEffect->user = this;
  if (open) Dispatch(effOpen);
  return mEffect;
}

void TestHost::Close() {
  if (!mEffect) return;
  Dispatch(effClose);
  mEffect = nullptr;
}

VstIntPtr TestHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void TestHost::SetParameter(int index, float value) { mEffect->setParameter(mEffect, index, value); }

float TestHost::GetParameter(int index) { return mEffect->getParameter(mEffect, index); }

std::string TestHost::ParamDisplay(int index) {
  char text[256] = {};
  Dispatch(effGetParamDisplay, index, 0, text);
  return text;
}

std::string TestHost::ParamName(int index) {
  char text[256] = {};
  Dispatch(effGetParamName, index, 0, text);
  return text;
}

void TestHost::SetTransport(double samplePos, double tempo, bool playing) {
  mSamplePos = samplePos;
  mTempo = tempo;
  mPlaying = playing;
}

void TestHost::SendMidi(uint8_t status, uint8_t data1, uint8_t data2, int offset) {
  VstMidiEvent midi = {};
  midi.type = kVstMidiType;
  midi.byteSize = sizeof(VstMidiEvent);
  midi.deltaFrames = offset;
  midi.midiData[0] = static_cast<char>(status);
  midi.midiData[1] = static_cast<char>(data1);
  midi.midiData[2] = static_cast<char>(data2);
  VstEvents events = {};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&midi);
  SendEvents(&events);
}

void TestHost::SendEvents(VstEvents* events) { Dispatch(effProcessEvents, 0, 0, events); }

void TestHost::PrepareBuffers(int nFrames) {
  for (int c = 0; c < 2; ++c) {
    mIn[c].resize(static_cast<size_t>(nFrames), 0.0f);
    mOut[c].resize(static_cast<size_t>(nFrames), 0.0f);
  }
}

void TestHost::Process(int nFrames) {
  PrepareBuffers(nFrames);
  float* in[2] = {mIn[0].data(), mIn[1].data()};
  float* out[2] = {mOut[0].data(), mOut[1].data()};
  mInProcessing = true;
  mEffect->processReplacing(mEffect, in, out, nFrames);
  mInProcessing = false;
  if (mPlaying) mSamplePos += nFrames;
  ++mBlock;
}

void TestHost::ProcessDouble(int nFrames) {
  PrepareBuffers(nFrames);
  for (int c = 0; c < 2; ++c) {
    mInDouble[c].assign(mIn[c].begin(), mIn[c].end());
    mOutDouble[c].assign(static_cast<size_t>(nFrames), 0.0);
  }
  double* in[2] = {mInDouble[0].data(), mInDouble[1].data()};
  double* out[2] = {mOutDouble[0].data(), mOutDouble[1].data()};
  mInProcessing = true;
  mEffect->processDoubleReplacing(mEffect, in, out, nFrames);
  mInProcessing = false;
  for (int c = 0; c < 2; ++c)
    for (int s = 0; s < nFrames; ++s) mOut[c][size_t(s)] = static_cast<float>(mOutDouble[c][size_t(s)]);
  if (mPlaying) mSamplePos += nFrames;
  ++mBlock;
}

std::vector<MidiEvent> TestHost::TakeMidi() {
  std::vector<MidiEvent> taken;
  taken.swap(mMidiOut);
  return taken;
}

std::vector<HostCall> TestHost::CallsWith(VstInt32 opcode) const {
  std::vector<HostCall> found;
  for (const HostCall& call : mCalls)
    if (call.opcode == opcode) found.push_back(call);
  return found;
}

VstIntPtr TestHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  TestHost* host = (effect && effect->user) ? static_cast<TestHost*>(effect->user) : tLoadingHost;
  return host ? host->OnCallback(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr TestHost::OnCallback(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (mRecordCalls) mCalls.push_back({opcode, index, value, opt});
  switch (opcode) {
    case audioMasterGetTime:
      if (!mTimeInfoAvailable) return 0;
      mTimeInfo = {};
      mTimeInfo.samplePos = mSamplePos;
      mTimeInfo.sampleRate = 44100.0;
      mTimeInfo.tempo = mTempo;
      mTimeInfo.ppqPos = mSamplePos / 44100.0 * mTempo / 60.0;
      mTimeInfo.timeSigNumerator = 4;
      mTimeInfo.timeSigDenominator = 4;
      mTimeInfo.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid | kVstBarsValid |
                        (mPlaying ? kVstTransportPlaying : 0);
      return reinterpret_cast<VstIntPtr>(&mTimeInfo);
    case audioMasterProcessEvents: {
      const VstEvents* events = static_cast<const VstEvents*>(ptr);
      if (!events) return 0;
      // The list holds numEvents entries although its type declares two: index through the first entry.
      VstEvent* const* list = events->events;
      for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (!event) continue;
        if (event->type == kVstMidiType) {
          const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
          mMidiOut.push_back({mBlock, midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                              static_cast<uint8_t>(midi->midiData[1]), static_cast<uint8_t>(midi->midiData[2]),
                              mBatches, i, mInProcessing});
        } else {
          mForwardedEvents.push_back({mBlock, mBatches, i, mInProcessing, event->type, event->deltaFrames});
          if (event->type == kVstSysExType) {
            const VstMidiSysexEvent* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
            if (sysex->sysexDump && sysex->dumpBytes > 0)
              mForwardedSysEx.insert(mForwardedSysEx.end(), sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
          }
        }
      }
      ++mBatches;
      return mProcessEventsResult;
    }
    case audioMasterGetProductString:
      if (ptr) std::strncpy(static_cast<char*>(ptr), mProductString.c_str(), 63);
      return 1;
    case audioMasterGetVendorVersion:
      return mVendorVersion;
    case audioMasterVersion:
      return kVstVersion;
    default:
      return 0;
  }
}
