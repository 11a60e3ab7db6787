// Helpers for the host's tests.
#include "ToolTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "Commands.h"

namespace cchost_test {

ScratchFolder::ScratchFolder() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  std::random_device random;
  for (int attempt = 0; attempt < 100 && mPath.empty(); ++attempt) {
    const std::filesystem::path candidate = base / ("cchost-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate, error)) mPath = candidate.generic_string();
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!mPath.empty()) std::filesystem::remove_all(mPath, ignored);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<Example> ReadExamples(const std::string& listPath, std::string* error) {
  std::vector<Example> examples;
  std::ifstream list(listPath);
  std::string line;
  while (std::getline(list, line)) {
    Example e;
    std::istringstream fields(line);
    if (!(fields >> e.name) || e.name[0] == '#') continue;
    if (fields >> e.midi >> e.preset)
      examples.push_back(e);
    else
      *error += "incomplete line in " + listPath + ": " + line + "\n";
  }
  return examples;
}

ToolRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = cchost::RunCommandLine(args, out, err);
  return {status, out.str(), err.str()};
}

cchost::MidiFile OneTrackFile(std::vector<cchost::MidiEvent> events, double bpm, int division) {
  cchost::MidiFile file;
  file.format = 1;
  file.division = division;
  cchost::MidiTrack conductor;
  conductor.events.push_back(cchost::TempoEvent(0, bpm));
  cchost::MidiTrack track;
  track.events = std::move(events);
  file.tracks.push_back(conductor);
  file.tracks.push_back(track);
  return file;
}

cchost::MidiEvent On(uint32_t tick, int note, int velocity, int channel) {
  return cchost::MidiEvent::Channel(tick, uint8_t(0x90 | channel), uint8_t(note), uint8_t(velocity));
}

cchost::MidiEvent Off(uint32_t tick, int note, int channel) {
  return cchost::MidiEvent::Channel(tick, uint8_t(0x80 | channel), uint8_t(note), 0);
}

std::string ModulePath(const std::string& fileName) {
  // Tests name modules with the Linux suffix; other platforms build them with their own.
  const std::string linuxSuffix = ".so";
  std::string name = fileName;
  if (name.size() > linuxSuffix.size() && name.compare(name.size() - linuxSuffix.size(), linuxSuffix.size(), linuxSuffix) == 0)
    name = name.substr(0, name.size() - linuxSuffix.size()) + CYCLOCHORD_MODULE_SUFFIX;
  return "./" + name;
}

}  // namespace cchost_test
