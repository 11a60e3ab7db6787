// PNG decoding from memory through libpng into packed 32-bit pixels.
#include "PngDecoder.h"

#include "MemoryBitmap.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kSignatureBytes = 8;

struct MemoryReader {
  const unsigned char* mData;
  std::size_t mSize;
  std::size_t mPosition;
};

// A read past the end fails the decode at once: a chunk that declares more bytes than the data holds would
// otherwise be fed that many (up to 2 GiB) before libpng noticed anything.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > reader->mSize - reader->mPosition) png_error(png, "read past the end of the data");
  std::memcpy(out, reader->mData + reader->mPosition, length);
  reader->mPosition += length;
}

// A broken image is an ordinary failure for the caller, so libpng reports nothing on its own.
void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void SilentWarning(png_structp, png_const_charp) {}

// Memory bytes A, R, G, B become the packed pixel (A << 24) | (R << 16) | (G << 8) | B.
void PackRow(Pixel* row, int width) {
  auto* bytes = reinterpret_cast<unsigned char*>(row);
  for (int i = 0; i < width; ++i, bytes += 4) {
    row[i] = (static_cast<Pixel>(bytes[0]) << 24) | (static_cast<Pixel>(bytes[1]) << 16) |
             (static_cast<Pixel>(bytes[2]) << 8) | static_cast<Pixel>(bytes[3]);
  }
}

// What the error path must clean up; volatile because libpng's errors arrive by longjmp.
struct DecodeState {
  RasterBitmap* volatile mCreated = nullptr;
  png_bytep* volatile mRows = nullptr;
};

// Reads the header, requests the transforms and reads the rows into dest or a new bitmap; errors longjmp.
RasterBitmap* Decode(png_structp png, png_infop info, DecodeState* state, RasterBitmap* dest) {
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  const bool grey = colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
  // Whether the expanded rows carry alpha decides between a leading filler and moving the alpha first,
  // so that every colour type ends up as bytes A, R, G, B.
  const bool alphaOut = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || hasTransparency;

  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTransparency) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (!alphaOut) png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  if (grey) png_set_gray_to_rgb(png);
  if (alphaOut) png_set_swap_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  // libpng writes whole rows into the bitmap: anything but 4 bytes per pixel would overrun them.
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4 || width > 0x7FFFFFFF ||
      height > 0x7FFFFFFF) {
    png_error(png, "unexpected row layout");
  }
  const int w = static_cast<int>(width), h = static_cast<int>(height);

  RasterBitmap* target = dest;
  if (target) {
    target->Resize(w, h);
  } else {
    target = new (std::nothrow) MemoryBitmap(w, h, 4);
    state->mCreated = target;
  }
  if (!target || target->Width() != w || target->Height() != h || !target->Bits()) {
    png_error(png, "no room for the image");
  }

  png_bytep* rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * static_cast<std::size_t>(h)));
  state->mRows = rows;
  if (!rows) png_error(png, "out of memory");
  for (int y = 0; y < h; ++y) rows[y] = reinterpret_cast<png_bytep>(RowAddress(*target, y));
  png_read_image(png, rows);

  for (int y = 0; y < h; ++y) PackRow(RowAddress(*target, y), w);
  return target;
}

}  // namespace

RasterBitmap* PngFromMemory(const void* data, std::size_t size, RasterBitmap* dest) {
  if (!data || size < kSignatureBytes || png_sig_cmp(static_cast<png_const_bytep>(data), 0, kSignatureBytes) != 0) {
    return nullptr;
  }

  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }

  MemoryReader reader{static_cast<const unsigned char*>(data), size, 0};
  png_set_read_fn(png, &reader, ReadFromMemory);
  DecodeState state;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(state.mRows);
    delete state.mCreated;
    return nullptr;
  }
  RasterBitmap* bitmap = Decode(png, info, &state, dest);
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(state.mRows);
  return bitmap;
}
