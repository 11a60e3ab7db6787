// Decoding of the library's PNG resources, shared by every platform.
#include "PngResource.h"

#include "PngDecoder.h"

namespace {

// Anything shorter cannot even hold the PNG signature.
constexpr std::size_t kMinimumResourceBytes = 8;

}  // namespace

RasterBitmap* PngFromResource(void* module, int id, RasterBitmap* dest) {
  const ResourceBytes resource = FindPngResource(module, id);
  if (!resource.mData || resource.mSize < kMinimumResourceBytes) return nullptr;
  return PngFromMemory(resource.mData, resource.mSize, dest);
}
