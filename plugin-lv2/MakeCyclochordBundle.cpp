// Writes manifest.ttl and Cyclochord.ttl of the LV2 bundle from the plug-in object the module creates, made
// the way a host makes it, and presets.ttl from the shipped program files.
// Usage: cyclochord-lv2-bundle BUNDLE_DIR BINARY_FILE_NAME [PRESET.fxp]...
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lv2/urid/urid.h>

#include "CyclochordIdentity.h"
#include "Lv2Wrapper.h"
#include "Lv2Entry.h"
#include "Lv2Presets.h"
#include "Lv2Turtle.h"
#include "IProgramFile.h"

namespace {
// A plug-in instance needs urid:map; what the numbers are does not matter here.
LV2_URID MapURI(LV2_URID_Map_Handle handle, const char* uri) {
  auto* uris = static_cast<std::map<std::string, LV2_URID>*>(handle);
  auto it = uris->emplace(uri, static_cast<LV2_URID>(uris->size() + 1)).first;
  return it->second;
}

// A busy cycle ends a note on every key of every channel; each event takes 24 bytes in the sequence.
constexpr int kMidiOutBytes = 128 * 16 * 24 + 4096;
constexpr char kPresetsFile[] = "presets.ttl";

// The file's name without folder and extension: a stable part of the preset's URI, which hosts store.
std::string Stem(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// A preset that would not restore exactly as written (another plug-in's, cut short, values out of range) stops
// the build rather than reaching users.
bool ReadPreset(Lv2Wrapper& wrapper, const std::string& path, Lv2Preset* preset, std::string* error) {
  IPluginBase& plug = wrapper.Plugin();
  IProgramFile file;
  if (!ReadProgramFile(path.c_str(), &file, error)) return false;
  if (file.mPluginId != plug.UniqueId()) {
    *error = "made for another plug-in";
    return false;
  }
  if (!file.mHasChunk) {
    *error = "holds parameter values, not the plug-in's chunk";
    return false;
  }
  IStateChunk chunk;
  chunk.Resize(static_cast<int>(file.mChunk.size()));
  if (!file.mChunk.empty()) std::copy(file.mChunk.begin(), file.mChunk.end(), chunk.Data());
  int position = 0;
  plug.ReadChunkVersion(&chunk, &position);
  IStateChunk again;
  plug.BeginStateChunk(&again);
  if (plug.UnserializeState(&chunk, position) < 0 || !plug.SerializeState(&again) ||
      std::vector<uint8_t>(again.Data(), again.Data() + again.Size()) != file.mChunk) {
    *error = "does not restore as written";
    return false;
  }
  preset->mUri = std::string(kLv2PluginURIs.mPlugin) + "/presets/" + Stem(path);
  preset->mLabel = file.mName;
  preset->mChunk = file.mChunk;
  for (int k = 0; k < wrapper.NumControlPorts(); ++k) {
    const IParameter* param = plug.GetParam(wrapper.ParamForControlPort(k));
    preset->mPortValues.emplace_back(Lv2PortSymbol(param->Name()), param->Value());
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR BINARY_FILE_NAME [PRESET.fxp]...\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  std::map<std::string, LV2_URID> uris;
  LV2_URID_Map map = {&uris, MapURI};
  const LV2_Feature mapFeature = {LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  Lv2HostLink host;
  host.mFeatures = features;
  host.mURIs = &kLv2PluginURIs;
  std::unique_ptr<Lv2Wrapper> plug(Lv2CreateInstance(&host, CreatePluginInstance));
  if (!plug) {
    std::fprintf(stderr, "cannot create the plug-in\n");
    return 1;
  }

  using Id = CyclochordIdentity;
  const Lv2BundleInfo info = {Id::kEffectName, Id::kVendorName, argv[2],         "Cyclochord.ttl",
                              Id::kVersion,     kMidiOutBytes,   Id::kDescription, Id::kHomePage,
                              Id::kMaintainerEmail, Id::kLicenseUri};
  std::ofstream data(dir + "/" + info.mDataFile);
  std::string error;
  if (!WriteLV2PluginData(plug.get(), kLv2PluginURIs, info, data, &error)) {
    std::fprintf(stderr, "Cyclochord.ttl: %s\n", error.empty() ? "cannot write" : error.c_str());
    return 1;
  }

  // After the plug-in's description: each preset is checked on the instance, which it changes.
  std::vector<Lv2Preset> presets;
  for (int i = 3; i < argc; ++i) {
    Lv2Preset preset;
    if (!ReadPreset(*plug, argv[i], &preset, &error)) {
      std::fprintf(stderr, "%s: %s\n", argv[i], error.c_str());
      return 1;
    }
    presets.push_back(preset);
  }
  std::ofstream presetData(dir + "/" + kPresetsFile);
  WriteLV2Presets(kLv2PluginURIs, presets, presetData);
  std::ofstream manifest(dir + "/manifest.ttl");
  WriteLV2Manifest(kLv2PluginURIs, info, manifest);
  WriteLV2PresetManifest(kLv2PluginURIs, presets, kPresetsFile, manifest);
  return manifest && presetData ? 0 : 1;
}
