// The program file: big-endian fields, a 'CcnK' header of 56 bytes, then a parameter list or a chunk.
#include "IProgramFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
constexpr size_t kHeader = 56;
constexpr size_t kNameField = 28;
constexpr uint32_t FourCC(const char (&c)[5]) {
  return (uint32_t(uint8_t(c[0])) << 24) | (uint32_t(uint8_t(c[1])) << 16) | (uint32_t(uint8_t(c[2])) << 8) |
         uint32_t(uint8_t(c[3]));
}
constexpr uint32_t kFileMagic = FourCC("CcnK");
constexpr uint32_t kValuesMagic = FourCC("FxCk");
constexpr uint32_t kChunkMagic = FourCC("FPCh");

uint32_t Get32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

FILE* OpenForReading(const char* path) {
#ifdef _WIN32
  const int n = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
  if (n <= 0) return nullptr;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path, -1, &wide[0], n);
  return _wfopen(wide.c_str(), L"rb");
#else
  return std::fopen(path, "rb");
#endif
}
}  // namespace

bool ReadProgramFile(const uint8_t* bytes, size_t size, IProgramFile* out, std::string* error) {
  if (!bytes || size < kHeader) return Fail(error, "not a preset: shorter than the 56-byte header");
  if (Get32(bytes) != kFileMagic) return Fail(error, "not a preset: no 'CcnK' header");
  IProgramFile file;
  file.mPluginId = static_cast<int32_t>(Get32(bytes + 16));
  file.mPluginVersion = static_cast<int32_t>(Get32(bytes + 20));
  for (size_t i = 0; i + 1 < kNameField && bytes[28 + i]; ++i)
    file.mName += bytes[28 + i] < 0x20 ? ' ' : static_cast<char>(bytes[28 + i]);
  const uint32_t magic = Get32(bytes + 8);
  if (magic == kChunkMagic) {
    if (size < kHeader + 4) return Fail(error, "the preset has no chunk size");
    const uint32_t chunkSize = Get32(bytes + kHeader);
    if (chunkSize != size - kHeader - 4) return Fail(error, "the preset's chunk does not fill the file");
    file.mHasChunk = true;
    file.mChunk.assign(bytes + kHeader + 4, bytes + size);
  } else if (magic == kValuesMagic) {
    const uint32_t count = Get32(bytes + 24);
    if (count > (size - kHeader) / 4 || kHeader + 4 * size_t(count) != size)
      return Fail(error, "the preset's parameter count does not match its length");
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t bits = Get32(bytes + kHeader + 4 * size_t(i));
      float value;
      std::memcpy(&value, &bits, sizeof(value));
      file.mValues.push_back(value);
    }
  } else {
    return Fail(error, "a bank or an unknown kind of preset, not one program");
  }
  *out = std::move(file);
  return true;
}

bool ReadProgramFile(const char* path, IProgramFile* out, std::string* error) {
  if (!path || !*path) return Fail(error, "no file given");
  std::unique_ptr<FILE, int (*)(FILE*)> file(OpenForReading(path), std::fclose);
  if (!file) return Fail(error, std::string("cannot open ") + path);
  std::vector<uint8_t> bytes;
  uint8_t buffer[4096];
  for (;;) {
    const size_t got = std::fread(buffer, 1, sizeof(buffer), file.get());
    if (got == 0) break;
    if (bytes.size() + got > kLargestProgramFile) return Fail(error, std::string("too large for a preset: ") + path);
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  if (std::ferror(file.get())) return Fail(error, std::string("cannot read ") + path);
  return ReadProgramFile(bytes.data(), bytes.size(), out, error);
}
