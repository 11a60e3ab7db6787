// The preset file format: big-endian fields, 'CcnK' header, parameter list or opaque chunk.
#include "PresetFile.h"

#include <cstdio>
#include <cstring>

#include "VstAbi.h"

namespace cchost {
namespace {
constexpr size_t kProgramHeader = 56;
constexpr size_t kBankHeader = 156;
constexpr size_t kNameField = 28;
constexpr int32_t kMaxElements = 1 << 20;

uint32_t Get32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(Get32(p)); }
float GetFloat(const uint8_t* p) {
  const uint32_t bits = Get32(p);
  float f;
  std::memcpy(&f, &bits, sizeof(f));
  return f;
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}
std::string Name(const uint8_t* p) {
  std::string name;
  for (size_t i = 0; i < kNameField && p[i]; ++i) name += static_cast<char>(p[i] < 0x20 ? ' ' : p[i]);
  return name;
}

// One program record at p (size bytes available); used for files and for records inside banks.
bool ReadProgram(const uint8_t* p, size_t size, FxProgram* out, size_t* used, std::string* error) {
  if (size < kProgramHeader) {
    *error = "truncated preset (shorter than its 56-byte header)";
    return false;
  }
  if (GetI32(p) != cMagic) {
    *error = "not a VST preset file (no 'CcnK' header)";
    return false;
  }
  const int32_t magic = GetI32(p + 8);
  FxProgram program;
  program.pluginId = GetI32(p + 16);
  program.pluginVersion = GetI32(p + 20);
  program.numParams = GetI32(p + 24);
  program.name = Name(p + 28);
  if (program.numParams < 0 || program.numParams > kMaxElements) {
    *error = "implausible parameter count " + std::to_string(program.numParams);
    return false;
  }
  if (magic == fMagic) {
    const size_t need = kProgramHeader + 4 * size_t(program.numParams);
    if (size < need) {
      *error = "truncated preset: " + std::to_string(program.numParams) + " parameter values need " +
               std::to_string(need) + " bytes, " + std::to_string(size) + " present";
      return false;
    }
    for (int32_t i = 0; i < program.numParams; ++i) program.params.push_back(GetFloat(p + kProgramHeader + 4 * size_t(i)));
    *used = need;
  } else if (magic == chunkPresetMagic) {
    if (size < kProgramHeader + 4) {
      *error = "truncated preset: no chunk size";
      return false;
    }
    const uint32_t chunkSize = Get32(p + kProgramHeader);
    if (chunkSize > size - kProgramHeader - 4) {
      *error = "truncated preset: chunk of " + std::to_string(chunkSize) + " bytes, " +
               std::to_string(size - kProgramHeader - 4) + " present";
      return false;
    }
    program.opaqueChunk = true;
    program.chunk.assign(p + kProgramHeader + 4, p + kProgramHeader + 4 + chunkSize);
    *used = kProgramHeader + 4 + chunkSize;
  } else {
    *error = "unknown preset type '" + FourCharText(magic) + "'";
    return false;
  }
  *out = std::move(program);
  return true;
}

bool ReadBank(const std::vector<uint8_t>& bytes, FxBankInfo* out, std::string* error) {
  const uint8_t* p = bytes.data();
  if (bytes.size() < kBankHeader) {
    *error = "truncated bank (shorter than its 156-byte header)";
    return false;
  }
  FxBankInfo bank;
  bank.opaqueChunk = GetI32(p + 8) == chunkBankMagic;
  bank.version = GetI32(p + 12);
  bank.pluginId = GetI32(p + 16);
  bank.pluginVersion = GetI32(p + 20);
  bank.numPrograms = GetI32(p + 24);
  bank.currentProgram = bank.version >= 2 ? GetI32(p + 28) : 0;
  if (bank.numPrograms < 0 || bank.numPrograms > kMaxElements) {
    *error = "implausible program count " + std::to_string(bank.numPrograms);
    return false;
  }
  if (bank.opaqueChunk) {
    if (bytes.size() < kBankHeader + 4 || Get32(p + kBankHeader) > bytes.size() - kBankHeader - 4) {
      *error = "truncated bank chunk";
      return false;
    }
    bank.chunkSize = Get32(p + kBankHeader);
  } else {
    size_t at = kBankHeader;
    for (int32_t i = 0; i < bank.numPrograms; ++i) {
      FxProgram program;
      size_t used = 0;
      if (!ReadProgram(p + at, bytes.size() - at, &program, &used, error)) {
        *error = "program " + std::to_string(i) + " of the bank: " + *error;
        return false;
      }
      bank.programNames.push_back(program.name);
      at += used;
    }
  }
  *out = std::move(bank);
  return true;
}
}  // namespace

bool LooksLikePresetFile(const std::vector<uint8_t>& bytes) { return bytes.size() >= 4 && GetI32(bytes.data()) == cMagic; }

bool ReadPresetFile(const std::vector<uint8_t>& bytes, PresetKind* kind, FxProgram* program, FxBankInfo* bank,
                    std::string* error) {
  if (bytes.size() >= 12 && GetI32(bytes.data()) == cMagic) {
    const int32_t magic = GetI32(bytes.data() + 8);
    if (magic == bankMagic || magic == chunkBankMagic) {
      *kind = PresetKind::kBank;
      return ReadBank(bytes, bank, error);
    }
  }
  *kind = PresetKind::kProgram;
  size_t used = 0;
  return ReadProgram(bytes.data(), bytes.size(), program, &used, error);
}

std::vector<uint8_t> WriteProgramFile(const FxProgram& program) {
  std::vector<uint8_t> out;
  Put32(&out, static_cast<uint32_t>(cMagic));
  Put32(&out, 0);  // byte size, filled in below
  Put32(&out, static_cast<uint32_t>(program.opaqueChunk ? chunkPresetMagic : fMagic));
  Put32(&out, 1);
  Put32(&out, static_cast<uint32_t>(program.pluginId));
  Put32(&out, static_cast<uint32_t>(program.pluginVersion));
  Put32(&out, static_cast<uint32_t>(program.numParams));
  uint8_t name[kNameField] = {};
  std::memcpy(name, program.name.data(), std::min(program.name.size(), kNameField - 1));
  out.insert(out.end(), name, name + kNameField);
  if (program.opaqueChunk) {
    Put32(&out, static_cast<uint32_t>(program.chunk.size()));
    out.insert(out.end(), program.chunk.begin(), program.chunk.end());
  } else {
    for (float value : program.params) {
      uint32_t bits;
      std::memcpy(&bits, &value, sizeof(bits));
      Put32(&out, bits);
    }
  }
  const uint32_t size = static_cast<uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[size_t(4 + i)] = static_cast<uint8_t>(size >> (24 - 8 * i));
  return out;
}

std::string FourCharText(int32_t id) {
  char text[16];
  const uint32_t u = static_cast<uint32_t>(id);
  const char c[4] = {char(u >> 24), char(u >> 16), char(u >> 8), char(u)};
  bool printable = true;
  for (char ch : c) printable = printable && ch >= 0x20 && ch < 0x7F;
  if (printable)
    std::snprintf(text, sizeof(text), "%c%c%c%c", c[0], c[1], c[2], c[3]);
  else
    std::snprintf(text, sizeof(text), "0x%08X", u);
  return text;
}

}  // namespace cchost
