// Decodes PNG data in memory into a 32-bit bitmap through libpng.
#pragma once

#include "RasterBitmap.h"

#include <cstddef>

// Decodes a PNG into dest (resized to fit) or, when dest is null, into a new MemoryBitmap that the caller owns.
// Returns the bitmap, or null for data that is not a PNG, a decoding error, or a dest that cannot take the size;
// a bitmap made here is deleted again on failure, and a given dest is never deleted.
RasterBitmap* PngFromMemory(const void* data, std::size_t size, RasterBitmap* dest);
