// WAV and PNG output: headers that players read, sample encoding, and a piano roll that shows notes.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <cstring>

#include "PianoRoll.h"
#include "TextPainter.h"
#include "WavWriter.h"

using namespace cchost;

namespace {
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
}  // namespace

TEST(WavWriter, PcmSamplesAreScaledRoundedAndLimited) {
  WavStats stats;
  const std::vector<uint8_t> b = EncodeWav({0.0f, 0.5f, -1.0f, 2.0f, -3.0f, 1.0f}, 2, 44100, WavFormat::kPcm16, &stats);
  ASSERT_EQ(b.size(), 44u + 12u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(b, 4), b.size() - 8);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le16(b, 20), 1);  // PCM
  EXPECT_EQ(Le16(b, 22), 2);
  EXPECT_EQ(Le32(b, 24), 44100u);
  EXPECT_EQ(Le32(b, 28), 44100u * 4);
  EXPECT_EQ(Le16(b, 34), 16);
  EXPECT_EQ(Le32(b, 40), 12u);
  EXPECT_EQ(int16_t(Le16(b, 46)), 16384);
  EXPECT_EQ(int16_t(Le16(b, 48)), -32767);
  EXPECT_EQ(int16_t(Le16(b, 50)), 32767);
  EXPECT_EQ(int16_t(Le16(b, 52)), -32767);
  EXPECT_EQ(stats.clipped, 2);
  EXPECT_FLOAT_EQ(stats.peak, 3.0f);
}

TEST(WavWriter, FloatFilesCarryTheFactChunk) {
  const std::vector<uint8_t> b = EncodeWav({0.25f, -0.25f, 0.5f}, 1, 48000, WavFormat::kFloat32);
  EXPECT_EQ(Le16(b, 20), 3);  // IEEE float
  EXPECT_EQ(Le16(b, 34), 32);
  EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 42), "fact");
  EXPECT_EQ(Le32(b, 46), 3u);
  EXPECT_EQ(std::string(b.begin() + 50, b.begin() + 54), "data");
  EXPECT_EQ(Le32(b, 54), 12u);
  float second;
  std::memcpy(&second, &b[62], 4);
  EXPECT_FLOAT_EQ(second, -0.25f);
}

TEST(PianoRoll, OutputNotesAppearInTheirChannelColourAndThePngDecodes) {
  MidiFile file;
  file.division = 480;
  const TempoMap map(file);
  PianoRollInput in;
  in.title = "test";
  NoteSpan input;
  input.note = 60;
  input.startTick = 0;
  input.endTick = 960;
  NoteSpan output = input;
  output.note = 67;
  output.channel = 2;
  in.inputNotes = {input};
  in.outputNotes = {output};
  in.endTick = 1920;
  const RgbImage image = DrawPianoRoll(in, map);
  // Pixels close to the channel's colour: the legend swatch (28 x 14) plus the two-beat note.
  auto near = [](uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8) d += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
    return d < 100;
  };
  int coloured = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (near(image.Get(x, y), ChannelColour(2))) ++coloured;
  EXPECT_GT(coloured, 28 * 14 + 400);

  std::vector<uint8_t> png;
  std::string error;
  ASSERT_TRUE(EncodePng(image, &png, &error)) << error;
  png_image decoded = {};
  decoded.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&decoded, png.data(), png.size()));
  EXPECT_EQ(int(decoded.width), image.width);
  EXPECT_EQ(int(decoded.height), image.height);
  png_image_free(&decoded);
}

TEST(PianoRoll, LabelsAreAntialiasedTextAndBarLinesStandOutFromBeats) {
  MidiFile file;
  file.division = 480;
  const TempoMap map(file);
  PianoRollInput in;
  in.title = "Mixed Case title";
  NoteSpan note;
  note.note = 60;
  note.endTick = 480;
  in.inputNotes = {note};
  in.endTick = 8 * 480;
  const RgbImage image = DrawPianoRoll(in, map);
  auto grey = [](uint32_t rgb) { return int(rgb & 0xFF); };
  // Title band and the octave-label column: ink, and shades between ink and paper where edges are smoothed.
  struct Area {
    const char* what;
    int x0, y0, x1, y1;
  };
  const Area areas[] = {{"title", 0, 0, image.width, 40}, {"octave labels", 0, 48, 40, image.height - 80}};
  for (const Area& a : areas) {
    if (!BuildHasFontRendering()) break;  // the bitmap font has no smoothed edges
    int ink = 0, shades = 0;
    for (int y = a.y0; y < a.y1; ++y)
      for (int x = a.x0; x < a.x1; ++x) {
        const int g = grey(image.Get(x, y));
        ink += g < 80;
        shades += g >= 80 && g < 200;
      }
    EXPECT_GT(ink, 20) << a.what;
    EXPECT_GT(shades, 10) << a.what << ": antialiased edges";
  }
  // Bar 2 starts at beat 4, beat 5 is a plain beat: one column of the bar line is darker than the beat's.
  int barX = -1, beatX = -1;
  const int y = 60;
  for (int x = 0; x < image.width; ++x) {
    const int g = grey(image.Get(x, y));
    if (g < 200 && barX < 0 && x > 100) barX = x;
  }
  ASSERT_GT(barX, 0);
  for (int x = barX + 3; x < image.width && beatX < 0; ++x)
    if (grey(image.Get(x, y)) < grey(image.Get(x - 1, y)) - 4) beatX = x;
  ASSERT_GT(beatX, 0);
  EXPECT_LT(grey(image.Get(barX, y)) + 40, grey(image.Get(beatX, y))) << "bar line much darker than beat line";
}
