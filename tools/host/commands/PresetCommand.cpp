// cyclochord-host preset: writes the plug-in's state after the command line's settings as a program file.
#include <sstream>

#include "CommandSupport.h"
#include "Commands.h"
#include "FileIo.h"
#include "PluginState.h"
#include "RenderOptions.h"

namespace cchost {

int RunPreset(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  PresetOptions o;
  std::string error;
  if (!ParsePresetOptions(args, &o, &error)) {
    err << "cyclochord-host preset: " << error << "\n";
    return kExitUsage;
  }
  if (!CheckWritable(o.output, &error)) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  Host host(44100.0, 512);
  std::unique_ptr<Plugin> plugin = Plugin::Load(o.plugin, &host, &error);
  std::ostringstream report;
  if (!plugin || !ApplySetup(*plugin, o.setup, report, &error)) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  FxProgram program = CaptureProgram(*plugin);
  if (!o.name.empty()) program.name = o.name.substr(0, 27);
  OutputFiles files;
  files.Add(o.output, WriteProgramFile(program));
  if (!files.Commit(&error)) {
    err << "cyclochord-host: " << error << "\n";
    return kExitError;
  }
  out << report.str() << "wrote         " << o.output << " (\"" << program.name << "\", "
      << (program.opaqueChunk ? "chunk of " + std::to_string(program.chunk.size()) + " bytes"
                              : std::to_string(program.params.size()) + " parameter values")
      << ")\n";
  return kExitOk;
}

}  // namespace cchost
