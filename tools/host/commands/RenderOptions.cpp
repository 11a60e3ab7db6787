// Option parsing with range checks.
#include "RenderOptions.h"

#include <cmath>
#include <cstdlib>

namespace cchost {
namespace {

bool ParseDouble(const std::string& text, double low, double high, double* out) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v) || v < low || v > high) return false;
  *out = v;
  return true;
}

bool ParseInt(const std::string& text, long low, long high, long* out) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < low || v > high) return false;
  *out = v;
  return true;
}

// Shared by both commands; returns 1 when the option was consumed, 0 when not ours, -1 on error.
int ParseSetupOption(const std::string& option, const std::string& value, PluginSetup* setup, std::string* error) {
  if (option == "--program") {
    long v = 0;
    if (!ParseInt(value, 0, 1 << 20, &v)) {
      *error = "--program needs a program number (0 or more), not '" + value + "'";
      return -1;
    }
    setup->program = static_cast<int>(v);
    return 1;
  }
  if (option == "--load-fxp") {
    setup->loadFxp = value;
    return 1;
  }
  if (option == "--set") {
    const size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0) {
      *error = "--set needs NAME=VALUE, not '" + value + "'";
      return -1;
    }
    setup->sets.emplace_back(value.substr(0, eq), value.substr(eq + 1));
    return 1;
  }
  return 0;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* out, std::string* error) {
  RenderOptions o;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '-' || a == "-") {
      positional.push_back(a);
      continue;
    }
    if (a == "--normalize") {
      o.normalize = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      *error = a + " needs a value";
      return false;
    }
    const std::string& v = args[++i];
    long n = 0;
    const int setup = ParseSetupOption(a, v, &o.setup, error);
    if (setup < 0) return false;
    if (setup > 0) continue;
    if (a == "-o" || a == "--output") {
      o.outputMidi = v;
    } else if (a == "--tempo") {
      if (!ParseDouble(v, 1.0, 1000.0, &o.tempo)) {
        *error = "--tempo needs beats per minute between 1 and 1000, not '" + v + "'";
        return false;
      }
    } else if (a == "--rate") {
      if (!ParseDouble(v, 8000.0, 384000.0, &o.render.sampleRate)) {
        *error = "--rate needs a sample rate between 8000 and 384000 Hz, not '" + v + "'";
        return false;
      }
    } else if (a == "--block") {
      if (!ParseInt(v, 1, 65536, &n)) {
        *error = "--block needs a block size between 1 and 65536 frames, not '" + v + "'";
        return false;
      }
      o.render.blockSize = static_cast<int>(n);
    } else if (a == "--tail") {
      if (!ParseDouble(v, 0.0, 1024.0, &o.render.tailBeats)) {
        *error = "--tail needs beats between 0 and 1024, not '" + v + "'";
        return false;
      }
    } else if (a == "--preroll") {
      if (!ParseDouble(v, 0.0, 64.0, &o.render.prerollBeats)) {
        *error = "--preroll needs beats between 0 and 64, not '" + v + "'";
        return false;
      }
    } else if (a == "--lv2") {
      o.lv2 = v;
    } else if (a == "--save-fxp") {
      o.saveFxp = v;
    } else if (a == "--synth") {
      o.synth = v;
    } else if (a == "--wav") {
      o.wav = v;
    } else if (a == "--wav-format") {
      if (v == "16")
        o.wavFormat = WavFormat::kPcm16;
      else if (v == "float")
        o.wavFormat = WavFormat::kFloat32;
      else {
        *error = "--wav-format is 16 or float, not '" + v + "'";
        return false;
      }
    } else if (a == "--gain") {
      if (!ParseDouble(v, -96.0, 48.0, &o.gainDb)) {
        *error = "--gain needs decibels between -96 and 48, not '" + v + "'";
        return false;
      }
    } else if (a == "--plot") {
      o.plot = v;
    } else {
      *error = "unknown option " + a;
      return false;
    }
  }
  if (positional.size() != (o.lv2.empty() ? 2u : 1u)) {
    *error = o.lv2.empty() ? "render needs a plug-in and a MIDI file" : "render --lv2 PLUGIN needs a MIDI file";
    return false;
  }
  if (!o.lv2.empty() && (o.setup.program >= 0 || !o.saveFxp.empty())) {
    // LV2 has no program list, and its state is no program file.
    *error = std::string(o.setup.program >= 0 ? "--program" : "--save-fxp") + " works with VST plug-ins only";
    return false;
  }
  o.plugin = o.lv2.empty() ? positional[0] : std::string();
  o.inputMidi = positional.back();
  if (o.outputMidi.empty()) {
    *error = "render needs -o OUT.mid";
    return false;
  }
  if (o.synth.empty() != o.wav.empty()) {
    *error = "--synth and --wav go together";
    return false;
  }
  *out = std::move(o);
  return true;
}

bool ParsePresetOptions(const std::vector<std::string>& args, PresetOptions* out, std::string* error) {
  PresetOptions o;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '-') {
      positional.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      *error = a + " needs a value";
      return false;
    }
    const std::string& v = args[++i];
    const int setup = ParseSetupOption(a, v, &o.setup, error);
    if (setup < 0) return false;
    if (setup > 0) continue;
    if (a == "-o" || a == "--output") {
      o.output = v;
    } else if (a == "--name") {
      o.name = v;
    } else {
      *error = "unknown option " + a;
      return false;
    }
  }
  if (positional.size() != 1 || o.output.empty()) {
    *error = "preset needs a plug-in and -o OUT.fxp";
    return false;
  }
  o.plugin = positional[0];
  *out = std::move(o);
  return true;
}

}  // namespace cchost
