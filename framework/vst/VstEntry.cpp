#include "VstEntry.h"

#include "RecursiveLock.h"
#include "VstWrapper.h"

namespace {
RecursiveLock& CreationLock() {
  static RecursiveLock lock;  // made on first use, gone with the process
  return lock;
}
}  // namespace

AEffect* VstCreateEffect(audioMasterCallback hostCallback, PluginFactory factory) {
  ScopedLock lock(CreationLock());
  VstWrapper* wrapper = nullptr;
  try {
    std::unique_ptr<IPluginBase> plug(factory ? factory() : nullptr);
    if (!plug) return nullptr;
    plug->EnsurePresetSlot();
    wrapper = new VstWrapper(hostCallback, std::move(plug));
  } catch (...) {
    // Out of memory while building: the host gets null, never an exception.
    return nullptr;
  }
  AEffect* effect = wrapper->GetAEffect();
  if (effect->numPrograms < 1) effect->numPrograms = 1;
  return effect;
}

IPluginBase* VstPluginOf(AEffect* effect) {
  VstWrapper* wrapper = VstWrapper::FromEffect(effect);
  return wrapper ? &wrapper->Plugin() : nullptr;
}
