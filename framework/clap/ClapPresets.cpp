// Presets for CLAP hosts: the discovery factory that shows the shipped program files in a host's preset
// browser, and preset-load, which loads one of them the way state load loads a chunk.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "ClapEntry.h"
#include "ClapWrapper.h"
#include "IProgramFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

bool IsFolder(const std::string& path) {
#ifdef _WIN32
  const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], n);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

// The user's own data folder, the way the XDG base directories name it; Windows keeps presets beside the module.
std::string UserDataFolder() {
#ifdef _WIN32
  return std::string();
#else
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return data;  // a relative one is to be ignored
  const char* home = std::getenv("HOME");
  return home && home[0] == '/' ? std::string(home) + "/.local/share" : std::string();
#endif
}

// The first place the presets are installed in, in the product's order; empty when none is there.
std::string FindPresetFolder() {
  std::vector<std::string> folders = ClapPresetFolders();
  const std::string data = UserDataFolder();
  if (!folders.empty() && kClapPluginInfo.mUserPresetFolder && !data.empty())
    folders.push_back(data + "/" + kClapPluginInfo.mUserPresetFolder);
  for (const std::string& folder : folders)
    if (IsFolder(folder)) return folder;
  return std::string();
}

// A program file is ours when it is whole, carries our id and holds our chunk: what preset-load accepts.
bool ReadOwnPreset(const char* path, int32_t pluginId, IProgramFile* file, std::string* error) {
  if (!ReadProgramFile(path, file, error)) return false;
  if (file->mPluginId != pluginId) {
    *error = "the preset is for another plug-in";
    return false;
  }
  if (!file->mHasChunk) {
    *error = "the preset holds bare parameter values, not the plug-in's state";
    return false;
  }
  return true;
}

const std::string& ProviderId() {
  static const std::string id = std::string(kClapPluginInfo.mId) + ".presets";
  return id;
}

const clap_preset_discovery_provider_descriptor_t* ProviderDescriptor() {
  static const std::string name = std::string(kClapPluginInfo.mName) + " presets";
  static const clap_preset_discovery_provider_descriptor_t kDescriptor = {CLAP_VERSION, ProviderId().c_str(),
                                                                          name.c_str(), kClapPluginInfo.mVendor};
  return &kDescriptor;
}

struct Provider {
  clap_preset_discovery_provider_t mClap;
  const clap_preset_discovery_indexer_t* mIndexer;
  std::string mFolder;
  std::string mFileTypeName;

  static Provider* From(const clap_preset_discovery_provider_t* p) { return static_cast<Provider*>(p->provider_data); }

  static bool CLAP_ABI Init(const clap_preset_discovery_provider_t* p) {
    Provider* self = From(p);
    const clap_preset_discovery_indexer_t* indexer = self->mIndexer;
    if (!indexer->declare_filetype || !indexer->declare_location) return false;
    const clap_preset_discovery_filetype_t type = {self->mFileTypeName.c_str(), "", "fxp"};
    if (!indexer->declare_filetype(indexer, &type)) return false;
    // Where no presets were installed for the module (a build tree, a copied file), there is nothing to show.
    self->mFolder = FindPresetFolder();
    if (self->mFolder.empty()) return true;
    const clap_preset_discovery_location_t location = {CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, "Factory presets",
                                                       CLAP_PRESET_DISCOVERY_LOCATION_FILE, self->mFolder.c_str()};
    return indexer->declare_location(indexer, &location);
  }
  static void CLAP_ABI Destroy(const clap_preset_discovery_provider_t* p) { delete From(p); }

  static bool CLAP_ABI GetMetadata(const clap_preset_discovery_provider_t*, uint32_t kind, const char* location,
                                   const clap_preset_discovery_metadata_receiver_t* receiver) {
    if (!receiver) return false;
    IProgramFile file;
    std::string error;
    if (kind != CLAP_PRESET_DISCOVERY_LOCATION_FILE || !location) {
      error = "no presets inside the plug-in, only preset files";
    } else if (ReadOwnPreset(location, kClapPluginInfo.mProgramFileId, &file, &error)) {
      if (!receiver->begin_preset) return false;
      // One preset per file: no load key.
      if (!receiver->begin_preset(receiver, file.mName.c_str(), nullptr)) return true;
      const clap_universal_plugin_id_t id = {"clap", kClapPluginInfo.mId};
      if (receiver->add_plugin_id) receiver->add_plugin_id(receiver, &id);
      return true;
    }
    if (receiver->on_error) receiver->on_error(receiver, 0, error.c_str());
    return false;
  }
  static const void* CLAP_ABI GetExtension(const clap_preset_discovery_provider_t*, const char*) { return nullptr; }
};

