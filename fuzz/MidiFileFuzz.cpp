// The host's Standard MIDI File reader: a file it accepts is written and read back to the same model, and the
// written bytes are a fixed point.
#include <string>
#include <vector>

#include "FuzzFail.h"
#include "MidiFileReader.h"
#include "MidiFileWriter.h"

namespace {
bool SameModel(const cchost::MidiFile& a, const cchost::MidiFile& b) {
  if (a.format != b.format || a.division != b.division || a.tracks.size() != b.tracks.size()) return false;
  for (size_t t = 0; t < a.tracks.size(); ++t)
    if (a.tracks[t].events != b.tracks[t].events || a.tracks[t].endTick != b.tracks[t].endTick) return false;
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  cchost::MidiFile file;
  std::string error;
  if (!cchost::ReadMidiFile(bytes, &file, &error)) {
    if (error.empty()) FuzzFail("a file was refused without a message");
    return 0;
  }
  (void)file.Merged();
  (void)file.LastTick();
  const std::vector<uint8_t> written = cchost::WriteMidiFile(file);
  cchost::MidiFile back;
  if (!cchost::ReadMidiFile(written, &back, &error)) FuzzFail("what was written does not read back: %s", error.c_str());
  if (!SameModel(file, back)) FuzzFail("what was written reads back different");
  if (cchost::WriteMidiFile(back) != written) FuzzFail("writing what was read back gives other bytes");
  return 0;
}
