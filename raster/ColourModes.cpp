// Row combiner for the modes that change colours by formula: add, dodge, multiply, overlay, HSV adjust, channel copy.
#include "Blit.h"
#include "BlitRows.h"

#include <algorithm>
#include <cmath>

namespace {

int Channel(Pixel p, int channel) { return static_cast<int>((p >> (channel * 8)) & 0xFF); }

Pixel WithChannel(Pixel p, int channel, int value) {
  const int shift = channel * 8;
  return (p & ~(0xFFu << shift)) | (static_cast<Pixel>(value) << shift);
}

int Add(int d, int s) { return std::min(255, d + s); }

// Dividing by the inverted source brightens; black stays black and a white source saturates.
int Dodge(int d, int s) {
  if (d == 0) return 0;
  if (s == 255) return 255;
  return std::min(255, d * 255 / (255 - s));
}

int Multiply(int d, int s) { return (d * s + 127) / 255; }

int Overlay(int d, int s) {
  if (d < 128) return (2 * d * s + 127) / 255;
  return 255 - (2 * (255 - d) * (255 - s) + 127) / 255;
}

// The source's red turns the hue (256 = a full turn), green and blue scale saturation and value (128 = as is).
Pixel HsvAdjust(Pixel d, Pixel s) {
  const float r = static_cast<float>(Channel(d, kChannelR)) / 255.0f;
  const float g = static_cast<float>(Channel(d, kChannelG)) / 255.0f;
  const float b = static_cast<float>(Channel(d, kChannelB)) / 255.0f;
  const float maxC = std::max({r, g, b});
  const float range = maxC - std::min({r, g, b});
  float hue = 0.0f;  // in sixths of a turn
  if (range > 0.0f) {
    if (maxC == r) {
      hue = (g - b) / range;
    } else if (maxC == g) {
      hue = 2.0f + (b - r) / range;
    } else {
      hue = 4.0f + (r - g) / range;
    }
  }
  float saturation = maxC > 0.0f ? range / maxC : 0.0f;
  float value = maxC;

  hue += 6.0f * static_cast<float>(Channel(s, kChannelR)) / 256.0f;
  hue = std::fmod(hue, 6.0f);
  if (hue < 0.0f) hue += 6.0f;
  saturation = std::min(1.0f, saturation * static_cast<float>(Channel(s, kChannelG)) / 128.0f);
  value = std::min(1.0f, value * static_cast<float>(Channel(s, kChannelB)) / 128.0f);

  const float chroma = value * saturation;
  const float second = chroma * (1.0f - std::fabs(std::fmod(hue, 2.0f) - 1.0f));
  float rgb[3] = {0.0f, 0.0f, 0.0f};
  const int sector = std::min(5, static_cast<int>(hue));
  static constexpr int kOrder[6][2] = {{0, 1}, {1, 0}, {1, 2}, {2, 1}, {2, 0}, {0, 2}};
  rgb[kOrder[sector][0]] = chroma;
  rgb[kOrder[sector][1]] = second;
  const float base = value - chroma;
  Pixel out = d & 0xFF000000u;
  out = WithChannel(out, kChannelR, static_cast<int>(std::lround((rgb[0] + base) * 255.0f)));
  out = WithChannel(out, kChannelG, static_cast<int>(std::lround((rgb[1] + base) * 255.0f)));
  out = WithChannel(out, kChannelB, static_cast<int>(std::lround((rgb[2] + base) * 255.0f)));
  return out;
}

// The full-strength result of a colour mode; the destination's alpha is kept.
Pixel FullResult(int low, Pixel d, Pixel s) {
  if (low >= kBlitChannelCopy) {
    const int from = ((low - kBlitChannelCopy) >> 2) & 3;
    const int to = (low - kBlitChannelCopy) & 3;
    return WithChannel(d, to, Channel(s, from));
  }
  if (low == kBlitHsvAdjust) return HsvAdjust(d, s);
  Pixel out = d & 0xFF000000u;
  for (int channel = kChannelB; channel <= kChannelR; ++channel) {
    const int dc = Channel(d, channel), sc = Channel(s, channel);
    int value = dc;
    switch (low) {
      case kBlitAdd: value = Add(dc, sc); break;
      case kBlitDodge: value = Dodge(dc, sc); break;
      case kBlitMultiply: value = Multiply(dc, sc); break;
      case kBlitOverlay: value = Overlay(dc, sc); break;
      default: break;
    }
    out = WithChannel(out, channel, value);
  }
  return out;
}

}  // namespace

void ColourModeRow(Pixel* dest, const Pixel* src, int n, int v, int mode) {
  const int low = mode & kBlitModeMask;
  const bool sourceAlpha = (mode & kBlitSourceAlpha) != 0;
  for (int i = 0; i < n; ++i) {
    const Pixel s = src[i];
    // Strength in 256ths: the weight, times the source's alpha when asked (alpha 255 at weight 1 gives 256).
    const int k = sourceAlpha ? (static_cast<int>(s >> 24) * v + 127) / 255 : v;
    if (k == 0) continue;
    const Pixel d = dest[i];
    const Pixel full = FullResult(low, d, s);
    if (k >= 256) {
      dest[i] = full;
      continue;
    }
    Pixel out = 0;
    for (int channel = kChannelB; channel <= kChannelA; ++channel) {
      const int dc = Channel(d, channel);
      out = WithChannel(out, channel, dc + ((Channel(full, channel) - dc) * k) / 256);
    }
    dest[i] = out;
  }
}
