// Any bytes as a bank or program chunk: afterwards every parameter reads in [0, 1], what the plug-in then saves
// loads back to the same bytes and values, and it still plays.
#include <cstring>
#include <vector>

#include "CheckedHost.h"
#include "FuzzInput.h"

namespace {

std::vector<uint8_t> GetChunk(CheckedHost& host, VstInt32 index) {
  void* data = nullptr;
  const VstIntPtr size = host.Dispatch(effGetChunk, index, 0, &data);
  if (size <= 0 || !data) FuzzFail("effGetChunk(%d) gave no chunk", index);
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

std::vector<float> Parameters(CheckedHost& host) {
  AEffect* effect = host.Effect();
  std::vector<float> values;
  for (int i = 0; i < effect->numParams; ++i) {
    const float v = effect->getParameter(effect, i);
    if (!(v >= 0.0f && v <= 1.0f)) FuzzFail("parameter %d reads %g", i, v);
    values.push_back(v);
  }
  return values;
}

void CheckRoundTrip(CheckedHost& host, VstInt32 index) {
  std::vector<uint8_t> saved = GetChunk(host, index);
  const std::vector<float> before = Parameters(host);
  std::vector<uint8_t> copy = saved;  // the plug-in may reuse its own buffer
  if (host.Dispatch(effSetChunk, index, static_cast<VstIntPtr>(copy.size()), copy.data()) != 1)
    FuzzFail("the plug-in refused its own %s chunk", index == 0 ? "bank" : "program");
  if (GetChunk(host, index) != saved) FuzzFail("a %s chunk did not load back to the same bytes", index == 0 ? "bank" : "program");
  if (Parameters(host) != before) FuzzFail("a %s chunk did not load back to the same values", index == 0 ? "bank" : "program");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const uint8_t mode = in.Byte();
  CheckedHost host;
  if (mode & 2) host.Dispatch(effSetProgram, 0, (mode >> 2) % 6);
  size_t n = 0;
  const uint8_t* bytes = in.Bytes(in.Remaining(), &n);
  std::vector<uint8_t> chunk(bytes, bytes + n);
  host.Dispatch(effSetChunk, mode & 1, static_cast<VstIntPtr>(chunk.size()), chunk.empty() ? nullptr : chunk.data());
  Parameters(host);
  CheckRoundTrip(host, 0);
  CheckRoundTrip(host, 1);

  // A few blocks with notes through whatever settings the chunk left.
  host.mTime.flags |= kVstTransportPlaying;
  for (int block = 0; block < 4; ++block) {
    VstMidiEvent notes[2] = {};
    for (int i = 0; i < 2; ++i) {
      notes[i].type = kVstMidiType;
      notes[i].byteSize = sizeof(VstMidiEvent);
      notes[i].deltaFrames = 100 * i;
      notes[i].midiData[0] = static_cast<char>(block < 2 ? 0x90 : 0x80);
      notes[i].midiData[1] = static_cast<char>(60 + 7 * i);
      notes[i].midiData[2] = 100;
    }
    VstEvents list = {};
    list.numEvents = 2;
    list.events[0] = reinterpret_cast<VstEvent*>(&notes[0]);
    list.events[1] = reinterpret_cast<VstEvent*>(&notes[1]);
    host.Dispatch(effProcessEvents, 0, 0, &list);
    host.Process(512, block % 2 ? TestHost::Precision::kDouble : TestHost::Precision::kSingle);
  }
  host.StopAndCheckSilence();
  return 0;
}
