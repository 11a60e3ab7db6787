// The library's PNG images by integer resource id, and their decoding into bitmaps.
#pragma once

#include "RasterBitmap.h"

#include <cstddef>

// Resource ids of the editor's images.
constexpr int kBackgroundPngId = 100;
constexpr int kFaderHandlePngId = 101;
constexpr int kMuteLedPngId = 102;
constexpr int kSpareLedPngId = 103;
constexpr int kSnapLedPngId = 104;
// Each image drawn at twice the size has the 1x image's id plus this.
constexpr int kDoubleSizePngOffset = 100;

// Bytes of one resource, owned by the module; null data and size 0 when there is no such resource.
struct ResourceBytes {
  const unsigned char* mData = nullptr;
  std::size_t mSize = 0;
};

// Finds the resource of type "PNG" with this id: in the module's resources on Windows (module is its
// HINSTANCE), among the images compiled into this binary on Linux (module is ignored).
ResourceBytes FindPngResource(void* module, int id);

// Decodes the PNG resource with this id as PngFromMemory does; null when it is missing, 7 bytes or less, or bad.
RasterBitmap* PngFromResource(void* module, int id, RasterBitmap* dest);
