#include "IStateChunk.h"

#include <cstring>

int IStateChunk::AppendBytes(uint64_t bits, int count) {
  for (int i = 0; i < count; ++i) mBytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  return Size();
}

bool IStateChunk::ReadBytes(uint64_t* bits, int position, int count) const {
  if (position < 0 || static_cast<int64_t>(position) + count > static_cast<int64_t>(mBytes.size())) return false;
  uint64_t v = 0;
  for (int i = 0; i < count; ++i) v |= static_cast<uint64_t>(mBytes[static_cast<size_t>(position + i)]) << (8 * i);
  *bits = v;
  return true;
}

int IStateChunk::AppendInt32(int32_t value) { return AppendBytes(static_cast<uint32_t>(value), 4); }

int IStateChunk::AppendReal64(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return AppendBytes(bits, 8);
}

int IStateChunk::ReadInt32(int32_t* value, int position) const {
  uint64_t bits;
  if (!ReadBytes(&bits, position, 4)) return -1;
  *value = static_cast<int32_t>(static_cast<uint32_t>(bits));
  return position + 4;
}

int IStateChunk::ReadReal64(double* value, int position) const {
  uint64_t bits;
  if (!ReadBytes(&bits, position, 8)) return -1;
  std::memcpy(value, &bits, sizeof(bits));
  return position + 8;
}

int IStateChunk::Resize(int newSize) {
  const int oldSize = Size();
  mBytes.resize(newSize > 0 ? static_cast<size_t>(newSize) : 0, 0);
  return oldSize;
}
