// A heap bitmap whose pixel block starts on a 64-byte boundary and whose storage grows by a quarter.
#include "MemoryBitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kPixelAlignment = 64;
constexpr int kMaxRowAlignment = 16;

int RowAlignMask(int rowAlignment) {
  if (rowAlignment < 2) return 0;
  int lowest = rowAlignment & -rowAlignment;
  // The cap keeps the mask of the form 2^k - 1, which the row span rounding relies on.
  if (lowest > kMaxRowAlignment || lowest <= 0) lowest = kMaxRowAlignment;
  return lowest - 1;
}

}  // namespace

MemoryBitmap::MemoryBitmap(int width, int height, int rowAlignment) : mRowAlignMask(RowAlignMask(rowAlignment)) {
  if (width != 0 || height != 0) Resize(width, height);
}

MemoryBitmap::~MemoryBitmap() { std::free(mStorage); }

Pixel* MemoryBitmap::Bits() {
  if (!mStorage) return nullptr;
  const auto address = reinterpret_cast<std::uintptr_t>(mStorage);
  const std::uintptr_t aligned = (address + kPixelAlignment - 1) & ~static_cast<std::uintptr_t>(kPixelAlignment - 1);
  return reinterpret_cast<Pixel*>(aligned);
}

int MemoryBitmap::RowSpan() const { return (mWidth + mRowAlignMask) & ~mRowAlignMask; }

bool MemoryBitmap::Resize(int width, int height) {
  if (width == mWidth && height == mHeight) return false;
  mWidth = width;
  mHeight = height;

  // Negative sizes count as empty; a size whose bytes would not fit (a 32-bit build) fails like an allocation.
  std::size_t needed = 0;
  if (width > 0 && height > 0 && width <= INT_MAX - kMaxRowAlignment) {
    const std::size_t rowBytes = static_cast<std::size_t>(RowSpan()) * sizeof(Pixel);
    const std::size_t limit = (SIZE_MAX - kPixelAlignment) / 5 * 4;
    if (rowBytes <= limit / static_cast<std::size_t>(height)) needed = rowBytes * static_cast<std::size_t>(height);
  }

  if (needed > 0) {
    if (!mStorage) {
      mStorage = std::malloc(needed + kPixelAlignment - 1);
      mAllocated = mStorage ? needed : 0;
    } else if (mAllocated < needed) {
      // The old pixels need not survive, so a fresh block avoids realloc's copy.
      std::free(mStorage);
      const std::size_t grown = (needed / 4) * 5;
      mStorage = std::malloc(grown + kPixelAlignment - 1);
      mAllocated = grown;
      if (!mStorage) {
        mStorage = std::malloc(needed + kPixelAlignment - 1);
        mAllocated = mStorage ? needed : 0;
      }
    }
  } else {
    std::free(mStorage);
    mStorage = nullptr;
    mAllocated = 0;
  }

  if (!mStorage) {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}
