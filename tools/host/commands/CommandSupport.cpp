// Plug-in preparation shared by render and preset.
#include "CommandSupport.h"

#include <functional>

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

namespace {
// A chunk preset for a plug-in that keeps no VST programs: it carries no VST unique ID to check the file against,
// and reads the chunk as it reads any state it is given. A preset of parameter values has nowhere to go.
bool LoadChunkPreset(const std::string& path, const char* noValues, std::ostream& out, std::string* error,
                     const std::function<bool(const std::vector<uint8_t>&, std::string*)>& load) {
  FxProgram program;
  if (!LoadProgramFile(path, &program, error)) return false;
  if (!program.opaqueChunk) {
    *error = path + ": the preset holds VST parameter values, " + noValues;
    return false;
  }
  if (!load(program.chunk, error)) {
    *error = path + ": " + *error;
    return false;
  }
  out << "preset        " << path << " \"" << program.name << "\"\n";
  return true;
}
}  // namespace

bool ApplySetup(Lv2Plugin& plugin, const PluginSetup& setup, std::ostream& out, std::string* error) {
  if (setup.program >= 0) {
    *error = "an LV2 plug-in has no programs";
    return false;
  }
  if (!setup.loadFxp.empty() &&
      !LoadChunkPreset(setup.loadFxp, "which have no LV2 ports to go to", out, error,
                       [&](const std::vector<uint8_t>& chunk, std::string* e) { return plugin.LoadChunk(chunk, e); }))
    return false;
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
  if (!setup.loadFxp.empty() &&
      !LoadChunkPreset(setup.loadFxp, "not a chunk a CLAP plug-in can load", out, error,
                       [&](const std::vector<uint8_t>& chunk, std::string* e) { return plugin.LoadState(chunk, e); }))
    return false;
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
