#include "ClapEntry.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ClapWrapper.h"

namespace {
std::mutex& EntryMutex() {
  static std::mutex mutex;
  return mutex;
}
int gInitCount = 0;
std::string gPluginPath;  // what the latest init gave

// The folder of path joined with relative, ".." and "." taken out, so hosts show a plain path.
std::string JoinFolder(const std::string& path, const char* relative) {
  const size_t slash = path.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string joined = folder + "/" + relative;
  std::string root;
  size_t at = 0;
  if (joined.size() >= 2 && joined[1] == ':') {
    root = joined.substr(0, 2);  // a Windows drive
    at = 2;
  }
  if (at < joined.size() && (joined[at] == '/' || joined[at] == '\\')) root += '/';
  std::vector<std::string> parts;
  while (at <= joined.size()) {
    size_t end = joined.find_first_of("/\\", at);
    if (end == std::string::npos) end = joined.size();
    const std::string part = joined.substr(at, end - at);
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") parts.pop_back();
      else if (root.empty()) parts.push_back(part);
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::string out = root;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out.empty() ? "." : out;
}

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

bool CLAP_ABI ClapEntryInit(const char* pluginPath) {
  std::lock_guard<std::mutex> lock(EntryMutex());
  ++gInitCount;
  if (pluginPath && *pluginPath) gPluginPath = pluginPath;
  return true;
}

void CLAP_ABI ClapEntryDeinit() {
  std::lock_guard<std::mutex> lock(EntryMutex());
  if (gInitCount > 0) --gInitCount;
}

const void* CLAP_ABI ClapEntryGetFactory(const char* factoryId) {
  if (!factoryId) return nullptr;
  if (std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) == 0) return &kPluginFactory;
  if (kClapPluginInfo.mPresetFolders && (std::strcmp(factoryId, CLAP_PRESET_DISCOVERY_FACTORY_ID) == 0 ||
                                         std::strcmp(factoryId, CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) == 0))
    return ClapPresetDiscoveryFactory();
  return nullptr;
}

std::vector<std::string> ClapPresetFolders() {
  std::lock_guard<std::mutex> lock(EntryMutex());
  std::vector<std::string> folders;
  if (gPluginPath.empty() || !kClapPluginInfo.mPresetFolders) return folders;
  for (const char* const* folder = kClapPluginInfo.mPresetFolders; *folder; ++folder)
    folders.push_back(JoinFolder(gPluginPath, *folder));
  return folders;
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
