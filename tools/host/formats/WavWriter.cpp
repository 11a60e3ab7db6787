// RIFF/WAVE encoding.
#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cchost {
namespace {
void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>* out, const char* tag) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(tag[i]));
}
}  // namespace

std::vector<uint8_t> EncodeWav(const std::vector<float>& interleaved, int channels, int sampleRate, WavFormat format,
                               WavStats* stats) {
  const bool pcm = format == WavFormat::kPcm16;
  const uint32_t bytesPerSample = pcm ? 2 : 4;
  const uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * bytesPerSample);
  const uint32_t frames = channels > 0 ? static_cast<uint32_t>(interleaved.size() / size_t(channels)) : 0;
  std::vector<uint8_t> out;
  out.reserve(64 + dataBytes);
  PutTag(&out, "RIFF");
  Put32(&out, 0);  // filled in at the end
  PutTag(&out, "WAVE");
  PutTag(&out, "fmt ");
  Put32(&out, pcm ? 16 : 18);
  Put16(&out, pcm ? 1 : 3);  // PCM, or IEEE float
  Put16(&out, static_cast<uint32_t>(channels));
  Put32(&out, static_cast<uint32_t>(sampleRate));
  Put32(&out, static_cast<uint32_t>(sampleRate) * uint32_t(channels) * bytesPerSample);
  Put16(&out, uint32_t(channels) * bytesPerSample);
  Put16(&out, bytesPerSample * 8);
  if (!pcm) {
    Put16(&out, 0);  // no extension
    PutTag(&out, "fact");
    Put32(&out, 4);
    Put32(&out, frames);
  }
  PutTag(&out, "data");
  Put32(&out, dataBytes);
  WavStats s;
  for (float x : interleaved) {
    const float v = std::isfinite(x) ? x : 0.0f;
    s.peak = std::max(s.peak, std::fabs(v));
    if (std::fabs(v) > 1.0f) ++s.clipped;
    if (pcm) {
      const long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
      Put16(&out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(q))));
    } else {
      uint32_t bits;
      std::memcpy(&bits, &v, sizeof(bits));
      Put32(&out, bits);
    }
  }
  if (dataBytes & 1) out.push_back(0);
  const uint32_t riffSize = static_cast<uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[size_t(4 + i)] = static_cast<uint8_t>(riffSize >> (8 * i));
  if (stats) *stats = s;
  return out;
}

}  // namespace cchost
