// Steps shared by the commands: preparing a plug-in from the command line's settings.
#pragma once

#include <ostream>
#include <string>

#include "ClapInstance.h"
#include "Lv2Plugin.h"
#include "PluginLoader.h"
#include "PresetFile.h"
#include "RenderOptions.h"

namespace cchost {

bool LoadProgramFile(const std::string& path, FxProgram* program, std::string* error);

// --program, then --load-fxp, then each --set in order; reports each setting on out.
bool ApplySetup(const Plugin& plugin, const PluginSetup& setup, std::ostream& out, std::string* error);
// --load-fxp (a chunk program only: LV2 ports are not VST parameter indexes), then each --set in order.
bool ApplySetup(Lv2Plugin& plugin, const PluginSetup& setup, std::ostream& out, std::string* error);
// --load-fxp (a chunk program: its chunk is the plug-in's CLAP state), then each --set in order (plain values).
bool ApplySetup(ClapInstance& plugin, const PluginSetup& setup, std::ostream& out, std::string* error);

}  // namespace cchost
