// The PNG decoder: any bytes decode or fail quickly; a decoded image has the size of its header, and decoding
// into an existing bitmap gives the same pixels as into a new one.
#include <cstring>
#include <memory>

#include "FuzzFail.h"
#include "MemoryBitmap.h"
#include "PngDecoder.h"

namespace {
uint32_t BigEndian(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }

// Width and height from the first IHDR chunk; libpng lets ancillary chunks come before it.
bool HeaderSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height) {
  for (size_t at = 8; at + 16 <= size;) {
    if (std::memcmp(data + at + 4, "IHDR", 4) == 0) {
      *width = BigEndian(data + at + 8);
      *height = BigEndian(data + at + 12);
      return true;
    }
    const uint32_t length = BigEndian(data + at);
    if (length > size - at - 12) return false;
    at += 12 + size_t(length);
  }
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<RasterBitmap> image(PngFromMemory(data, size, nullptr));
  MemoryBitmap reused(3, 2, 4);
  RasterBitmap* into = PngFromMemory(data, size, &reused);
  if (!image) {
    if (into) FuzzFail("decoding into a bitmap worked where decoding alone failed");
    return 0;
  }
  if (into != &reused) FuzzFail("decoding into a bitmap failed where decoding alone worked");
  if (image->Width() <= 0 || image->Height() <= 0) FuzzFail("a decoded image of %dx%d", image->Width(), image->Height());
  uint32_t width = 0, height = 0;
  if (HeaderSize(data, size, &width, &height) &&
      (uint32_t(image->Width()) != width || uint32_t(image->Height()) != height))
    FuzzFail("decoded %dx%d from a header of %ux%u", image->Width(), image->Height(), width, height);
  if (reused.Width() != image->Width() || reused.Height() != image->Height())
    FuzzFail("the reused bitmap is %dx%d, the new one %dx%d", reused.Width(), reused.Height(), image->Width(), image->Height());
  for (int y = 0; y < image->Height(); ++y)
    if (std::memcmp(RowAddress(*image, y), RowAddress(reused, y), sizeof(Pixel) * size_t(image->Width())) != 0)
      FuzzFail("row %d differs between a new and a reused bitmap", y);
  return 0;
}
