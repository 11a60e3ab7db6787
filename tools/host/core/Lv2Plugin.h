// LV2 plug-ins as render targets: found by URI (on LV2_PATH) or by their bundle's folder, run with MIDI and
// time:Position atoms. Builds without lilv (Windows) have the declarations and refuse to load.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RenderTarget.h"

namespace cchost {

class Lv2Plugin : public RenderTarget {
 public:
  // uriOrBundle: a plug-in URI, or a bundle folder holding exactly one plug-in. Null with a message on failure.
  static std::unique_ptr<Lv2Plugin> Load(const std::string& uriOrBundle, double sampleRate, int maxBlock,
                                         std::string* error);

  virtual std::string Name() const = 0;
  virtual std::string Uri() const = 0;
  // Replaces the one opaque chunk (atom:Chunk) the plug-in keeps in its saved state with these bytes, as a VST
  // host hands a program file's chunk to effSetChunk, and restores that state.
  virtual bool LoadChunk(const std::vector<uint8_t>& bytes, std::string* error) = 0;
  // An input control port by symbol or name (either case); the value as one of its scale point labels, on/off
  // for a toggle, or a number in its range (a unit may follow). shown says what it was set to.
  virtual bool SetControl(const std::string& name, const std::string& value, std::string* shown,
                          std::string* error) = 0;
};

}  // namespace cchost
