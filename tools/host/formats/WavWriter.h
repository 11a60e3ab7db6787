// Encodes interleaved float audio as a WAV file, 16-bit PCM or 32-bit float.
#pragma once

#include <cstdint>
#include <vector>

namespace cchost {

enum class WavFormat { kPcm16, kFloat32 };

struct WavStats {
  float peak = 0.0f;
  int64_t clipped = 0;  // samples beyond full scale, limited in 16-bit files
};

std::vector<uint8_t> EncodeWav(const std::vector<float>& interleaved, int channels, int sampleRate, WavFormat format,
                               WavStats* stats = nullptr);

}  // namespace cchost
