#include "VstModuleHost.h"

#include <dlfcn.h>

#include <cstring>

namespace {
thread_local VstModuleHost* tLoading = nullptr;  // answers calls made before effect->user is set
typedef AEffect* (*EntryPoint)(audioMasterCallback);
}  // namespace

VstModuleHost::~VstModuleHost() {
  if (mEffect) {
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effClose);
  }
  if (mModule) dlclose(mModule);
}

bool VstModuleHost::Load(const std::string& path, double sampleRate, int blockSize, std::string* error) {
  mModule = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mModule) {
    *error = dlerror();
    return false;
  }
  auto entry = reinterpret_cast<EntryPoint>(dlsym(mModule, "VSTPluginMain"));
  if (!entry) {
    *error = "no VSTPluginMain in " + path;
    return false;
  }
  tLoading = this;
  mEffect = entry(Callback);
  tLoading = nullptr;
  if (!mEffect) {
    *error = "VSTPluginMain returned null";
    return false;
  }
  mEffect->user = this;
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effMainsChanged, 0, 1);
  mTime.sampleRate = sampleRate;
  for (auto& buffer : mBuffers) buffer.assign(static_cast<size_t>(blockSize), 0.0f);
  return true;
}

VstIntPtr VstModuleHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

VstIntPtr VST_CALLBACK VstModuleHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr,
                                               float) {
  VstModuleHost* host = effect && effect->user ? static_cast<VstModuleHost*>(effect->user) : tLoading;
  if (opcode == audioMasterVersion) return 2400;
  if (!host) return 0;
  switch (opcode) {
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(&host->mTime);
    case audioMasterProcessEvents: {
      const auto* events = static_cast<const VstEvents*>(ptr);
      // The list is longer than its declared two entries: walk it through a pointer.
      VstEvent* const* list = events->events;
      for (VstInt32 i = 0; i < events->numEvents; ++i) {
        if (!list[i] || list[i]->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(list[i]);
        const auto status = static_cast<uint8_t>(midi->midiData[0]);
        // As many bytes as the message has, the way an LV2 host receives it.
        const size_t size = status >= 0xF0 ? (status == 0xF2 ? 3 : (status == 0xF1 || status == 0xF3) ? 2 : 1)
                            : (status & 0xE0) == 0xC0 ? 2 : 3;
        std::vector<uint8_t> bytes(size);
        for (size_t b = 0; b < size; ++b) bytes[b] = static_cast<uint8_t>(midi->midiData[b]);
        host->mCollected.push_back({host->mFrames + midi->deltaFrames, bytes});
      }
      return 1;
    }
    default: return 0;
  }
}

int VstModuleHost::ParamIndex(const std::string& name) const {
  for (int i = 0; i < mEffect->numParams; ++i) {
    char text[256] = {};
    mEffect->dispatcher(mEffect, effGetParamName, i, 0, text, 0.0f);
    if (name == text) return i;
  }
  return -1;
}

std::string VstModuleHost::ParamDisplayFor(int index, float normalized) {
  char text[256] = {};
  Dispatch(effVendorSpecific, effGetParamDisplay, index, text, normalized);
  return text;
}

std::string VstModuleHost::ParamDisplayAt(int index, float normalized) {
  const float before = mEffect->getParameter(mEffect, index);
  SetParameter(index, normalized);
  char text[256] = {};
  Dispatch(effGetParamDisplay, index, 0, text);
  SetParameter(index, before);
  return text;
}

std::vector<uint8_t> VstModuleHost::GetChunk(bool bank) {
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

bool VstModuleHost::SetChunk(const std::vector<uint8_t>& bytes, bool bank) {
  std::vector<uint8_t> copy = bytes;
  return Dispatch(effSetChunk, bank ? 0 : 1, static_cast<VstIntPtr>(copy.size()), copy.data()) == 1;
}

void VstModuleHost::SetTransport(double samplePos, double tempo, bool playing) {
  mTime.samplePos = samplePos;
  mTime.tempo = tempo;
  mTime.flags = kVstTempoValid | (playing ? kVstTransportPlaying : 0);
}

void VstModuleHost::SendMidi(int offset, const std::vector<uint8_t>& bytes) {
  VstMidiEvent midi = {};
  midi.type = kVstMidiType;
  midi.byteSize = sizeof(VstMidiEvent);
  midi.deltaFrames = offset;
  for (size_t b = 0; b < bytes.size() && b < 4; ++b) midi.midiData[b] = static_cast<char>(bytes[b]);
  VstEvents events = {};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&midi);
  Dispatch(effProcessEvents, 0, 0, &events);
}

std::vector<HostEvent> VstModuleHost::Process(int frames) {
  for (auto& buffer : mBuffers)
    if (buffer.size() < static_cast<size_t>(frames)) buffer.resize(static_cast<size_t>(frames));
  float* in[2] = {mBuffers[0].data(), mBuffers[1].data()};
  float* out[2] = {mBuffers[2].data(), mBuffers[3].data()};
  mEffect->processReplacing(mEffect, in, out, frames);
  mFrames += frames;
  std::vector<HostEvent> events;
  events.swap(mCollected);
  return events;
}
