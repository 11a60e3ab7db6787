// The CLAP module's entry: the factory that makes wrapped plug-ins, and what a product module supplies for it.
#pragma once

#include <string>
#include <vector>

#include "ClapAbi.h"
#include "PluginFactory.h"

// Supplied by each CLAP product module: how hosts list it. Hosts store the id in projects, so it never changes.
struct ClapPluginInfo {
  const char* mId;
  const char* mName;
  const char* mVendor;
  const char* mUrl;
  const char* mVersion;
  const char* mDescription;
  const char* const* mFeatures;  // ends with a null entry
  // Where the shipped presets (program files) may be, tried in order, the first folder that exists taken:
  // folders relative to the one that holds the .clap file (a null-ended list; null: no presets), then one
  // relative to the user's data folder (Linux: XDG_DATA_HOME or ~/.local/share; null: none).
  const char* const* mPresetFolders;
  const char* mUserPresetFolder;
  int32_t mProgramFileId;  // the plug-in id that program files of this plug-in carry
};
extern const ClapPluginInfo kClapPluginInfo;

// The entry's three calls; init and deinit count, so a host (or a wrapper inside one) may repeat them.
bool CLAP_ABI ClapEntryInit(const char* pluginPath);
void CLAP_ABI ClapEntryDeinit();
const void* CLAP_ABI ClapEntryGetFactory(const char* factoryId);

// The folders the shipped presets may be in for the module file the entry was initialised with, in the order
// to try them; none when unknown.
std::vector<std::string> ClapPresetFolders();
// The preset-discovery factory (ClapPresets.cpp): one provider for the shipped presets.
const void* ClapPresetDiscoveryFactory();

// Makes a wrapped plug-in for host from factory; null when either is unusable. For the entry and for tests.
const clap_plugin_t* ClapCreatePlugin(const clap_host_t* host, PluginFactory factory);
