// Writes manifest.ttl and Cyclochord.ttl of the LV2 bundle from the plug-in object the module creates, made
// the way a host makes it.
// Usage: cyclochord-lv2-bundle BUNDLE_DIR BINARY_FILE_NAME
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include <lv2/urid/urid.h>

#include "CyclochordIdentity.h"
#include "Lv2Wrapper.h"
#include "Lv2Entry.h"
#include "Lv2Turtle.h"

namespace {
// A plug-in instance needs urid:map; what the numbers are does not matter here.
LV2_URID MapURI(LV2_URID_Map_Handle handle, const char* uri) {
  auto* uris = static_cast<std::map<std::string, LV2_URID>*>(handle);
  auto it = uris->emplace(uri, static_cast<LV2_URID>(uris->size() + 1)).first;
  return it->second;
}

// A busy cycle ends a note on every key of every channel; each event takes 24 bytes in the sequence.
constexpr int kMidiOutBytes = 128 * 16 * 24 + 4096;
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR BINARY_FILE_NAME\n", argv[0]);
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
  std::ofstream manifest(dir + "/manifest.ttl");
  WriteLV2Manifest(kLv2PluginURIs, info, manifest);
  return manifest ? 0 : 1;
}
