// RGB image helpers and the libpng encoder.
#include "PngWriter.h"

#include <algorithm>
#include <csetjmp>

#include <png.h>

namespace cchost {

RgbImage::RgbImage(int w, int h, uint32_t fill) : width(std::max(w, 1)), height(std::max(h, 1)) {
  pixels.resize(size_t(width) * size_t(height) * 3);
  FillRect(0, 0, width, height, fill);
}

void RgbImage::Set(int x, int y, uint32_t rgb) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
  p[0] = static_cast<uint8_t>(rgb >> 16);
  p[1] = static_cast<uint8_t>(rgb >> 8);
  p[2] = static_cast<uint8_t>(rgb);
}

uint32_t RgbImage::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
  return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

void RgbImage::Blend(int x, int y, uint32_t rgb, float alpha) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
  for (int c = 0; c < 3; ++c) {
    const float src = float((rgb >> (16 - 8 * c)) & 0xFF);
    p[c] = static_cast<uint8_t>(p[c] + (src - p[c]) * alpha + 0.5f);
  }
}

void RgbImage::FillRect(int x0, int y0, int x1, int y1, uint32_t rgb) {
  for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) Set(x, y, rgb);
}

void RgbImage::BlendRect(int x0, int y0, int x1, int y1, uint32_t rgb, float alpha) {
  for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) Blend(x, y, rgb, alpha);
}

void RgbImage::FrameRect(int x0, int y0, int x1, int y1, uint32_t rgb) {
  FillRect(x0, y0, x1, y0 + 1, rgb);
  FillRect(x0, y1 - 1, x1, y1, rgb);
  FillRect(x0, y0, x0 + 1, y1, rgb);
  FillRect(x1 - 1, y0, x1, y1, rgb);
}

namespace {
void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void Flush(png_structp) {}
}  // namespace

bool EncodePng(const RgbImage& image, std::vector<uint8_t>* out, std::string* error) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    *error = "libpng could not start";
    return false;
  }
  std::vector<uint8_t> bytes;
  std::vector<png_bytep> rows(size_t(image.height));
  for (int y = 0; y < image.height; ++y)
    rows[size_t(y)] = const_cast<png_bytep>(&image.pixels[size_t(y) * size_t(image.width) * 3]);
  // libpng reports errors by longjmp; nothing with a destructor is created after this point.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    *error = "libpng failed to encode the picture";
    return false;
  }
  png_set_write_fn(png, &bytes, WriteToVector, Flush);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  *out = std::move(bytes);
  return true;
}

}  // namespace cchost
