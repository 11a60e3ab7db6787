#include "TestHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {
thread_local TestHost* tLoadingHost = nullptr;  // answers calls made before effect->user is set


#ifdef _WIN32
void* OpenModule(const std::string& path, std::string* error) {
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) *error = path + ": cannot be loaded (error " + std::to_string(GetLastError()) + ")";
  return reinterpret_cast<void*>(module);
}
void* ModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }
#else
void* OpenModule(const std::string& path, std::string* error) {
  // Without a slash dlopen would search the library path instead of the folder.
  const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
  void* module = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = dlerror();
    *error = path + ": " + (why ? why : "cannot be loaded");
  }
  return module;
}
void* ModuleSymbol(void* module, const char* name) { return dlsym(module, name); }
void CloseModule(void* module) { dlclose(module); }
#endif

}  // namespace

TestHost::TestHost(Mode mode) : mMode(mode) {
  mTime.sampleRate = 44100.0;
  mTime.tempo = 120.0;
  mTime.timeSigNumerator = 4;
  mTime.timeSigDenominator = 4;
  mTime.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
}

TestHost::~TestHost() { Close(); }

AEffect* TestHost::Opened(AEffect* effect, bool open) {
  mEffect = effect;
  if (!mEffect) return nullptr;
  mEffect->user = this;
  if (open) Dispatch(effOpen);
  return mEffect;
}

AEffect* TestHost::Load(PluginFactory factory, bool open) {
  tLoadingHost = this;
  AEffect* effect = VstCreateEffect(Callback, factory);
  tLoadingHost = nullptr;
  return Opened(effect, open);
}

AEffect* TestHost::LoadEntry(EntryPoint entry, bool open) {
  tLoadingHost = this;
  AEffect* effect = entry(Callback);
  tLoadingHost = nullptr;
  return Opened(effect, open);
}

bool TestHost::LoadModule(const std::string& path, std::string* error) {
  Close();
  mModule = OpenModule(path, error);
  if (!mModule) return false;
  auto entry = reinterpret_cast<EntryPoint>(ModuleSymbol(mModule, "VSTPluginMain"));
  if (!entry) {
    *error = path + ": exports no VSTPluginMain";
  } else if (!LoadEntry(entry)) {
    *error = path + ": VSTPluginMain made no plug-in";
  } else {
    return true;
  }
  Close();
  return false;
}

void TestHost::Start(double sampleRate, int blockSize) {
  mTime.sampleRate = sampleRate;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effMainsChanged, 0, 1);
  mStarted = true;
}

