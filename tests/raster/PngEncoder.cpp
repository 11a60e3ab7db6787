// A minimal libpng writer for test images.
#include "PngEncoder.h"

#include <png.h>

#include <cstdlib>

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

}  // namespace

std::vector<unsigned char> EncodePng(const PngDescription& d) {
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (!png || !info || setjmp(png_jmpbuf(png))) std::abort();  // test images are always valid
  png_set_write_fn(png, &out, Append, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(d.mWidth), static_cast<png_uint_32>(d.mHeight), d.mBitDepth,
               d.mColorType, d.mInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < d.mPalette.size(); i += 3) {
    palette.push_back(png_color{d.mPalette[i], d.mPalette[i + 1], d.mPalette[i + 2]});
  }
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!d.mTransparency.empty()) {
    if (d.mColorType == PNG_COLOR_TYPE_PALETTE) {
      png_set_tRNS(png, info, d.mTransparency.data(), static_cast<int>(d.mTransparency.size()), nullptr);
    } else {
      const auto sample = [&](std::size_t i) {
        return static_cast<png_uint_16>((d.mTransparency[2 * i] << 8) | d.mTransparency[2 * i + 1]);
      };
      png_color_16 colour{};
      if (d.mColorType == PNG_COLOR_TYPE_GRAY) {
        colour.gray = sample(0);
      } else {
        colour.red = sample(0);
        colour.green = sample(1);
        colour.blue = sample(2);
      }
      png_set_tRNS(png, info, nullptr, 0, &colour);
    }
  }
  png_write_info(png, info);

  const std::size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<unsigned char> samples = d.mSamples;
  if (samples.size() != rowBytes * static_cast<std::size_t>(d.mHeight)) std::abort();
  std::vector<png_bytep> rows;
  for (int y = 0; y < d.mHeight; ++y) rows.push_back(samples.data() + rowBytes * static_cast<std::size_t>(y));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}
