// Finds a CLAP plug-in's parameters by name and sets them from text, as --set does for VST parameters.
#pragma once

#include <string>

#include "ClapInstance.h"

namespace cchost {

// The parameter with this name: exact, else the only case-insensitive match of its name, of "module/name" or
// of its letters and digits alone ("Echo delay" for "echodelay", the way VST short names are written), else
// the parameter with this id number. Null with a message listing the names otherwise.
const clap_param_info_t* FindClapParameter(const ClapInstance& plugin, const std::string& name, std::string* error);

// The plain value text stands for: the plug-in's own text_to_value, else a value whose text reads the same
// (stepped parameters), else a number in the range with an optional unit after it.
bool ClapValueFromText(const ClapInstance& plugin, const clap_param_info_t& param, const std::string& text,
                       double* value, std::string* error);

}  // namespace cchost