void TestHost::Close() {
  if (mEffect) {
    if (mStarted) Dispatch(effMainsChanged, 0, 0);
    Dispatch(effClose);
  }
  mEffect = nullptr;
  mStarted = false;
  // Only once the plug-in is closed: its code lives in the module.
  if (mModule) CloseModule(mModule);
  mModule = nullptr;
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

int TestHost::ParamIndex(const std::string& name) {
  for (int i = 0; i < mEffect->numParams; ++i)
    if (ParamName(i) == name) return i;
  return -1;
}

std::string TestHost::ParamDisplayFor(int index, float normalized) {
  char text[256] = {};
  Dispatch(effVendorSpecific, effGetParamDisplay, index, text, normalized);
  return text;
}

std::string TestHost::ParamDisplayAt(int index, float normalized) {
  const float before = GetParameter(index);
  SetParameter(index, normalized);
  std::string text = ParamDisplay(index);
  SetParameter(index, before);
  return text;
}

std::vector<uint8_t> TestHost::GetChunk(bool bank) {
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

bool TestHost::SetChunk(const std::vector<uint8_t>& bytes, bool bank) {
  std::vector<uint8_t> copy = bytes;  // the plug-in gets a pointer to mutable bytes
  return Dispatch(effSetChunk, bank ? 0 : 1, static_cast<VstIntPtr>(copy.size()), copy.data()) == 1;
}

void TestHost::SetTransport(double samplePos, double tempo, bool playing) {
  mTime.samplePos = samplePos;
  mTime.tempo = tempo;
  SetPlaying(playing);
}

void TestHost::SetSamplePos(double samplePos) { mTime.samplePos = samplePos; }

void TestHost::SetTempo(double tempo) { mTime.tempo = tempo; }

void TestHost::SetPlaying(bool playing) {
  mTime.flags = playing ? mTime.flags | kVstTransportPlaying : mTime.flags & ~kVstTransportPlaying;
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

int TestHost::Channels() const {
  const int channels = std::max({2, mEffect->numInputs, mEffect->numOutputs});
  if (channels > kMaxChannels) {
    std::fprintf(stderr, "TestHost: the plug-in declares %d channels, more than %d\n", channels, kMaxChannels);
    std::abort();
  }
  return channels;
}

template <typename Sample>
void TestHost::PrepareBuffers(std::vector<Sample>* buffers, Sample** pointers, int channels, int frames) {
  const size_t n = static_cast<size_t>(std::max(frames, 0));
  for (int c = 0; c < channels; ++c) {
    if (buffers[c].size() != n) buffers[c].resize(n, Sample(0));
    pointers[c] = buffers[c].data();
  }
}

// Kept to what a host must do, so that benchmarks charge a plug-in and its floor little and the same.
void TestHost::Process(int frames, Precision precision) {
  const int channels = Channels();
  mProcessingFrames = frames;
  if (precision == Precision::kDouble) {
    PrepareBuffers(mInDouble, mDoublePointers[0], channels, frames);
    PrepareBuffers(mOutDouble, mDoublePointers[1], channels, frames);
    mEffect->processDoubleReplacing(mEffect, mDoublePointers[0], mDoublePointers[1], frames);
  } else {
    PrepareBuffers(mIn, mFloatPointers[0], channels, frames);
    PrepareBuffers(mOut, mFloatPointers[1], channels, frames);
    if (precision == Precision::kSingle)
      mEffect->processReplacing(mEffect, mFloatPointers[0], mFloatPointers[1], frames);
    else
      mEffect->process(mEffect, mFloatPointers[0], mFloatPointers[1], frames);
  }
  mProcessingFrames = -1;
  if (frames > 0 && (mTime.flags & kVstTransportPlaying)) mTime.samplePos += frames;
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
  if (mMode == Mode::kRecording) mCalls.push_back({opcode, index, value, opt});
  switch (opcode) {
    case audioMasterGetTime:
      if (!mTimeInfoAvailable) return 0;
      mTime.ppqPos = mTime.sampleRate > 0.0 ? mTime.samplePos / mTime.sampleRate * mTime.tempo / 60.0 : 0.0;
      return reinterpret_cast<VstIntPtr>(&mTime);
    case audioMasterProcessEvents:
      if (!ptr) return 0;
      Receive(static_cast<const VstEvents*>(ptr));
      return mProcessEventsResult;
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

void TestHost::Receive(const VstEvents* events) {
  const int batch = mBatches++;
  mEventsReceived += static_cast<size_t>(std::max(events->numEvents, 0));
  if (mMode == Mode::kCounting && !mOnEvent) return;  // a benchmark's sink
  const bool during = mProcessingFrames >= 0;
  // The list holds numEvents entries although its type declares two: index through the first entry.
  VstEvent* const* list = events->events;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    if (!event) continue;
    if (mOnEvent) mOnEvent(*event);
    if (mMode == Mode::kCounting) continue;
    if (event->type == kVstMidiType) {
      const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
      mMidiOut.push_back({mBlock, midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                          static_cast<uint8_t>(midi->midiData[1]), static_cast<uint8_t>(midi->midiData[2]), batch, i,
                          during});
    } else {
      mForwardedEvents.push_back({mBlock, batch, i, during, event->type, event->deltaFrames});
      if (event->type == kVstSysExType) {
        const VstMidiSysexEvent* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
        if (sysex->sysexDump && sysex->dumpBytes > 0)
          mForwardedSysEx.insert(mForwardedSysEx.end(), sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
      }
    }
  }
}
