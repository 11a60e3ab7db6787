// Moves a plug-in's state in and out: preset programs, and parameters set by name and display text.
#pragma once

#include <string>

#include "PluginLoader.h"
#include "PresetFile.h"

namespace cchost {

// The current program as a preset: the plug-in's chunk when it keeps one, else its parameter values.
FxProgram CaptureProgram(const Plugin& plugin);
// Refuses a preset made for another plug-in (unique ID) or with a different parameter count.
bool ApplyProgram(const Plugin& plugin, const FxProgram& program, std::string* error);

// The index of the parameter with this name (exact, else the only case-insensitive match, else
// a plain index number); -1 with a message listing the names otherwise.
int FindParameter(const Plugin& plugin, const std::string& name, std::string* error);

// Sets a parameter to the value whose display reads text ("ZigZag", "-12", "on"; a trailing
// unit label is allowed). Searches the normalised range, so it works for any plug-in; the
// parameter keeps its old value when nothing matches.
bool SetParameterByDisplay(const Plugin& plugin, int index, const std::string& text, std::string* error);

}  // namespace cchost
