// Piano-roll layout: pitch rows, beat and bar grid, notes, labels and legend.
#include "PianoRoll.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "TextPainter.h"

namespace cchost {
namespace {
constexpr uint32_t kBackground = 0xFAFAF7;
constexpr uint32_t kBlackKeyRow = 0xEDEDE8;
constexpr uint32_t kBeatLine = 0xE2E2DC;
constexpr uint32_t kBarLine = 0x7A7A74;
constexpr uint32_t kOctaveLine = 0xC4C4BE;
constexpr uint32_t kText = 0x202020;
constexpr uint32_t kInputFill = 0xC8C8C8;
constexpr uint32_t kInputFrame = 0x303030;
constexpr uint32_t kQuietText = 0x6A6A6A;
constexpr int kTitleSize = 18;
constexpr int kLabelSize = 13;
constexpr int kSmallSize = 11;
constexpr double kCapHeight = 0.72;  // of the font size

bool IsBlackKey(int note) {
  const int pc = note % 12;
  return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

uint32_t Darker(uint32_t rgb) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) out |= (((rgb >> shift) & 0xFF) * 6 / 10) << shift;
  return out;
}
}  // namespace

uint32_t ChannelColour(int channel) {
  // The Okabe-Ito colours, which stay apart for the common forms of colour blindness; the yellow, faint on a
  // light ground, comes last. Channels beyond eight repeat them (the legend names each channel).
  static const uint32_t kPalette[8] = {0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7,
                                       0xE69F00, 0x56B4E9, 0x000000, 0xF0E442};
  return kPalette[channel & 7];
}

RgbImage DrawPianoRoll(const PianoRollInput& in, const TempoMap& map) {
  std::unique_ptr<TextPainter> text = MakeTextPainter();
  return DrawPianoRoll(in, map, *text);
}

