// What a CLAP plug-in's preset-discovery providers offer, indexed as a host's preset browser indexes it: the
// locations each declares and, for each, the files of the declared types with the presets they hold.
#pragma once

#include <string>
#include <vector>

#include "ClapAbi.h"

namespace cchost {

struct ClapPresetLocation {
  std::string name, path;
  bool factoryContent = false;
  std::vector<std::string> presets;  // "name (file name)", files in name order
  std::vector<std::string> errors;   // what the provider reported, with the file
};

// [main thread] Every location of every provider, in declaration order; none when the entry has no discovery
// factory. The entry must be initialised.
std::vector<ClapPresetLocation> IndexClapPresets(const clap_plugin_entry_t* entry);

}  // namespace cchost
