#include "Lv2Entry.h"

#include <string_view>

#include <lv2/state/state.h>

#include "Lv2Wrapper.h"
#include "RecursiveLock.h"

namespace {
RecursiveLock& CreationLock() {
  static RecursiveLock lock;
  return lock;
}

Lv2Wrapper* FromHandle(LV2_Handle instance) { return static_cast<Lv2Wrapper*>(instance); }

// [instantiation]
LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char* bundlePath,
                       const LV2_Feature* const* features) {
  Lv2HostLink host;
  host.mSampleRate = sampleRate;
  host.mBundlePath = bundlePath;
  host.mFeatures = features;
  host.mURIs = &kLv2PluginURIs;
  return Lv2CreateInstance(&host, CreatePluginInstance);
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) { FromHandle(instance)->ConnectPort(port, data); }

void Activate(LV2_Handle instance) { FromHandle(instance)->Activate(); }

// [audio thread]
void Run(LV2_Handle instance, uint32_t nFrames) { FromHandle(instance)->Run(nFrames); }

void Deactivate(LV2_Handle instance) { FromHandle(instance)->Deactivate(); }

void Cleanup(LV2_Handle instance) {
  Lv2Wrapper* plug = FromHandle(instance);
  // As on effClose: the editor's thread must be gone first, and nobody may hold the lock that dies here.
  if (IEditorInterface* graphics = plug->Plugin().GetGraphics()) graphics->CloseWindow();
  plug->Plugin().Lock().Enter();
  // A host may clean the instance up before its UI; the UI must not reach for it afterwards.
  if (Lv2EditorLink* link = plug->EditorLink()) link->Detach();
  plug->SetEditorLink(nullptr);
  plug->Plugin().Lock().Leave();
  delete plug;
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*) {
  return FromHandle(instance)->SaveState(store, handle);
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                         uint32_t, const LV2_Feature* const*) {
  return FromHandle(instance)->RestoreState(retrieve, handle);
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface kState = {Save, Restore};
  if (uri && std::string_view(uri) == LV2_STATE__interface) return &kState;
  return nullptr;
}
}  // namespace

Lv2Wrapper* Lv2CreateInstance(const Lv2HostLink* host, PluginFactory factory) {
  ScopedLock lock(CreationLock());
  Lv2Wrapper* plug = nullptr;
  try {
    std::unique_ptr<IPluginBase> product(factory ? factory() : nullptr);
    if (!product) return nullptr;
    plug = new Lv2Wrapper(host, std::move(product));
  } catch (...) {
    return nullptr;  // out of memory while building: the host gets null, never an exception
  }
  if (!plug->FinishInstantiation()) {
    delete plug;
    return nullptr;
  }
  return plug;
}

const LV2_Descriptor* Lv2PluginDescriptor() {
  static const LV2_Descriptor kDescriptor = {kLv2PluginURIs.mPlugin, Instantiate, ConnectPort, Activate, Run,
                                             Deactivate, Cleanup, ExtensionData};
  return &kDescriptor;
}