uint32_t CLAP_ABI ProviderCount(const clap_preset_discovery_factory_t*) { return 1; }

const clap_preset_discovery_provider_descriptor_t* CLAP_ABI GetProviderDescriptor(
    const clap_preset_discovery_factory_t*, uint32_t index) {
  return index == 0 ? ProviderDescriptor() : nullptr;
}

const clap_preset_discovery_provider_t* CLAP_ABI CreateProvider(const clap_preset_discovery_factory_t*,
                                                                const clap_preset_discovery_indexer_t* indexer,
                                                                const char* providerId) {
  if (!indexer || !providerId || ProviderId() != providerId || !clap_version_is_compatible(indexer->clap_version))
    return nullptr;
  auto* provider = new (std::nothrow) Provider();
  if (!provider) return nullptr;
  provider->mClap = {ProviderDescriptor(), provider, Provider::Init, Provider::Destroy, Provider::GetMetadata,
                     Provider::GetExtension};
  provider->mIndexer = indexer;
  provider->mFileTypeName = std::string(kClapPluginInfo.mName) + " preset";
  return &provider->mClap;
}

const clap_preset_discovery_factory_t kDiscoveryFactory = {ProviderCount, GetProviderDescriptor, CreateProvider};
}  // namespace

const void* ClapPresetDiscoveryFactory() { return &kDiscoveryFactory; }

// ---- preset-load [main thread] ----

bool ClapWrapper::LoadPreset(uint32_t kind, const char* location, const char* loadKey) {
  IProgramFile file;
  std::string error;
  if (kind != CLAP_PRESET_DISCOVERY_LOCATION_FILE || !location) {
    error = "no presets inside the plug-in, only preset files";
  } else if (ReadOwnPreset(location, mPlug->UniqueId(), &file, &error) && !LoadPresetChunk(file.mChunk)) {
    error = "the preset's state is damaged";
  }
  if (!error.empty()) {
    if (mHostPresetLoad && mHostPresetLoad->on_error)
      mHostPresetLoad->on_error(mHost, kind, location, loadKey, 0, error.c_str());
    return false;
  }
  if (mHostPresetLoad && mHostPresetLoad->loaded) mHostPresetLoad->loaded(mHost, kind, location, loadKey);
  return true;
}

bool ClapWrapper::LoadPresetChunk(const std::vector<uint8_t>& bytes) {
  ScopedLock lock(mPlug->Lock());
  IStateChunk chunk;
  chunk.Resize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(chunk.Data(), bytes.data(), bytes.size());
  int position = 0;
  // A preset is always written with the header; without it the bytes are not a chunk of ours.
  if (mPlug->ReadChunkVersion(&chunk, &position) == 0) return false;
  IStateChunk before;
  mPlug->BeginStateChunk(&before);
  if (!mPlug->SerializeState(&before)) return false;
  if (mPlug->UnserializeState(&chunk, position) < 0) {
    // Cut short: what it did set goes back, so that a failed load changes nothing.
    int back = 0;
    mPlug->ReadChunkVersion(&before, &back);
    mPlug->UnserializeState(&before, back);
    return false;
  }
  mPlug->StoreCurrentPreset(nullptr);
  mPlug->PushParamsToEditor();
  if (mHostParams && mHostParams->rescan) mHostParams->rescan(mHost, CLAP_PARAM_RESCAN_VALUES);
  return true;
}

struct ClapPresetCalls {
  static bool CLAP_ABI FromLocation(const clap_plugin_t* p, uint32_t kind, const char* location, const char* key) {
    return ClapWrapper::From(p)->LoadPreset(kind, location, key);
  }
};

const clap_plugin_preset_load_t ClapWrapper::kPresetLoad = {ClapPresetCalls::FromLocation};
