// Plug-in preparation shared by render and preset.
#include "CommandSupport.h"

#include "ClapParameterText.h"
#include "FileIo.h"
#include "ParameterText.h"
#include "PluginState.h"

namespace cchost {

bool LoadProgramFile(const std::string& path, FxProgram* program, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  PresetKind kind = PresetKind::kProgram;
  FxBankInfo bank;
  if (!ReadPresetFile(bytes, &kind, program, &bank, error)) {
    *error = path + ": " + *error;
    return false;
  }
  if (kind == PresetKind::kBank) {
    *error = path + ": a bank file (.fxb); load a program file (.fxp)";
    return false;
  }
  return true;
}

bool ApplySetup(const Plugin& plugin, const PluginSetup& setup, std::ostream& out, std::string* error) {
  if (setup.program >= 0) {
    if (!plugin.SetProgram(setup.program)) {
      *error = "program " + std::to_string(setup.program) + " does not exist; " + plugin.Name() + " has " +
               std::to_string(plugin.NumPrograms()) + " (0.." + std::to_string(plugin.NumPrograms() - 1) + ")";
      return false;
    }
    out << "program       " << setup.program << " \"" << plugin.ProgramName(setup.program) << "\"\n";
  }
  if (!setup.loadFxp.empty()) {
    FxProgram program;
    if (!LoadProgramFile(setup.loadFxp, &program, error)) return false;
    if (!ApplyProgram(plugin, program, error)) {
      *error = setup.loadFxp + ": " + *error;
      return false;
    }
    out << "preset        " << setup.loadFxp << " \"" << program.name << "\"\n";
  }
  for (const auto& [name, value] : setup.sets) {
    const int index = FindParameter(plugin, name, error);
    if (index < 0) return false;
    if (!SetParameterByDisplay(plugin, index, value, error)) return false;
    out << "set           " << plugin.ParamName(index) << " = " << plugin.ParamDisplay(index) << "\n";
  }
  return true;
}

bool ApplySetup(Lv2Plugin& plugin, const PluginSetup& setup, std::ostream& out, std::string* error) {
  if (setup.program >= 0) {
    *error = "an LV2 plug-in has no programs";
    return false;
  }
  if (!setup.loadFxp.empty()) {
    FxProgram program;
    if (!LoadProgramFile(setup.loadFxp, &program, error)) return false;
    // LV2 plug-ins carry no VST unique ID to check the file against; the plug-in reads the chunk as it reads
    // any state it is given.
    if (!program.opaqueChunk) {
      *error = setup.loadFxp + ": the preset holds VST parameter values, which have no LV2 ports to go to";
      return false;
    }
    if (!plugin.LoadChunk(program.chunk, error)) {
      *error = setup.loadFxp + ": " + *error;
      return false;
    }
    out << "preset        " << setup.loadFxp << " \"" << program.name << "\"\n";
  }
  for (const auto& [name, value] : setup.sets) {
    std::string shown;
    if (!plugin.SetControl(name, value, &shown, error)) return false;
    out << "set           " << name << " = " << shown << "\n";
  }
  return true;
}

bool ApplySetup(ClapInstance& plugin, const PluginSetup& setup, std::ostream& out, std::string* error) {
  if (setup.program >= 0) {
    *error = "a CLAP plug-in has no programs";
    return false;
  }
  if (!setup.loadFxp.empty()) {
    FxProgram program;
    if (!LoadProgramFile(setup.loadFxp, &program, error)) return false;
    // The file's plug-in ID is a VST one, which a CLAP plug-in does not carry to check against.
    if (!program.opaqueChunk) {
      *error = setup.loadFxp + ": the preset holds VST parameter values, not a chunk a CLAP plug-in can load";
      return false;
    }
    if (!plugin.LoadState(program.chunk, error)) {
      *error = setup.loadFxp + ": " + *error;
      return false;
    }
    out << "preset        " << setup.loadFxp << " \"" << program.name << "\"\n";
  }
  for (const auto& [name, text] : setup.sets) {
    const clap_param_info_t* param = FindClapParameter(plugin, name, error);
    if (!param) return false;
    double value = 0.0;
    if (!ClapValueFromText(plugin, *param, text, &value, error)) return false;
    if (!plugin.SetValue(param->id, value)) {
      *error = plugin.Name() + " takes no parameter changes (no params.flush)";
      return false;
    }
    double now = value;
    plugin.Value(param->id, &now);
    out << "set           " << param->name << " = " << plugin.ValueText(param->id, now) << "\n";
  }
  return true;
}

}  // namespace cchost
