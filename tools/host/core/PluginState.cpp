// Preset transfer between files and the plug-in.
#include "PluginState.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cchost {

FxProgram CaptureProgram(const Plugin& plugin) {
  const AEffect* effect = plugin.Effect();
  FxProgram program;
  program.pluginId = effect->uniqueID;
  program.pluginVersion = effect->version;
  program.numParams = effect->numParams;
  program.name = plugin.Text(effGetProgramName);
  if (effect->flags & effFlagsProgramChunks) {
    void* data = nullptr;
    const VstIntPtr size = plugin.Dispatch(effGetChunk, 1, 0, &data);
    if (data && size > 0 && size < (1 << 30)) {
      program.opaqueChunk = true;
      const uint8_t* bytes = static_cast<const uint8_t*>(data);
      program.chunk.assign(bytes, bytes + size);
      return program;
    }
  }
  for (int i = 0; i < effect->numParams; ++i) program.params.push_back(plugin.GetParameter(i));
  return program;
}

bool ApplyProgram(const Plugin& plugin, const FxProgram& program, std::string* error) {
  const AEffect* effect = plugin.Effect();
  if (program.pluginId != effect->uniqueID) {
    *error = "the preset is for the plug-in with unique ID '" + FourCharText(program.pluginId) + "', not '" +
             FourCharText(effect->uniqueID) + "' (" + plugin.Name() + ")";
    return false;
  }
  if (program.opaqueChunk) {
    if (!(effect->flags & effFlagsProgramChunks)) {
      *error = "the preset holds a chunk, but the plug-in does not take chunks";
      return false;
    }
    VstPatchChunkInfo info = {};
    info.version = 1;
    info.pluginUniqueID = program.pluginId;
    info.pluginVersion = program.pluginVersion;
    info.numElements = program.numParams;
    if (plugin.Dispatch(effBeginLoadProgram, 0, 0, &info) == -1) {
      *error = "the plug-in refused the preset (version " + std::to_string(program.pluginVersion) + ")";
      return false;
    }
    std::vector<uint8_t> chunk = program.chunk;  // the plug-in may keep the pointer only during the call
    plugin.Dispatch(effBeginSetProgram);
    plugin.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()), chunk.empty() ? nullptr : chunk.data());
    plugin.Dispatch(effEndSetProgram);
  } else {
    if (program.numParams != effect->numParams) {
      *error = "the preset holds " + std::to_string(program.numParams) + " parameter values, the plug-in has " +
               std::to_string(effect->numParams);
      return false;
    }
    plugin.Dispatch(effBeginSetProgram);
    for (int i = 0; i < program.numParams; ++i)
      plugin.SetParameter(i, std::clamp(std::isfinite(program.params[size_t(i)]) ? program.params[size_t(i)] : 0.0f,
                                        0.0f, 1.0f));
    plugin.Dispatch(effEndSetProgram);
  }
  if (!program.name.empty()) {
    std::vector<char> name(program.name.begin(), program.name.end());
    name.resize(std::min<size_t>(name.size(), kVstMaxProgNameLen - 1));
    name.push_back('\0');
    plugin.Dispatch(effSetProgramName, 0, 0, name.data());
  }
  return true;
}

}  // namespace cchost
