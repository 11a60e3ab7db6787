// Reads a fuzzer's bytes as a stream of small decisions; past the end every read yields zero, so any input is a
// complete script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

  bool Empty() const { return mPos >= mSize; }
  size_t Remaining() const { return mSize - mPos; }

  uint8_t Byte() { return mPos < mSize ? mData[mPos++] : 0; }
  // Each read is a statement of its own: the order of operands in one expression is unspecified, and an input
  // must mean the same to every compiler.
  uint16_t U16() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
  }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (static_cast<uint32_t>(U16()) << 16);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  bool Bool() { return (Byte() & 1) != 0; }
  // 0..n-1; n must be positive.
  int Below(int n) { return static_cast<int>(U16() % static_cast<unsigned>(n)); }

  float Float() {
    const uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
  }
  double Double() {
    const uint64_t low = U32();
    const uint64_t bits = low | (static_cast<uint64_t>(U32()) << 32);
    double d;
    std::memcpy(&d, &bits, sizeof(d));
    return d;
  }
  // Mostly ordinary values, sometimes any bit pattern (NaN, infinities, denormals, huge).
  double Real(double low, double high) {
    const uint8_t kind = Byte();
    if (kind < 200) return low + (high - low) * (U16() / 65535.0);
    return Double();
  }

  // Up to max bytes from the stream, by pointer into the input; *count is how many.
  const uint8_t* Bytes(size_t max, size_t* count) {
    const size_t n = max < Remaining() ? max : Remaining();
    const uint8_t* p = mData + mPos;
    mPos += n;
    *count = n;
    return p;
  }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};
