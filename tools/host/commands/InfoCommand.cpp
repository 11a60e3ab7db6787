// cyclochord-host info: what a plug-in declares, and what a preset file holds.
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "ClapInstance.h"
#include "ClapPresetIndex.h"
#include "CommandSupport.h"
#include "Commands.h"
#include "FileIo.h"
#include "PluginLoader.h"
#include "PluginState.h"
#include "PresetFile.h"

namespace cchost {
namespace {

const char* CategoryName(VstIntPtr category) {
  static const char* const kNames[] = {"unknown",     "effect",       "synth",  "analysis",    "mastering",
                                       "spacializer", "room effect",  "surround effect", "restoration",
                                       "offline process", "shell", "generator"};
  return category >= 0 && category < 12 ? kNames[category] : "?";
}

std::string FlagNames(VstInt32 flags) {
  static const struct {
    VstInt32 bit;
    const char* name;
  } kFlags[] = {{effFlagsHasEditor, "hasEditor"},           {effFlagsCanReplacing, "canReplacing"},
                {effFlagsProgramChunks, "programChunks"},   {effFlagsIsSynth, "isSynth"},
                {effFlagsNoSoundInStop, "noSoundInStop"},   {effFlagsCanDoubleReplacing, "canDoubleReplacing"},
                {effFlagsHasClip, "hasClip"},               {effFlagsHasVu, "hasVu"},
                {effFlagsCanMono, "canMono"}};
  std::string names;
  for (const auto& f : kFlags)
    if (flags & f.bit) names += std::string(names.empty() ? "" : " ") + f.name;
  return names;
}

const char* Answer(VstIntPtr answer) { return answer > 0 ? "yes" : answer < 0 ? "no" : "don't know"; }

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", v);
  return text;
}

void PrintProgramFile(const std::string& path, const FxProgram& p, std::ostream& out) {
  out << "preset file   " << path << "\n"
      << "kind          program, " << (p.opaqueChunk ? "plug-in chunk (FPCh) of " + std::to_string(p.chunk.size()) + " bytes"
                                                     : "parameter list (FxCk)")
      << "\n"
      << "plug-in ID    '" << FourCharText(p.pluginId) << "' (" << Hex(uint32_t(p.pluginId)) << ")\n"
      << "plug-in ver.  " << p.pluginVersion << "\n"
      << "parameters    " << p.numParams << "\n"
      << "name          \"" << p.name << "\"\n";
  for (size_t i = 0; i < p.params.size(); ++i)
    out << "  " << std::setw(3) << i << "  " << std::fixed << std::setprecision(6) << p.params[i] << "\n";
  out.unsetf(std::ios::floatfield);
}

void PrintBankFile(const std::string& path, const FxBankInfo& b, std::ostream& out) {
  out << "preset file   " << path << "\n"
      << "kind          bank, " << (b.opaqueChunk ? "plug-in chunk (FBCh) of " + std::to_string(b.chunkSize) + " bytes"
                                                  : "programs (FxBk)")
      << "\n"
      << "plug-in ID    '" << FourCharText(b.pluginId) << "' (" << Hex(uint32_t(b.pluginId)) << ")\n"
      << "plug-in ver.  " << b.pluginVersion << "\n"
      << "programs      " << b.numPrograms << ", current " << b.currentProgram << "\n";
  for (size_t i = 0; i < b.programNames.size(); ++i) out << "  " << std::setw(3) << i << "  \"" << b.programNames[i] << "\"\n";
}

void PrintPlugin(const Plugin& plugin, std::ostream& out) {
  const AEffect* e = plugin.Effect();
  out << "plug-in       " << plugin.Path() << " (entry point " << plugin.EntryPointName() << ")\n"
      << "name          " << plugin.Text(effGetEffectName) << "\n"
      << "vendor        " << plugin.Text(effGetVendorString) << "\n"
      << "product       " << plugin.Text(effGetProductString) << "\n"
      << "unique ID     '" << FourCharText(e->uniqueID) << "' (" << Hex(uint32_t(e->uniqueID)) << ")\n"
      << "version       " << e->version << " (vendor version " << plugin.Dispatch(effGetVendorVersion)
      << ", VST " << plugin.Dispatch(effGetVstVersion) << ")\n"
      << "category      " << CategoryName(plugin.Dispatch(effGetPlugCategory)) << "\n"
      << "flags         " << Hex(uint32_t(e->flags)) << " " << FlagNames(e->flags) << "\n"
      << "inputs        " << e->numInputs << "\n"
      << "outputs       " << e->numOutputs << "\n"
      << "latency       " << e->initialDelay << " samples\n";
  out << "can do\n";
  for (const char* q : {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent",
                        "receiveVstTimeInfo", "receiveVstSysexEvent", "midiProgramNames"})
    out << "  " << std::left << std::setw(22) << q << std::right << Answer(plugin.CanDo(q)) << "\n";
  out << "parameters    " << e->numParams << "\n";
  if (e->numParams > 0) out << "  index  name                    display                 label\n";
  for (int i = 0; i < e->numParams; ++i) {
    out << "  " << std::setw(5) << i << "  " << std::left << std::setw(22) << plugin.ParamName(i) << "  "
        << std::setw(22) << plugin.ParamDisplay(i) << "  " << plugin.ParamLabel(i) << std::right << "\n";
  }
  out << "programs      " << e->numPrograms << " (current " << plugin.Dispatch(effGetProgram) << ")\n";
  for (int i = 0; i < e->numPrograms; ++i) out << "  " << std::setw(5) << i << "  \"" << plugin.ProgramName(i) << "\"\n";
}

std::string Text(const char* text) { return text ? text : ""; }

std::string DialectNames(uint32_t dialects) {
  static const struct {
    uint32_t bit;
    const char* name;
  } kDialects[] = {{CLAP_NOTE_DIALECT_CLAP, "clap"},
                   {CLAP_NOTE_DIALECT_MIDI, "midi"},
                   {CLAP_NOTE_DIALECT_MIDI_MPE, "midi-mpe"},
                   {CLAP_NOTE_DIALECT_MIDI2, "midi2"}};
  std::string names;
  for (const auto& d : kDialects)
    if (dialects & d.bit) names += std::string(names.empty() ? "" : " ") + d.name;
  return names.empty() ? "none" : names;
}

std::string ParamFlagNames(uint32_t flags) {
  static const struct {
    uint32_t bit;
    const char* name;
  } kFlags[] = {{CLAP_PARAM_IS_STEPPED, "stepped"},     {CLAP_PARAM_IS_PERIODIC, "periodic"},
                {CLAP_PARAM_IS_HIDDEN, "hidden"},       {CLAP_PARAM_IS_READONLY, "readonly"},
                {CLAP_PARAM_IS_BYPASS, "bypass"},       {CLAP_PARAM_IS_AUTOMATABLE, "automatable"},
                {CLAP_PARAM_IS_MODULATABLE, "modulatable"}, {CLAP_PARAM_REQUIRES_PROCESS, "requires-process"},
                {CLAP_PARAM_IS_ENUM, "enum"}};
  std::string names;
  for (const auto& f : kFlags)
    if (flags & f.bit) names += std::string(names.empty() ? "" : " ") + f.name;
  return names;
}

void PrintClapPlugin(const ClapInstance& plugin, std::ostream& out) {
  const clap_plugin_descriptor_t& d = plugin.Descriptor();
  const clap_version_t& v = plugin.EntryVersion();
  std::string features;
  for (const char* const* f = d.features; f && *f; ++f) features += std::string(features.empty() ? "" : " ") + *f;
  out << "plug-in       " << plugin.Path() << " (clap_entry, CLAP " << v.major << "." << v.minor << "."
      << v.revision << ")\n"
      << "id            " << Text(d.id) << "\n"
      << "name          " << Text(d.name) << "\n"
      << "vendor        " << Text(d.vendor) << "\n"
      << "version       " << Text(d.version) << "\n"
      << "description   " << Text(d.description) << "\n"
      << "url           " << Text(d.url) << "\n"
      << "features      " << features << "\n";
  for (const bool input : {true, false}) {
    const std::vector<clap_note_port_info_t> ports = plugin.NotePorts(input);
    out << (input ? "note inputs   " : "note outputs  ") << ports.size() << "\n";
    for (const clap_note_port_info_t& p : ports)
      out << "  id " << std::setw(3) << p.id << "  \"" << p.name << "\"  dialects "
          << DialectNames(p.supported_dialects) << " (prefers " << DialectNames(p.preferred_dialect) << ")\n";
  }
  const std::vector<clap_param_info_t>& params = plugin.Params();
  out << "parameters    " << params.size() << "\n";
  if (!params.empty())
    out << "  id          name                    module          min .. max (default)          value\n";
  for (const clap_param_info_t& p : params) {
    double value = p.default_value;
    const bool known = plugin.Value(p.id, &value);
    std::ostringstream range;
    range << p.min_value << " .. " << p.max_value << " (" << p.default_value << ")";
    out << "  " << std::left << std::setw(10) << p.id << "  " << std::setw(22) << p.name << "  " << std::setw(14)
        << p.module << "  " << std::setw(28) << range.str() << "  "
        << (known ? plugin.ValueText(p.id, value) : std::string("?")) << std::right << "\n";
    const std::string flags = ParamFlagNames(p.flags);
    if (!flags.empty()) out << "              flags: " << flags << "\n";
  }
  out << "state         " << (plugin.HasState() ? "yes (clap.state)" : "no") << "\n";
  const clap_plugin_gui_t* gui = plugin.Gui();
  std::string editor;
  for (const char* api : {CLAP_WINDOW_API_X11, CLAP_WINDOW_API_WIN32, CLAP_WINDOW_API_COCOA, CLAP_WINDOW_API_WAYLAND})
    for (const bool floating : {false, true})
      if (gui && gui->is_api_supported && gui->is_api_supported(plugin.Plugin(), api, floating))
        editor += std::string(editor.empty() ? "" : ", ") + api + (floating ? " floating" : " embedded");
  out << "editor        " << (editor.empty() ? "none" : editor) << "\n";
  // What a host's preset browser would list, so that an install can be checked where it lies.
  const std::vector<ClapPresetLocation> presets = IndexClapPresets(plugin.Entry());
  if (presets.empty()) out << "presets       none found\n";
  for (const ClapPresetLocation& location : presets) {
    out << "presets       " << location.name << ": " << location.path
        << (location.factoryContent ? " (factory content), " : ", ") << location.presets.size() << " found\n";
    for (const std::string& preset : location.presets) out << "  " << preset << "\n";
    for (const std::string& error : location.errors) out << "  not a preset: " << error << "\n";
  }
}

int RunClapInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  std::unique_ptr<ClapInstance> plugin = ClapInstance::Load(args[0], &error);
  std::ostringstream text;
  if (plugin && args.size() == 2) {
    PluginSetup setup;
    setup.loadFxp = args[1];
    std::ostringstream ignored;
    if (!ApplySetup(*plugin, setup, ignored, &error))
      plugin.reset();
    else
      text << "preset        " << args[1] << "\n\nthe plug-in with this preset loaded:\n";
  }
  if (!plugin) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  PrintClapPlugin(*plugin, text);
  out << text.str();
  return kExitOk;
}

}  // namespace

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty() || args.size() > 2) {
    err << "usage: cyclochord-host info PLUGIN [PRESET.fxp] | info PRESET.fxp\n";
    return kExitUsage;
  }
  std::string error;
  std::vector<uint8_t> first;
  // A preset file is recognised by its header; anything else is taken for a plug-in.
  if (args.size() == 1 && ReadWholeFile(args[0], &first, &error) && LooksLikePresetFile(first)) {
    PresetKind kind = PresetKind::kProgram;
    FxProgram program;
    FxBankInfo bank;
    if (!ReadPresetFile(first, &kind, &program, &bank, &error)) {
      err << "cyclochord-host: " << args[0] << ": " << error << "\n";
      return kExitError;
    }
    if (kind == PresetKind::kBank)
      PrintBankFile(args[0], bank, out);
    else
      PrintProgramFile(args[0], program, out);
    return kExitOk;
  }
  if (IsClapPath(args[0])) return RunClapInfo(args, out, err);
  Host host(44100.0, 512);
  std::unique_ptr<Plugin> plugin = Plugin::Load(args[0], &host, &error);
  if (!plugin) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  std::ostringstream text;
  if (args.size() == 2) {
    PresetKind kind = PresetKind::kProgram;
    FxProgram program;
    FxBankInfo bank;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(args[1], &bytes, &error) || !ReadPresetFile(bytes, &kind, &program, &bank, &error)) {
      err << "cyclochord-host: " << (error.rfind(args[1], 0) == 0 ? "" : args[1] + ": ") << error << "\n";
      return kExitError;
    }
    if (kind == PresetKind::kBank) {
      err << "cyclochord-host: " << args[1] << ": a bank file (.fxp expected)\n";
      return kExitError;
    }
    if (!ApplyProgram(*plugin, program, &error)) {
      err << "cyclochord-host: " << args[1] << ": " << error << "\n";
      return kExitError;
    }
    PrintProgramFile(args[1], program, text);
    text << "\nthe plug-in with this preset loaded:\n";
  }
  PrintPlugin(*plugin, text);
  out << text.str();
  return kExitOk;
}

}  // namespace cchost
