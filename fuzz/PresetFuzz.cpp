// The host's preset reader: a program file it accepts is written and read back equal; a bank reads consistently.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFail.h"
#include "PresetFile.h"

namespace {
// Parameter values compare by their bits: a NaN in a file must come back as that NaN.
bool SameProgram(const cchost::FxProgram& a, const cchost::FxProgram& b) {
  return a.opaqueChunk == b.opaqueChunk && a.pluginId == b.pluginId && a.pluginVersion == b.pluginVersion &&
         a.numParams == b.numParams && a.name == b.name && a.chunk == b.chunk && a.params.size() == b.params.size() &&
         (a.params.empty() || std::memcmp(a.params.data(), b.params.data(), a.params.size() * sizeof(float)) == 0);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  cchost::PresetKind kind = cchost::PresetKind::kProgram;
  cchost::FxProgram program;
  cchost::FxBankInfo bank;
  std::string error;
  const bool looksLike = cchost::LooksLikePresetFile(bytes);
  if (!cchost::ReadPresetFile(bytes, &kind, &program, &bank, &error)) {
    if (error.empty()) FuzzFail("a file was refused without a message");
    return 0;
  }
  if (!looksLike) FuzzFail("a file read as a preset does not look like one");
  if (kind == cchost::PresetKind::kBank) {
    if (!bank.opaqueChunk && bank.programNames.size() != static_cast<size_t>(bank.numPrograms))
      FuzzFail("a bank of %d programs lists %zu names", bank.numPrograms, bank.programNames.size());
    (void)cchost::FourCharText(bank.pluginId);
    return 0;
  }
  if (!program.opaqueChunk && program.params.size() != static_cast<size_t>(program.numParams))
    FuzzFail("a program of %d parameters holds %zu values", program.numParams, program.params.size());
  const std::vector<uint8_t> written = cchost::WriteProgramFile(program);
  cchost::FxProgram back;
  if (!cchost::ReadPresetFile(written, &kind, &back, &bank, &error)) FuzzFail("what was written does not read back: %s", error.c_str());
  if (kind != cchost::PresetKind::kProgram || !SameProgram(program, back)) FuzzFail("what was written reads back different");
  return 0;
}
