// What an LV2 host hands a new plug-in instance, and the URIs a product module names itself by.
#pragma once

#include <lv2/core/lv2.h>

struct Lv2PluginURIs {
  const char* mPlugin;
  const char* mUI;
  const char* mStateChunk;    // state key of the chunk (the bytes a VST host stores)
  const char* mStateProgram;  // state key of the current program
};

struct Lv2HostLink {
  double mSampleRate = 44100.0;
  const char* mBundlePath = nullptr;
  const LV2_Feature* const* mFeatures = nullptr;
  const Lv2PluginURIs* mURIs = nullptr;
};

// Finds a host feature by URI; null when the host does not offer it.
const void* FindLV2Feature(const LV2_Feature* const* features, const char* uri);
