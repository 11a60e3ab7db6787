// Bounded text and number helpers for the fixed-size text fields of the framework.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Copies src into dst of dstSize bytes, cutting it if needed; dst is always NUL-terminated.
inline void CopyText(char* dst, std::size_t dstSize, const char* src) {
  if (!dst || dstSize == 0) return;
  std::size_t n = 0;
  if (src) {
    while (n + 1 < dstSize && src[n] != '\0') ++n;
    std::memcpy(dst, src, n);
  }
  dst[n] = '\0';
}

// Truncation toward zero that saturates at the int32 range and maps NaN to 0.
inline int32_t TruncToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}
