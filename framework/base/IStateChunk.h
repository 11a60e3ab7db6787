// A growable little-endian byte buffer: the host's state chunk and each preset slot's values.
#pragma once

#include <cstdint>
#include <vector>

class IStateChunk {
 public:
  void Clear() { mBytes.clear(); }
  int AppendInt32(int32_t value);
  int AppendReal64(double value);
  // Both return the position after the value, or -1 (leaving *value alone) when it is not wholly inside.
  int ReadInt32(int32_t* value, int position) const;
  int ReadReal64(double* value, int position) const;
  int Resize(int newSize);
  int Size() const { return static_cast<int>(mBytes.size()); }
  uint8_t* Data() { return mBytes.empty() ? nullptr : mBytes.data(); }
  const uint8_t* Data() const { return mBytes.empty() ? nullptr : mBytes.data(); }

 private:
  int AppendBytes(uint64_t bits, int count);
  bool ReadBytes(uint64_t* bits, int position, int count) const;

  std::vector<uint8_t> mBytes;
};

constexpr int32_t kChunkMagic = 0x70666674;
constexpr int32_t kChunkVersion = 0x00010000;
