#include "ClapPresetIndex.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace cchost {
namespace {

struct Indexer {
  clap_preset_discovery_indexer_t clap = {};
  std::vector<std::string> extensions;
  std::vector<ClapPresetLocation> locations;
  Indexer() {
    clap.clap_version = CLAP_VERSION;
    clap.name = "cyclochord-host";
    clap.indexer_data = this;
    clap.declare_filetype = [](const clap_preset_discovery_indexer_t* i, const clap_preset_discovery_filetype_t* t) {
      static_cast<Indexer*>(i->indexer_data)->extensions.push_back(t && t->file_extension ? t->file_extension : "");
      return true;
    };
    clap.declare_location = [](const clap_preset_discovery_indexer_t* i, const clap_preset_discovery_location_t* l) {
      if (!l || l->kind != CLAP_PRESET_DISCOVERY_LOCATION_FILE || !l->location) return false;
      ClapPresetLocation location;
      location.name = l->name ? l->name : "";
      location.path = l->location;
      location.factoryContent = (l->flags & CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT) != 0;
      static_cast<Indexer*>(i->indexer_data)->locations.push_back(location);
      return true;
    };
    clap.declare_soundpack = [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_soundpack_t*) {
      return false;
    };
    clap.get_extension = [](const clap_preset_discovery_indexer_t*, const char*) -> const void* { return nullptr; };
  }
  bool Wanted(const fs::path& file) const {
    // No declared type means every file.
    if (extensions.empty()) return true;
    for (const std::string& e : extensions)
      if (e.empty() || file.extension().u8string() == "." + e) return true;
    return false;
  }
};

struct Receiver {
  clap_preset_discovery_metadata_receiver_t clap = {};
  std::vector<std::string> names, errors;
  Receiver() {
    clap.receiver_data = this;
    clap.on_error = [](const clap_preset_discovery_metadata_receiver_t* r, int32_t, const char* message) {
      static_cast<Receiver*>(r->receiver_data)->errors.push_back(message ? message : "(no message)");
    };
    clap.begin_preset = [](const clap_preset_discovery_metadata_receiver_t* r, const char* name, const char*) {
      static_cast<Receiver*>(r->receiver_data)->names.push_back(name ? name : "");
      return true;
    };
  }
};

// A location is a file or a folder searched to any depth, as hosts do.
std::vector<fs::path> FilesOf(const std::string& location, const Indexer& indexer) {
  std::vector<fs::path> files;
  std::error_code error;
  const fs::path path = fs::u8path(location);
  if (!fs::is_directory(path, error)) return {path};
  for (fs::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error))
    if (it->is_regular_file(error) && indexer.Wanted(it->path())) files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::vector<ClapPresetLocation> IndexClapPresets(const clap_plugin_entry_t* entry) {
  std::vector<ClapPresetLocation> all;
  if (!entry || !entry->get_factory) return all;
  const void* found = entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID);
  if (!found) found = entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT);
  const auto* factory = static_cast<const clap_preset_discovery_factory_t*>(found);
  if (!factory || !factory->count || !factory->get_descriptor || !factory->create) return all;
  for (uint32_t i = 0; i < factory->count(factory); ++i) {
    const clap_preset_discovery_provider_descriptor_t* descriptor = factory->get_descriptor(factory, i);
    if (!descriptor || !descriptor->id) continue;
    Indexer indexer;
    const clap_preset_discovery_provider_t* provider = factory->create(factory, &indexer.clap, descriptor->id);
    if (!provider) continue;
    if (provider->init && provider->init(provider) && provider->get_metadata) {
      for (ClapPresetLocation& location : indexer.locations) {
        for (const fs::path& file : FilesOf(location.path, indexer)) {
          Receiver receiver;
          const std::string path = file.u8string();
          provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_FILE, path.c_str(), &receiver.clap);
          const std::string name = file.filename().u8string();
          for (const std::string& preset : receiver.names) location.presets.push_back(preset + " (" + name + ")");
          for (const std::string& error : receiver.errors) location.errors.push_back(name + ": " + error);
        }
        all.push_back(location);
      }
    }
    if (provider->destroy) provider->destroy(provider);
  }
  return all;
}

}  // namespace cchost
