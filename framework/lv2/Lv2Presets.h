// Presets in an LV2 bundle: pset:Preset resources whose state is the plug-in's own LV2 state, so that hosts
// list them in their preset menus and restore them through the state interface.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct Lv2PluginURIs;

struct Lv2Preset {
  std::string mUri;
  std::string mLabel;
  std::vector<uint8_t> mChunk;  // what the state key of the chunk holds
  // Each control port's symbol and the value the chunk gives it: what generic UIs and automation show.
  std::vector<std::pair<std::string, double>> mPortValues;
};

// The presets file: each preset with its label, the plug-in it applies to, its port values and its state.
void WriteLV2Presets(const Lv2PluginURIs& uris, const std::vector<Lv2Preset>& presets, std::ostream& out);
// What manifest.ttl says of them: each one's kind, plug-in and file, so hosts find them without reading more.
void WriteLV2PresetManifest(const Lv2PluginURIs& uris, const std::vector<Lv2Preset>& presets,
                            const char* presetsFile, std::ostream& out);
std::string Base64(const std::vector<uint8_t>& bytes);
