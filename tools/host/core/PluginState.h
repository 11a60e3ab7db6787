// Moves a plug-in's state in and out of preset programs.
#pragma once

#include <string>

#include "PluginLoader.h"
#include "PresetFile.h"

namespace cchost {

// The current program as a preset: the plug-in's chunk when it keeps one, else its parameter values.
FxProgram CaptureProgram(const Plugin& plugin);
// Refuses a preset made for another plug-in (unique ID) or with a different parameter count.
bool ApplyProgram(const Plugin& plugin, const FxProgram& program, std::string* error);

}  // namespace cchost
