// Linux lookup of the PNG resources among the images compiled into this binary.
#include "EmbeddedPng.h"
#include "PngResource.h"

ResourceBytes FindPngResource(void*, int id) {
  for (std::size_t i = 0; i < kEmbeddedPngCount; ++i) {
    if (kEmbeddedPngs[i].mId == id) return ResourceBytes{kEmbeddedPngs[i].mData, kEmbeddedPngs[i].mSize};
  }
  return ResourceBytes{};
}
