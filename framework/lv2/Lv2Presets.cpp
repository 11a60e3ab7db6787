#include "Lv2Presets.h"

#include <cstdio>

#include "Lv2HostLink.h"

namespace {
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A port value typed as a float, the type of a control port: lilv hands an integer literal to hosts as an
// atom:Int, which a host that takes floats only would skip. Nine digits give the float back exactly.
std::string FloatLiteral(double value) {
  char text[48];
  std::snprintf(text, sizeof(text), "\"%.9g\"^^xsd:float", static_cast<double>(static_cast<float>(value)));
  return text;
}
}  // namespace

std::string Base64(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    const uint32_t group = (uint32_t(bytes[i]) << 16) | (left > 1 ? uint32_t(bytes[i + 1]) << 8 : 0u) |
                           (left > 2 ? uint32_t(bytes[i + 2]) : 0u);
    out += kDigits[(group >> 18) & 63];
    out += kDigits[(group >> 12) & 63];
    out += left > 1 ? kDigits[(group >> 6) & 63] : '=';
    out += left > 2 ? kDigits[group & 63] : '=';
  }
  return out;
}

void WriteLV2Presets(const Lv2PluginURIs& uris, const std::vector<Lv2Preset>& presets, std::ostream& out) {
  out << "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
      << "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
      << "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
      << "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
      << "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
      << "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n";
  // The state key as a property of its own, so that validators know what the presets use.
  out << "\n<" << uris.mStateChunk << ">\n"
      << "  a rdf:Property ;\n"
      << "  rdfs:label \"state chunk\" ;\n"
      << "  rdfs:comment \"The plug-in's settings, the bytes it stores as its state.\" .\n";
  for (const Lv2Preset& preset : presets) {
    // Base64 binary is what lilv and its kin read back as an atom:Chunk, the type the state key holds. No
    // program goes with it: a preset loads into the program that is selected, as a program file does.
    out << "\n<" << preset.mUri << ">\n"
        << "  a pset:Preset ;\n"
        << "  lv2:appliesTo <" << uris.mPlugin << "> ;\n"
        << "  rdfs:label " << Quoted(preset.mLabel) << " ;\n";
    // Hosts set the ports after restoring the state, so their controls, automation and sessions show the
    // preset; values equal to the chunk's change nothing.
    if (!preset.mPortValues.empty()) {
      out << "  lv2:port";
      for (size_t i = 0; i < preset.mPortValues.size(); ++i)
        out << (i ? " ,\n    " : "\n    ") << "[ lv2:symbol " << Quoted(preset.mPortValues[i].first)
            << " ; pset:value " << FloatLiteral(preset.mPortValues[i].second) << " ]";
      out << " ;\n";
    }
    out << "  state:state [\n"
        << "    <" << uris.mStateChunk << "> \"" << Base64(preset.mChunk) << "\"^^xsd:base64Binary\n"
        << "  ] .\n";
  }
}

void WriteLV2PresetManifest(const Lv2PluginURIs& uris, const std::vector<Lv2Preset>& presets,
                            const char* presetsFile, std::ostream& out) {
  if (presets.empty()) return;
  out << "\n@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n";
  for (const Lv2Preset& preset : presets)
    out << "\n<" << preset.mUri << ">\n"
        << "  a pset:Preset ;\n"
        << "  lv2:appliesTo <" << uris.mPlugin << "> ;\n"
        << "  rdfs:label " << Quoted(preset.mLabel) << " ;\n"
        << "  rdfs:seeAlso <" << presetsFile << "> .\n";
}
