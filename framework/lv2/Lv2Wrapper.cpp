#include "Lv2Wrapper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include "Text.h"

namespace {
// Output room for everything a busy cycle can send: a transport stop ends a note on every key and channel.
constexpr int kHeldMessages = 2048;
constexpr int kCarriedMessages = 2048;
// Without the host's largest cycle the plug-in is set up for this many frames; longer cycles are run in parts.
constexpr int kDefaultBlockLength = 4096;
constexpr int kLargestBlockLength = 1 << 16;
}  // namespace

const void* FindLV2Feature(const LV2_Feature* const* features, const char* uri) {
  if (!features || !uri) return nullptr;
  for (; *features; ++features)
    if ((*features)->URI && std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

Lv2Wrapper::Lv2Wrapper(const Lv2HostLink* host, std::unique_ptr<IPluginBase> plugin)
    : mPlug(std::move(plugin)), mOutput(kHeldMessages, kCarriedMessages) {
  mPlug->AttachHost(this);
  if (host) {
    mPlug->SetSampleRate(host->mSampleRate);
    MapURIs(host);
    ReadOptions(host);
  }
  mOutput.SetTypes(mURIDs.atomSequence, mURIDs.midiEvent);
  mNoBuffers.assign(static_cast<size_t>(std::max({mPlug->NInChannels(), mPlug->NOutChannels(), 1})), nullptr);
}

Lv2Wrapper::~Lv2Wrapper() {
  // The plug-in and its editor go before the output and transport they may still reach.
  mPlug.reset();
}

void Lv2Wrapper::MapURIs(const Lv2HostLink* host) {
  mMap = static_cast<LV2_URID_Map*>(const_cast<void*>(FindLV2Feature(host->mFeatures, LV2_URID__map)));
  if (!mMap) return;
  auto map = [this](const char* uri) { return mMap->map(mMap->handle, uri); };
  mURIDs.atomSequence = map(LV2_ATOM__Sequence);
  mURIDs.atomObject = map(LV2_ATOM__Object);
  mURIDs.atomBlank = map(LV2_ATOM__Blank);
  mURIDs.atomChunk = map(LV2_ATOM__Chunk);
  mURIDs.atomInt = map(LV2_ATOM__Int);
  mURIDs.atomLong = map(LV2_ATOM__Long);
  mURIDs.atomFloat = map(LV2_ATOM__Float);
  mURIDs.atomDouble = map(LV2_ATOM__Double);
  mURIDs.midiEvent = map(LV2_MIDI__MidiEvent);
  mURIDs.timePosition = map(LV2_TIME__Position);
  mURIDs.timeFrame = map(LV2_TIME__frame);
  mURIDs.timeSpeed = map(LV2_TIME__speed);
  mURIDs.timeBeatsPerMinute = map(LV2_TIME__beatsPerMinute);
  mURIDs.timeBeat = map(LV2_TIME__beat);
  mURIDs.timeBar = map(LV2_TIME__bar);
  mURIDs.timeBarBeat = map(LV2_TIME__barBeat);
  mURIDs.timeBeatsPerBar = map(LV2_TIME__beatsPerBar);
  mURIDs.timeBeatUnit = map(LV2_TIME__beatUnit);
  mURIDs.bufMaxBlockLength = map(LV2_BUF_SIZE__maxBlockLength);
  if (host->mURIs) {
    mURIDs.stateChunk = map(host->mURIs->mStateChunk);
    mURIDs.stateProgram = map(host->mURIs->mStateProgram);
  }
}

void Lv2Wrapper::ReadOptions(const Lv2HostLink* host) {
  const auto* options = static_cast<const LV2_Options_Option*>(FindLV2Feature(host->mFeatures, LV2_OPTIONS__options));
  if (!options || !mMap) return;
  for (; options->key != 0; ++options) {
    if (options->key != mURIDs.bufMaxBlockLength || !options->value) continue;
    int64_t length = 0;
    if (options->type == mURIDs.atomInt && options->size == sizeof(int32_t))
      length = *static_cast<const int32_t*>(options->value);
    else if (options->type == mURIDs.atomLong && options->size == sizeof(int64_t))
      length = *static_cast<const int64_t*>(options->value);
    if (length > 0 && length <= kLargestBlockLength) mMaxBlockLength = static_cast<int>(length);
  }
}

bool Lv2Wrapper::FinishInstantiation() {
  // Delays are computed from the rate: without a real one there is no sensible plug-in to give.
  if (!mMap || !(mPlug->GetSampleRate() > 0.0) || !std::isfinite(mPlug->GetSampleRate())) return false;
  mPlug->EnsurePresetSlot();
  const int nParams = mPlug->NParams();
  mParamPorts.assign(static_cast<size_t>(nParams), -1);
  mControlParams.clear();
  // A parameter the product never defined has no name and no effect: hosts get no port for it.
  for (int i = 0; i < mPlug->NHostParams() && i < nParams; ++i) {
    if (mPlug->GetParam(i)->Type() == kParamNone) continue;
    mParamPorts[static_cast<size_t>(i)] = static_cast<int>(kLv2FirstControlPort + mControlParams.size());
    mControlParams.push_back(i);
  }
  mControlPorts.assign(mControlParams.size(), nullptr);
  mLastControl.assign(mControlParams.size(), std::numeric_limits<float>::quiet_NaN());
  mEditorGesture = std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(nParams));
  for (int i = 0; i < nParams; ++i) mEditorGesture[static_cast<size_t>(i)] = false;
  mEditorSent = std::make_unique<std::atomic<float>[]>(static_cast<size_t>(nParams));
  for (int i = 0; i < nParams; ++i) mEditorSent[static_cast<size_t>(i)] = std::numeric_limits<float>::quiet_NaN();

  // The order a VST host opens a plug-in in: open, sample rate, block size.
  ScopedLock lock(mPlug->Lock());
  ScopedLock audio(mPlug->AudioLock());
  // No host product text in LV2: the host code is "no known host", asked once as for VST.
  mPlug->SetHost("", 0);
  mPlug->NotifyAllParameters();
  mPlug->Reset();
  mPlug->SetBlockSize(mMaxBlockLength > 0 ? mMaxBlockLength : kDefaultBlockLength);
  mPlug->Reset();
  return true;
}

int Lv2Wrapper::PortForParam(int paramIdx) const {
  if (paramIdx < 0 || paramIdx >= static_cast<int>(mParamPorts.size())) return -1;
  return mParamPorts[static_cast<size_t>(paramIdx)];
}

void Lv2Wrapper::ConnectPort(uint32_t port, void* data) {
  if (port == kLv2EventsInPort) {
    mEventsIn = static_cast<const LV2_Atom_Sequence*>(data);
  } else if (port == kLv2MidiOutPort) {
    mMidiOut = static_cast<LV2_Atom_Sequence*>(data);
  } else if (port >= kLv2FirstControlPort && port - kLv2FirstControlPort < mControlPorts.size()) {
    mControlPorts[port - kLv2FirstControlPort] = static_cast<const float*>(data);
  }
}

void Lv2Wrapper::Activate() {
  ScopedLock lock(mPlug->Lock());
  ScopedLock audio(mPlug->AudioLock());
  // A newly activated instance starts from a stopped transport, as hosts expect of LV2 plug-ins.
  mTransport.Reset();
  mPlug->OnActivate(true);
}

void Lv2Wrapper::Deactivate() {
  ScopedLock lock(mPlug->Lock());
  ScopedLock audio(mPlug->AudioLock());
  mPlug->OnActivate(false);
  mPlug->Reset();
}

// ---- Parameters from the host's control ports [audio thread, under the audio lock] ----

void Lv2Wrapper::ReadControlPorts() {
  for (size_t k = 0; k < mControlPorts.size(); ++k) {
    const float* port = mControlPorts[k];
    if (!port) continue;
    const float value = *port;
    // A port that holds what it held last cycle is no new setting; NaN is none at all.
    if (std::isnan(value) || value == mLastControl[k]) continue;
    mLastControl[k] = value;
    const auto paramIdx = static_cast<size_t>(mControlParams[k]);
    // While the editor drags a control, the port only echoes what the editor sent a moment ago; after the
    // drag, the editor's last value comes back once. Running the handler again for either would, for one,
    // restart a rotation the editor has just set.
    if (mEditorGesture[paramIdx]) continue;
    if (value == mEditorSent[paramIdx].load(std::memory_order_relaxed)) {
      mEditorSent[paramIdx].store(std::numeric_limits<float>::quiet_NaN(), std::memory_order_relaxed);
      continue;
    }
    // The VST host's setParameter path, through the normalised value so that rounding to the step is the same.
    const int idx = static_cast<int>(paramIdx);
    mPlug->SetParameterFromHost(idx, mPlug->GetParam(idx)->NormalizeValue(value));
  }
}

// ---- The editor's changes, out through the UI [editor thread, under the plug-in lock] ----

void Lv2Wrapper::SetEditorLink(Lv2EditorLink* link) {
  ScopedLock lock(mPlug->Lock());
  mEditorLink = link;
}

void Lv2Wrapper::OnEditorResized(int width, int height) {
  ScopedLock lock(mPlug->Lock());
  if (mEditorLink) mEditorLink->EditorResized(width, height);
}

void Lv2Wrapper::BeginHostEdit(int paramIdx) {
  ScopedLock lock(mPlug->Lock());
  const int port = PortForParam(paramIdx);
  if (port < 0) return;
  mEditorGesture[static_cast<size_t>(paramIdx)] = true;
  if (mEditorLink) mEditorLink->BeginEdit(port);
}

void Lv2Wrapper::NotifyHostOfChange(int paramIdx, double) {
  ScopedLock lock(mPlug->Lock());
  const int port = PortForParam(paramIdx);
  // Control ports carry the real value; the parameter holds it, rounded to its step, by now.
  if (port < 0) return;
  const auto value = static_cast<float>(mPlug->GetParam(paramIdx)->Value());
  mEditorSent[static_cast<size_t>(paramIdx)].store(value, std::memory_order_relaxed);
  if (mEditorLink) mEditorLink->ValueEdited(port, value);
}

void Lv2Wrapper::EndHostEdit(int paramIdx) {
  ScopedLock lock(mPlug->Lock());
  const int port = PortForParam(paramIdx);
  if (port < 0) return;
  mEditorGesture[static_cast<size_t>(paramIdx)] = false;
  if (mEditorLink) mEditorLink->EndEdit(port);
}

// ---- Transport queries [audio thread, under the audio lock] ----

void Lv2Wrapper::GetTransportInfo(TransportInfo* info) { mTransport.Fill(info); }
