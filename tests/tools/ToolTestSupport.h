// Helpers for the host's tests: scratch folders, files, running the command line, building MIDI.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "MidiFile.h"

namespace cchost_test {

// A fresh folder in the system's temporary folder, removed with everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string Path(const std::string& name) const { return mPath + "/" + name; }

 private:
  std::string mPath;
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};
ToolRun RunTool(const std::vector<std::string>& args);

// A format 1 file: a tempo track (tempo at tick 0) and one track with the given events.
cchost::MidiFile OneTrackFile(std::vector<cchost::MidiEvent> events, double bpm = 120.0, int division = 480);
cchost::MidiEvent On(uint32_t tick, int note, int velocity = 100, int channel = 0);
cchost::MidiEvent Off(uint32_t tick, int note, int channel = 0);

// One render of examples/renders.list: output name, input MIDI file (in examples/) and preset (in presets/).
struct Example {
  std::string name, midi, preset;
};
// The list's lines in order; blank lines and # comments skipped. An incomplete line is named in error.
std::vector<Example> ReadExamples(const std::string& listPath, std::string* error);

// Where the test modules are (tests run in the folder all modules are built into).
std::string ModulePath(const std::string& fileName);

}  // namespace cchost_test
