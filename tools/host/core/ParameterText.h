// Finds a plug-in's parameters by name and sets them by the text they display.
#pragma once

#include <string>

#include "PluginLoader.h"

namespace cchost {

// Parameter names and texts are matched without regard to case or surrounding spaces.
std::string LowerCase(std::string s);
std::string TrimSpaces(const std::string& s);

// The index of the parameter with this name (exact, else the only case-insensitive match, else
// a plain index number); -1 with a message listing the names otherwise.
int FindParameter(const Plugin& plugin, const std::string& name, std::string* error);

// Sets a parameter to the value whose display reads text ("ZigZag", "-12", "on"; a trailing
// unit label is allowed). Searches the normalised range, so it works for any plug-in; the
// parameter keeps its old value when nothing matches.
bool SetParameterByDisplay(const Plugin& plugin, int index, const std::string& text, std::string* error);

}  // namespace cchost
