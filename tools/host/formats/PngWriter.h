// Encodes an RGB image as PNG through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cchost {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // R, G, B per pixel, rows top to bottom

  RgbImage(int w, int h, uint32_t fill);
  void Set(int x, int y, uint32_t rgb);
  void Blend(int x, int y, uint32_t rgb, float alpha);
  void FillRect(int x0, int y0, int x1, int y1, uint32_t rgb);  // x1, y1 exclusive; clipped
  void BlendRect(int x0, int y0, int x1, int y1, uint32_t rgb, float alpha);
  void FrameRect(int x0, int y0, int x1, int y1, uint32_t rgb);
  uint32_t Get(int x, int y) const;
};

bool EncodePng(const RgbImage& image, std::vector<uint8_t>* out, std::string* error);

}  // namespace cchost
