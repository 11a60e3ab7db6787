// VST 2.4 preset files: program files (.fxp) read and written, bank files (.fxb) read for display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cchost {

struct FxProgram {
  bool opaqueChunk = false;  // 'FPCh' (plug-in's own chunk) rather than 'FxCk' (parameter values)
  int32_t pluginId = 0;
  int32_t pluginVersion = 0;
  int32_t numParams = 0;
  std::string name;  // at most 27 characters
  std::vector<float> params;
  std::vector<uint8_t> chunk;
};

struct FxBankInfo {
  bool opaqueChunk = false;
  int32_t version = 0;
  int32_t pluginId = 0;
  int32_t pluginVersion = 0;
  int32_t numPrograms = 0;
  int32_t currentProgram = 0;
  uint32_t chunkSize = 0;
  std::vector<std::string> programNames;  // for a bank of parameter lists
};

enum class PresetKind { kProgram, kBank };

// Reads either kind; false with a message for anything malformed.
bool ReadPresetFile(const std::vector<uint8_t>& bytes, PresetKind* kind, FxProgram* program, FxBankInfo* bank,
                    std::string* error);
std::vector<uint8_t> WriteProgramFile(const FxProgram& program);
bool LooksLikePresetFile(const std::vector<uint8_t>& bytes);

std::string FourCharText(int32_t id);  // 'lsCc', or hexadecimal when not printable

}  // namespace cchost
