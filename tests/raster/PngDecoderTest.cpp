// PNG decoding: byte order of RGB and RGBA, the other colour types, destinations, and every kind of bad input.
#include "MemoryBitmap.h"
#include "PngDecoder.h"
#include "PngEncoder.h"
#include "SystemBitmap.h"

#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Pixel Argb(int a, int r, int g, int b) {
  return (static_cast<Pixel>(a) << 24) | (static_cast<Pixel>(r) << 16) | (static_cast<Pixel>(g) << 8) |
         static_cast<Pixel>(b);
}

PngDescription Image(int w, int h, int colorType, int bitDepth, Bytes samples) {
  PngDescription d;
  d.mWidth = w;
  d.mHeight = h;
  d.mColorType = colorType;
  d.mBitDepth = bitDepth;
  d.mSamples = std::move(samples);
  return d;
}

// Decodes into a new bitmap and returns its pixels row by row, or nothing when decoding failed.
std::vector<Pixel> Decode(const Bytes& png) {
  std::unique_ptr<RasterBitmap> bitmap(PngFromMemory(png.data(), png.size(), nullptr));
  std::vector<Pixel> pixels;
  if (!bitmap) return pixels;
  for (int y = 0; y < bitmap->Height(); ++y) {
    for (int x = 0; x < bitmap->Width(); ++x) pixels.push_back(RowAddress(*bitmap, y)[x]);
  }
  return pixels;
}

Bytes Rgb2x2() { return EncodePng(Image(2, 2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 250, 251, 252})); }

// A 64 x 64 RGBA image of noise: large enough that its compressed data spans many read requests.
Bytes NoisyRgba() {
  Bytes samples(64 * 64 * 4);
  unsigned state = 12345;
  for (auto& sample : samples) {
    state = state * 1103515245u + 12345u;
    sample = static_cast<unsigned char>(state >> 16);
  }
  return EncodePng(Image(64, 64, PNG_COLOR_TYPE_RGB_ALPHA, 8, samples));
}

// A destination that cannot change its size.
class FixedBitmap final : public RasterBitmap {
 public:
  Pixel* Bits() override { return mPixels; }
  int Width() const override { return 1; }
  int Height() const override { return 1; }
  int RowSpan() const override { return 1; }
  bool IsFlipped() const override { return false; }
  bool Resize(int, int) override { return false; }
  void* DeviceContext() override { return nullptr; }
  Pixel mPixels[1] = {0x12345678u};
};

}  // namespace

TEST(PngDecoder, RgbGetsOpaqueAlpha) {
  EXPECT_EQ(Decode(Rgb2x2()),
            (std::vector<Pixel>{Argb(255, 1, 2, 3), Argb(255, 4, 5, 6), Argb(255, 7, 8, 9), Argb(255, 250, 251, 252)}));
}

TEST(PngDecoder, RgbaKeepsItsAlphaInPackedOrder) {
  const Bytes png = EncodePng(Image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 40}));
  std::unique_ptr<RasterBitmap> bitmap(PngFromMemory(png.data(), png.size(), nullptr));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(*bitmap->Bits(), Argb(40, 10, 20, 30));
  unsigned char bytes[4];
  std::memcpy(bytes, bitmap->Bits(), 4);
  EXPECT_EQ(bytes[0], 30);
  EXPECT_EQ(bytes[1], 20);
  EXPECT_EQ(bytes[2], 10);
  EXPECT_EQ(bytes[3], 40);
}

TEST(PngDecoder, NewBitmapsHaveFourPixelRows) {
  const Bytes png = EncodePng(Image(5, 1, PNG_COLOR_TYPE_RGB, 8, Bytes(15, 9)));
  std::unique_ptr<RasterBitmap> bitmap(PngFromMemory(png.data(), png.size(), nullptr));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 5);
  EXPECT_EQ(bitmap->RowSpan(), 8);
}

TEST(PngDecoder, OtherColourTypesComeOutPacked) {
  // Grey, grey with alpha and 16-bit samples.
  EXPECT_EQ(Decode(EncodePng(Image(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 200}))),
            (std::vector<Pixel>{Argb(255, 0, 0, 0), Argb(255, 200, 200, 200)}));
  EXPECT_EQ(Decode(EncodePng(Image(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {90, 33}))),
            (std::vector<Pixel>{Argb(33, 90, 90, 90)}));
  EXPECT_EQ(Decode(EncodePng(Image(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {1, 0, 2, 0, 3, 0, 4, 0}))),
            (std::vector<Pixel>{Argb(4, 1, 2, 3)}));
  // One-bit grey expands to 0 and 255.
  EXPECT_EQ(Decode(EncodePng(Image(3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}))),
            (std::vector<Pixel>{Argb(255, 255, 255, 255), Argb(255, 0, 0, 0), Argb(255, 255, 255, 255)}));

  // Palette, with and without transparency.
  PngDescription palette = Image(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2});
  palette.mPalette = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  EXPECT_EQ(Decode(EncodePng(palette)),
            (std::vector<Pixel>{Argb(255, 10, 20, 30), Argb(255, 40, 50, 60), Argb(255, 70, 80, 90)}));
  palette.mTransparency = {0, 128};
  EXPECT_EQ(Decode(EncodePng(palette)),
            (std::vector<Pixel>{Argb(0, 10, 20, 30), Argb(128, 40, 50, 60), Argb(255, 70, 80, 90)}));

  // RGB with one transparent colour.
  PngDescription keyed = Image(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6});
  keyed.mTransparency = {0, 4, 0, 5, 0, 6};
  EXPECT_EQ(Decode(EncodePng(keyed)), (std::vector<Pixel>{Argb(255, 1, 2, 3), Argb(0, 4, 5, 6)}));
}

