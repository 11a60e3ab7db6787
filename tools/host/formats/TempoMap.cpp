// Tempo map arithmetic.
#include "TempoMap.h"

#include <algorithm>
#include <cmath>

namespace cchost {

TempoMap::TempoMap(const MidiFile& file, double constantBpm) : mDivision(file.division) {
  const double div = mDivision;
  auto addTempo = [this, div](double tick, double usPerQuarter) {
    const double spt = usPerQuarter / 1e6 / div;
    if (!mTempo.empty() && mTempo.back().tick == tick) {
      mTempo.back().secondsPerTick = spt;  // the last of several at one tick wins
      return;
    }
    double seconds = 0.0;
    if (!mTempo.empty()) {
      const TempoSegment& last = mTempo.back();
      seconds = last.seconds + (tick - last.tick) * last.secondsPerTick;
    }
    mTempo.push_back({tick, seconds, spt});
  };
  const bool constant = constantBpm > 0.0;
  addTempo(0, 60e6 / (constant ? constantBpm : 120.0));
  mSignatures.push_back({0, TimeSignature()});
  for (const MidiEvent& e : file.Merged()) {
    if (e.IsTempo()) {
      if (constant) continue;
      const uint32_t us = MicrosecondsPerQuarter(e);
      if (us == 0) continue;  // a zero tempo would stop time
      addTempo(e.tick, us);
      mConductor.push_back(e);
    } else if (e.IsTimeSignature()) {
      TimeSignature sig;
      sig.numerator = std::max<int>(1, e.bytes[0]);
      sig.denominator = 1 << std::min<int>(e.bytes[1], 6);
      if (mSignatures.back().tick == e.tick)
        mSignatures.back().signature = sig;
      else
        mSignatures.push_back({double(e.tick), sig});
      mConductor.push_back(e);
    } else if (e.kind == MidiEventKind::kMeta && e.metaType == 0x59) {
      mConductor.push_back(e);
    }
  }
  if (constant) mConductor.insert(mConductor.begin(), TempoEvent(0, constantBpm));
}

const TempoMap::TempoSegment& TempoMap::SegmentAtTick(double tick) const {
  auto it = std::upper_bound(mTempo.begin(), mTempo.end(), tick,
                             [](double t, const TempoSegment& s) { return t < s.tick; });
  return it == mTempo.begin() ? mTempo.front() : *(it - 1);
}

const TempoMap::TempoSegment& TempoMap::SegmentAtSeconds(double seconds) const {
  auto it = std::upper_bound(mTempo.begin(), mTempo.end(), seconds,
                             [](double s, const TempoSegment& seg) { return s < seg.seconds; });
  return it == mTempo.begin() ? mTempo.front() : *(it - 1);
}

double TempoMap::TickToSeconds(double tick) const {
  const TempoSegment& s = SegmentAtTick(tick);
  return s.seconds + (tick - s.tick) * s.secondsPerTick;
}

double TempoMap::SecondsToTick(double seconds) const {
  const TempoSegment& s = SegmentAtSeconds(seconds);
  return s.tick + (seconds - s.seconds) / s.secondsPerTick;
}

double TempoMap::BpmAtTick(double tick) const { return 60.0 / (SegmentAtTick(tick).secondsPerTick * mDivision); }

TempoMap::TimeSignature TempoMap::TimeSignatureAtTick(double tick) const {
  auto it = std::upper_bound(mSignatures.begin(), mSignatures.end(), tick,
                             [](double t, const SignatureSegment& s) { return t < s.tick; });
  return (it == mSignatures.begin() ? mSignatures.front() : *(it - 1)).signature;
}

double TempoMap::BarStartBeats(double beats) const {
  const double tick = beats * mDivision;
  auto it = std::upper_bound(mSignatures.begin(), mSignatures.end(), tick,
                             [](double t, const SignatureSegment& s) { return t < s.tick; });
  const SignatureSegment& seg = it == mSignatures.begin() ? mSignatures.front() : *(it - 1);
  const double start = seg.tick / mDivision;
  const double barLength = seg.signature.numerator * 4.0 / seg.signature.denominator;
  return start + std::floor((beats - start) / barLength + 1e-9) * barLength;
}

std::vector<uint32_t> TempoMap::ChangeTicks() const {
  std::vector<uint32_t> ticks;
  for (const TempoSegment& s : mTempo) ticks.push_back(static_cast<uint32_t>(s.tick));
  for (const SignatureSegment& s : mSignatures) ticks.push_back(static_cast<uint32_t>(s.tick));
  std::sort(ticks.begin(), ticks.end());
  ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
  return ticks;
}

}  // namespace cchost
