// The Turtle description of an LV2 plug-in, written from the plug-in object itself, so that ports, names,
// ranges, defaults and display texts are the ones its code uses.
#pragma once

#include <ostream>
#include <string>

class Lv2Wrapper;
struct Lv2PluginURIs;

struct Lv2BundleInfo {
  const char* mName;        // the plug-in's name for hosts
  const char* mVendor;
  const char* mBinary;      // the module's file name inside the bundle
  const char* mDataFile;    // the file the plug-in's description goes into
  int mVersion;             // 0xMMmmpp
  int mMidiOutBytes;        // room the MIDI output needs for the busiest cycle
  // What hosts show about the plug-in; each is left out of the Turtle when null.
  const char* mDescription = nullptr;      // one line
  const char* mHomePage = nullptr;         // URI
  const char* mMaintainerEmail = nullptr;  // address without mailto:
  const char* mLicense = nullptr;          // URI
};

// Port symbols are C identifiers; false (with the reason) when the plug-in's names cannot make unique ones.
bool WriteLV2PluginData(Lv2Wrapper* plug, const Lv2PluginURIs& uris, const Lv2BundleInfo& info, std::ostream& out,
                        std::string* error);
void WriteLV2Manifest(const Lv2PluginURIs& uris, const Lv2BundleInfo& info, std::ostream& out);
// The symbol of a parameter's port: its name with everything but letters, digits and '_' made '_'.
std::string Lv2PortSymbol(const char* name);
