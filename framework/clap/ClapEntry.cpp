#include "ClapEntry.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "ClapWrapper.h"

namespace {
std::mutex& EntryMutex() {
  static std::mutex mutex;
  return mutex;
}
int gInitCount = 0;

const clap_plugin_descriptor_t* Descriptor() {
  static const clap_plugin_descriptor_t kDescriptor = {
      CLAP_VERSION,           kClapPluginInfo.mId,      kClapPluginInfo.mName,    kClapPluginInfo.mVendor,
      kClapPluginInfo.mUrl,   "",                       "",                       kClapPluginInfo.mVersion,
      kClapPluginInfo.mDescription, kClapPluginInfo.mFeatures};
  return &kDescriptor;
}

uint32_t CLAP_ABI PluginCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* CLAP_ABI PluginDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? Descriptor() : nullptr;
}

const clap_plugin_t* CLAP_ABI CreatePlugin(const clap_plugin_factory_t*, const clap_host_t* host,
                                           const char* pluginId) {
  if (!pluginId || std::strcmp(pluginId, kClapPluginInfo.mId) != 0) return nullptr;
  return ClapCreatePlugin(host, CreatePluginInstance);
}

const clap_plugin_factory_t kPluginFactory = {PluginCount, PluginDescriptor, CreatePlugin};
}  // namespace

bool CLAP_ABI ClapEntryInit(const char*) {
  std::lock_guard<std::mutex> lock(EntryMutex());
  ++gInitCount;
  return true;
}

void CLAP_ABI ClapEntryDeinit() {
  std::lock_guard<std::mutex> lock(EntryMutex());
  if (gInitCount > 0) --gInitCount;
}

const void* CLAP_ABI ClapEntryGetFactory(const char* factoryId) {
  if (factoryId && std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) == 0) return &kPluginFactory;
  return nullptr;
}

const clap_plugin_t* ClapCreatePlugin(const clap_host_t* host, PluginFactory factory) {
  if (!host || !clap_version_is_compatible(host->clap_version) || !factory) return nullptr;
  try {
    std::unique_ptr<IPluginBase> plug(factory());
    if (!plug) return nullptr;
    plug->EnsurePresetSlot();
    // Nothing here calls the host: that waits for the plug-in's init.
    return (new ClapWrapper(host, Descriptor(), std::move(plug)))->ClapPlugin();
  } catch (...) {
    return nullptr;  // out of memory while building: the host gets null, never an exception
  }
}
