#include "Lv2Turtle.h"

#include <cmath>
#include <cstdio>
#include <set>

#include "Lv2Wrapper.h"

namespace {
const char kPrefixes[] =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi:  <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz:   <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time:  <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    out += *p;
  }
  return out + "\"";
}

// Whole numbers as integers, the rest with every digit a double carries.
std::string Number(double v) {
  char text[64];
  if (v == std::floor(v) && std::fabs(v) < 1e15)
    std::snprintf(text, sizeof(text), "%.0f", v);
  else
    std::snprintf(text, sizeof(text), "%.17g", v);
  // Turtle reads "0.01" as a decimal and "1e-05" as a double: both are numbers.
  return text;
}

void WriteControlPort(const IParameter& param, int port, const std::string& symbol, std::ostream& out) {
  out << "    [\n"
      << "      a lv2:InputPort , lv2:ControlPort ;\n"
      << "      lv2:index " << port << " ;\n"
      << "      lv2:symbol " << Quoted(symbol.c_str()) << " ;\n"
      << "      lv2:name " << Quoted(param.LongName()) << " ;\n"
      << "      lv2:default " << Number(param.Value()) << " ;\n"
      << "      lv2:minimum " << Number(param.Min()) << " ;\n"
      << "      lv2:maximum " << Number(param.Max());
  switch (param.Type()) {
    case kParamBool: out << " ;\n      lv2:portProperty lv2:integer , lv2:toggled"; break;
    case kParamInt: out << " ;\n      lv2:portProperty lv2:integer"; break;
    case kParamEnum: out << " ;\n      lv2:portProperty lv2:integer , lv2:enumeration"; break;
    default: break;
  }
  // Generic UIs leave it out; hosts still save and restore it with the rest.
  if (param.Hidden()) out << " ;\n      lv2:portProperty pprops:notOnGUI";
  // The texts a host shows for an enumeration are the ones the plug-in itself shows.
  if (param.Type() == kParamEnum && param.NumDisplayTexts() > 0) {
    out << " ;\n      lv2:scalePoint";
    for (int i = 0; i < param.NumDisplayTexts(); ++i) {
      const char* text = param.DisplayText(i);
      int value = 0;
      param.ValueForDisplayText(text, &value);
      out << (i ? " ,\n        " : "\n        ") << "[ rdfs:label " << Quoted(text) << " ; rdf:value " << value
          << " ]";
    }
  }
  out << "\n    ]";
}
}  // namespace

std::string Lv2PortSymbol(const char* name) {
  std::string symbol;
  for (const char* p = name; *p; ++p) {
    const char c = *p;
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= '0' && c <= '9');
    symbol += ok ? c : '_';
  }
  if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9')) symbol.insert(0, "_");
  return symbol;
}

bool WriteLV2PluginData(Lv2Wrapper* plug, const Lv2PluginURIs& uris, const Lv2BundleInfo& info, std::ostream& out,
                        std::string* error) {
  const int major = (info.mVersion >> 16) & 0xFFFF, minor = (info.mVersion >> 8) & 0xFF, patch = info.mVersion & 0xFF;
  out << kPrefixes;
  out << "<" << uris.mPlugin << ">\n"
      // A project too, which is what a maintainer belongs to.
      << "  a lv2:Plugin , lv2:MIDIPlugin , doap:Project ;\n"
      << "  doap:name " << Quoted(info.mName) << " ;\n"
      << "  doap:maintainer [ foaf:name " << Quoted(info.mVendor);
  if (info.mMaintainerEmail) out << " ; foaf:mbox <mailto:" << info.mMaintainerEmail << ">";
  out << " ] ;\n";
  if (info.mDescription) out << "  rdfs:comment " << Quoted(info.mDescription) << " ;\n";
  if (info.mHomePage) out << "  doap:homepage <" << info.mHomePage << "> ;\n";
  if (info.mLicense) out << "  doap:license <" << info.mLicense << "> ;\n";
  out
      // An odd minor version means a development release to LV2 hosts: ours are all releases.
      << "  lv2:minorVersion " << 2 * (major * 100 + minor) << " ;\n"
      << "  lv2:microVersion " << patch << " ;\n"
      << "  lv2:requiredFeature urid:map ;\n"
      << "  lv2:optionalFeature opts:options ;\n"
      << "  lv2:extensionData state:interface ;\n"
      << "  ui:ui <" << uris.mUI << "> ;\n"
      << "  lv2:port\n"
      << "    [\n"
      << "      a lv2:InputPort , atom:AtomPort ;\n"
      << "      atom:bufferType atom:Sequence ;\n"
      << "      atom:supports midi:MidiEvent , time:Position ;\n"
      << "      lv2:designation lv2:control ;\n"
      << "      lv2:index " << kLv2EventsInPort << " ;\n"
      << "      lv2:symbol \"events_in\" ;\n"
      << "      lv2:name \"Events in\"\n"
      << "    ] , [\n"
      << "      a lv2:OutputPort , atom:AtomPort ;\n"
      << "      atom:bufferType atom:Sequence ;\n"
      << "      atom:supports midi:MidiEvent ;\n"
      << "      rsz:minimumSize " << info.mMidiOutBytes << " ;\n"
      << "      lv2:index " << kLv2MidiOutPort << " ;\n"
      << "      lv2:symbol \"midi_out\" ;\n"
      << "      lv2:name \"MIDI out\"\n"
      << "    ]";
  std::set<std::string> symbols = {"events_in", "midi_out"};
  for (int k = 0; k < plug->NumControlPorts(); ++k) {
    const IParameter* param = plug->Plugin().GetParam(plug->ParamForControlPort(k));
    const std::string symbol = Lv2PortSymbol(param->Name());
    if (!symbols.insert(symbol).second) {
      *error = "two parameters make the port symbol " + symbol;
      return false;
    }
    if (!(param->Value() >= param->Min() && param->Value() <= param->Max())) {
      *error = std::string("the default of ") + param->Name() + " lies outside its range";
      return false;
    }
    out << " ,\n";
    WriteControlPort(*param, static_cast<int>(kLv2FirstControlPort) + k, symbol, out);
  }
  out << " .\n\n";
  out << "<" << uris.mUI << ">\n"
      << "  a ui:X11UI ;\n"
      << "  lv2:binary <" << info.mBinary << "> ;\n"
      << "  lv2:requiredFeature ui:parent , ui:idleInterface , <http://lv2plug.in/ns/ext/instance-access> ;\n"
      << "  lv2:optionalFeature ui:resize , ui:touch , opts:options , urid:map ;\n"
      << "  opts:supportedOption ui:scaleFactor ;\n"
      << "  lv2:extensionData ui:idleInterface , opts:interface .\n";
  return static_cast<bool>(out);
}

void WriteLV2Manifest(const Lv2PluginURIs& uris, const Lv2BundleInfo& info, std::ostream& out) {
  out << "@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
      << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
      << "@prefix ui:   <http://lv2plug.in/ns/extensions/ui#> .\n\n"
      << "<" << uris.mPlugin << ">\n"
      << "  a lv2:Plugin , lv2:MIDIPlugin ;\n"
      << "  lv2:binary <" << info.mBinary << "> ;\n"
      << "  rdfs:seeAlso <" << info.mDataFile << "> .\n\n"
      << "<" << uris.mUI << ">\n"
      << "  a ui:X11UI ;\n"
      << "  lv2:binary <" << info.mBinary << "> ;\n"
      << "  rdfs:seeAlso <" << info.mDataFile << "> .\n";
}
