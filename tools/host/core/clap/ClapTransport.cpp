#include "ClapTransport.h"

#include <cmath>

namespace cchost {
namespace {
int64_t FixedPoint(double value) { return std::llround(value * double(CLAP_BEATTIME_FACTOR)); }
}  // namespace

clap_event_transport_t ClapTransportFrom(const VstTimeInfo& time) {
  clap_event_transport_t t = {};
  t.header.size = sizeof(t);
  t.header.type = CLAP_EVENT_TRANSPORT;
  t.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
  t.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE | CLAP_TRANSPORT_HAS_SECONDS_TIMELINE |
            CLAP_TRANSPORT_HAS_TIME_SIGNATURE;
  if (time.flags & kVstTransportPlaying) t.flags |= CLAP_TRANSPORT_IS_PLAYING;
  t.song_pos_beats = FixedPoint(time.ppqPos);
  // Seconds from where the transport started, as samplePos counts: samplePos comes back as seconds x rate.
  t.song_pos_seconds = time.sampleRate > 0 ? FixedPoint(time.samplePos / time.sampleRate) : 0;
  t.tempo = time.tempo;
  t.bar_start = FixedPoint(time.barStartPos);
  const int numerator = time.timeSigNumerator > 0 ? time.timeSigNumerator : 4;
  const int denominator = time.timeSigDenominator > 0 ? time.timeSigDenominator : 4;
  t.tsig_num = uint16_t(numerator);
  t.tsig_denom = uint16_t(denominator);
  // VST has no bar number; counted in the current signature's bars, exact while the signature stays the same.
  const double beatsPerBar = numerator * 4.0 / denominator;
  const double bar = std::floor(time.barStartPos / beatsPerBar + 1e-9);
  t.bar_number = std::isfinite(bar) && std::fabs(bar) < 2e9 ? int32_t(bar) : 0;
  return t;
}

}  // namespace cchost
