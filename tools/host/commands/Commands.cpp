// Sub-command dispatch and usage text.
#include "Commands.h"

namespace cchost {
namespace {
const char kUsage[] =
    "usage:\n"
    "  cyclochord-host info PLUGIN [PRESET.fxp]\n"
    "  cyclochord-host info PRESET.fxp\n"
    "  cyclochord-host render PLUGIN IN.mid -o OUT.mid [--tempo BPM] [--rate HZ] [--block N]\n"
    "  cyclochord-host render --lv2 URI|BUNDLE IN.mid -o OUT.mid [the same options but --program, --save-fxp]\n"
    "        [--set NAME=VALUE]... [--program N] [--load-fxp F] [--save-fxp F]\n"
    "        [--synth SYNTH_PLUGIN --wav OUT.wav [--wav-format 16|float] [--gain DB] [--normalize]]\n"
    "        [--plot OUT.png] [--tail BEATS] [--preroll BEATS]\n"
    "  cyclochord-host preset PLUGIN -o OUT.fxp [--name NAME] [--program N] [--load-fxp F] [--set NAME=VALUE]...\n"
    "  cyclochord-host edit PLUGIN [--screenshot F.png] [--after MS] [--log-automation]\n"
    "  cyclochord-host --version\n"
    "PLUGIN is a VST 2.4 module, or a CLAP file (.clap: no --program or --save-fxp; --load-fxp takes chunk presets)\n"
    "exit status: 0 done, 1 error (nothing written), 2 bad command line, 3 hanging notes in the output\n";
}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty() || args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    (args.empty() ? err : out) << kUsage;
    return args.empty() ? kExitUsage : kExitOk;
  }
  if (args[0] == "--version" || args[0] == "version") {
    out << "cyclochord-host " << CYCLOCHORD_HOST_VERSION << "\n";
    return kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "info") return RunInfo(rest, out, err);
  if (args[0] == "render") return RunRender(rest, out, err);
  if (args[0] == "preset") return RunPreset(rest, out, err);
  if (args[0] == "edit") return RunEdit(rest, out, err);
  err << "cyclochord-host: unknown command '" << args[0] << "'\n" << kUsage;
  return kExitUsage;
}

}  // namespace cchost