RgbImage DrawPianoRoll(const PianoRollInput& in, const TempoMap& map, TextPainter& text) {
  const double division = map.Division();
  int low = 127, high = 0;
  for (const auto* notes : {&in.inputNotes, &in.outputNotes})
    for (const NoteSpan& n : *notes) {
      low = std::min(low, n.note);
      high = std::max(high, n.note);
    }
  if (low > high) low = high = 60;
  low = std::max(0, low - 2);
  high = std::min(127, high + 2);
  while (high - low < 24) {  // at least two octaves, so a few notes do not fill the picture
    if (low > 0) --low;
    if (high - low < 24 && high < 127) ++high;
  }
  const double beats = std::max(1.0, std::ceil(in.endTick / division));
  const double ppb = std::clamp(2000.0 / beats, 6.0, 48.0);  // pixels per beat
  const int rowHeight = std::clamp(560 / (high - low + 1), 4, 14);
  const int left = 20 + text.Width("C10", kLabelSize), top = 48, right = 24;
  const int rollWidth = static_cast<int>(std::ceil(beats * ppb));
  const int rollHeight = (high - low + 1) * rowHeight;

  std::vector<int> channels;
  for (const NoteSpan& n : in.outputNotes)
    if (std::find(channels.begin(), channels.end(), n.channel) == channels.end()) channels.push_back(n.channel);
  std::sort(channels.begin(), channels.end());
  const int width = std::max(left + rollWidth + right, 560);
  const int legendTop = top + rollHeight + 50;
  // The legend wraps onto as many lines as the width needs.
  const int entryWidth = 44 + text.Width("Output channel 16", kLabelSize);
  const int perLine = std::max(1, (width - left) / entryWidth);
  const int legendLines = (static_cast<int>(channels.size()) + 1 + perLine - 1) / perLine;
  const int height = legendTop + legendLines * 26 + 10;
  RgbImage image(width, height, kBackground);

  auto xAt = [&](double tick) { return left + static_cast<int>(std::lround(tick / division * ppb)); };
  auto yAt = [&](int note) { return top + (high - note) * rowHeight; };

  for (int note = low; note <= high; ++note) {
    if (IsBlackKey(note)) image.FillRect(left, yAt(note), left + rollWidth, yAt(note) + rowHeight, kBlackKeyRow);
    if (note % 12 == 0) {
      image.FillRect(left, yAt(note) + rowHeight - 1, left + rollWidth, yAt(note) + rowHeight, kOctaveLine);
      // Octave labels on the C rows, centred on the row.
      const std::string name = NoteName(note);
      const int capHeight = static_cast<int>(std::lround(kLabelSize * kCapHeight));
      text.Draw(&image, left - 8 - text.Width(name, kLabelSize), yAt(note) + (rowHeight - capHeight) / 2, name, kText,
                kLabelSize);
    }
  }
  // Beat lines, bar lines and their labels.
  const int labelEvery = ppb >= 24 ? 1 : ppb >= 12 ? 2 : ppb >= 6 ? 4 : 8;
  int lastLabelRight = -1000;
  for (int beat = 0; beat <= static_cast<int>(beats); ++beat) {
    const int x = xAt(beat * division);
    const bool bar = std::fabs(map.BarStartBeats(beat) - beat) < 1e-6;
    // Bar lines two pixels wide and dark, beat lines one pixel and faint.
    if (bar)
      image.FillRect(x, top, x + 2, top + rollHeight, kBarLine);
    else
      image.FillRect(x, top, x + 1, top + rollHeight, kBeatLine);
    const std::string label = std::to_string(beat);
    const int labelWidth = text.Width(label, kSmallSize, bar);
    if ((beat % labelEvery == 0 || bar) && x - labelWidth / 2 > lastLabelRight + 4) {
      text.Draw(&image, x - labelWidth / 2, top + rollHeight + 7, label, bar ? kText : kQuietText, kSmallSize, bar);
      lastLabelRight = x + labelWidth / 2;
    }
  }
  text.Draw(&image, left, top + rollHeight + 26, "Time in beats (quarter notes); bar lines are darker", kQuietText,
            kLabelSize);
  text.Draw(&image, left, 16, in.title, kText, kTitleSize, true);

  auto noteRect = [&](const NoteSpan& n, int inset, int* x0, int* y0, int* x1, int* y1) {
    *x0 = xAt(n.startTick);
    *x1 = std::max(*x0 + 2, xAt(n.endTick));
    *y0 = yAt(n.note) + inset;
    *y1 = yAt(n.note) + rowHeight - inset;
  };
  int x0, y0, x1, y1;
  for (const NoteSpan& n : in.inputNotes) {
    noteRect(n, 0, &x0, &y0, &x1, &y1);
    image.FillRect(x0, y0, x1, y1, kInputFill);
  }
  const int inset = rowHeight >= 8 ? 3 : 1;
  for (const NoteSpan& n : in.outputNotes) {
    noteRect(n, inset, &x0, &y0, &x1, &y1);
    image.BlendRect(x0, y0, x1, y1, ChannelColour(n.channel), 0.85f);
    image.FrameRect(x0, y0, x1, y1, Darker(ChannelColour(n.channel)));
  }
  // Input outlines go on top so that a voice that repeats its trigger still shows the trigger.
  for (const NoteSpan& n : in.inputNotes) {
    noteRect(n, 0, &x0, &y0, &x1, &y1);
    image.FrameRect(x0, y0, x1, y1, kInputFrame);
    image.FrameRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, kInputFrame);
  }
  image.FrameRect(left - 1, top - 1, left + rollWidth + 1, top + rollHeight + 1, kBarLine);

  // Legend: the input, then one entry per output channel.
  int entry = 0;
  auto legendEntry = [&](const std::string& label, uint32_t fill, uint32_t frame) {
    const int lx = left + (entry % perLine) * entryWidth;
    const int ly = legendTop + (entry / perLine) * 26;
    image.FillRect(lx, ly, lx + 28, ly + 14, fill);
    image.FrameRect(lx, ly, lx + 28, ly + 14, frame);
    text.Draw(&image, lx + 36, ly + 7 - static_cast<int>(std::lround(kLabelSize * kCapHeight)) / 2, label, kText,
              kLabelSize);
    ++entry;
  };
  legendEntry("Input notes", kInputFill, kInputFrame);
  image.FrameRect(left + 1, legendTop + 1, left + 27, legendTop + 13, kInputFrame);
  for (int c : channels) legendEntry("Output channel " + std::to_string(c + 1), ChannelColour(c), Darker(ChannelColour(c)));
  return image;
}

}  // namespace cchost
