// Command-line options of the render and preset commands.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Renderer.h"
#include "WavWriter.h"

namespace cchost {

struct PluginSetup {
  int program = -1;
  std::string loadFxp;
  std::vector<std::pair<std::string, std::string>> sets;  // name, display value, in command-line order
};

struct RenderOptions {
  std::string plugin;
  std::string lv2;  // an LV2 plug-in's URI or bundle folder, instead of plugin
  std::string inputMidi;
  std::string outputMidi;
  double tempo = 0.0;  // 0: the file's tempo map
  RenderSettings render;
  PluginSetup setup;
  std::string saveFxp;
  std::string synth;
  std::string wav;
  WavFormat wavFormat = WavFormat::kPcm16;
  double gainDb = 0.0;
  bool normalize = false;
  std::string plot;
};

struct PresetOptions {
  std::string plugin;
  PluginSetup setup;
  std::string name;
  std::string output;
};

// False with a message for an unknown option, a missing or malformed value or a bad combination.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* out, std::string* error);
bool ParsePresetOptions(const std::vector<std::string>& args, PresetOptions* out, std::string* error);

}  // namespace cchost