TEST(PngDecoder, InterlacedImagesDecodeLikePlainOnes) {
  Bytes samples;
  for (int i = 0; i < 9 * 9; ++i) {
    samples.insert(samples.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(2 * i), 7, 200});
  }
  PngDescription description = Image(9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, samples);
  const std::vector<Pixel> plain = Decode(EncodePng(description));
  description.mInterlaced = true;
  ASSERT_EQ(plain.size(), 81u);
  EXPECT_EQ(Decode(EncodePng(description)), plain);
  EXPECT_EQ(plain[80], Argb(200, 80, 160, 7));
}

TEST(PngDecoder, DecodesIntoAGivenBitmapResizingIt) {
  const Bytes png = Rgb2x2();
  MemoryBitmap memory(1, 1, 4);
  EXPECT_EQ(PngFromMemory(png.data(), png.size(), &memory), &memory);
  EXPECT_EQ(memory.Width(), 2);
  EXPECT_EQ(RowAddress(memory, 1)[1], Argb(255, 250, 251, 252));

  // A larger draw surface keeps its wide rows; the image lands row by row.
  SystemBitmap surface(410, 680);
  EXPECT_EQ(PngFromMemory(png.data(), png.size(), &surface), &surface);
  EXPECT_EQ(surface.Width(), 2);
  EXPECT_EQ(surface.RowSpan(), 412);
  EXPECT_EQ(RowAddress(surface, 1)[0], Argb(255, 7, 8, 9));
}

TEST(PngDecoder, RefusesADestinationThatCannotTakeTheSize) {
  const Bytes png = Rgb2x2();
  FixedBitmap fixed;
  EXPECT_EQ(PngFromMemory(png.data(), png.size(), &fixed), nullptr);
  EXPECT_EQ(fixed.mPixels[0], 0x12345678u);
}

TEST(PngDecoder, RejectsDataThatIsNotAPng) {
  const Bytes png = Rgb2x2();
  EXPECT_EQ(PngFromMemory(nullptr, 100, nullptr), nullptr);
  EXPECT_EQ(PngFromMemory(png.data(), 0, nullptr), nullptr);
  EXPECT_EQ(PngFromMemory(png.data(), 7, nullptr), nullptr);
  // The signature alone holds no image.
  EXPECT_EQ(PngFromMemory(png.data(), 8, nullptr), nullptr);
  Bytes wrong = png;
  wrong[1] = 'Q';
  EXPECT_EQ(PngFromMemory(wrong.data(), wrong.size(), nullptr), nullptr);
}

TEST(PngDecoder, FailsCleanlyOnTruncatedOrCorruptData) {
  const Bytes png = NoisyRgba();
  ASSERT_FALSE(Decode(png).empty());
  // Cut inside the header, inside the image data and just before the end chunk; the sanitizer build
  // checks that the bitmap made before the failure is released.
  for (std::size_t keep : {std::size_t{20}, std::size_t{40}, png.size() / 2, png.size() - 20}) {
    EXPECT_TRUE(Decode(Bytes(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(keep))).empty()) << keep;
  }
  // A chunk after the header that declares 0x7FFFFFFF bytes with none of them present: the read past the end
  // fails the decode (it used to be fed zeros up to the declared length, about 2 GiB).
  for (const char* type : {"IDAT", "tEXt", "zzZz"}) {
    Bytes cut(png.begin(), png.begin() + 33);
    const unsigned char length[4] = {0x7F, 0xFF, 0xFF, 0xFF};
    cut.insert(cut.end(), length, length + 4);
    cut.insert(cut.end(), type, type + 4);
    EXPECT_TRUE(Decode(cut).empty()) << type;
  }
  // A flipped byte inside the image data breaks its checksum.
  Bytes corrupt = png;
  corrupt[png.size() / 2] ^= 0x55;
  EXPECT_TRUE(Decode(corrupt).empty());
}

TEST(PngDecoder, FailsCleanlyWhenTheBitmapCannotBeMade) {
  // A valid header claiming 1000000 x 1000000 pixels (libpng's own limit), about 4 TB of bitmap.
  Bytes huge = Rgb2x2();
  const unsigned char million[4] = {0x00, 0x0F, 0x42, 0x40};
  std::memcpy(&huge[16], million, 4);
  std::memcpy(&huge[20], million, 4);
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), &huge[12], 17);
  for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  EXPECT_TRUE(Decode(huge).empty());
}
