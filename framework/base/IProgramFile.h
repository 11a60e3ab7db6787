// Program files (.fxp) read without any plug-in format: what a shipped preset holds, for every wrapper that
// offers presets to its hosts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IProgramFile {
  int32_t mPluginId = 0;
  int32_t mPluginVersion = 0;
  std::string mName;            // at most 27 characters, control characters made spaces
  bool mHasChunk = false;       // the plug-in's own chunk ('FPCh'), else normalised parameter values ('FxCk')
  std::vector<uint8_t> mChunk;  // with mHasChunk
  std::vector<float> mValues;   // without it
};

// No preset comes near this; a longer file is not one.
constexpr size_t kLargestProgramFile = 1u << 20;

// False, with the reason, for anything that is not one whole program file; out is then left alone.
bool ReadProgramFile(const uint8_t* bytes, size_t size, IProgramFile* out, std::string* error);
// The same for a file on disk (a UTF-8 path on Windows too).
bool ReadProgramFile(const char* path, IProgramFile* out, std::string* error);
