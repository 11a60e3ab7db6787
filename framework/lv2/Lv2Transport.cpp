#include "Lv2Transport.h"

#include <cmath>

namespace {
bool Finite(double v) { return std::isfinite(v); }
}  // namespace

void Lv2Transport::Apply(const Lv2Position& p) {
  if (p.mHasFrame) mFrame = static_cast<double>(p.mFrame);
  if (p.mHasSpeed && Finite(p.mSpeed)) mSpeed = p.mSpeed;
  if (p.mHasTempo && Finite(p.mTempo)) mTempo = p.mTempo;
  if (p.mHasBeatsPerBar && Finite(p.mBeatsPerBar)) mBeatsPerBar = p.mBeatsPerBar;
  if (p.mHasBeatUnit) mBeatUnit = p.mBeatUnit;
  // The song position: the beat itself, or else the bar and the beat inside it.
  bool beatGiven = false;
  if (p.mHasBeat && Finite(p.mBeat)) {
    beatGiven = true;
    mBeat = p.mBeat;
  } else if (p.mHasBar && p.mHasBarBeat && Finite(p.mBarBeat) && mBeatsPerBar > 0.0) {
    beatGiven = true;
    mBeat = static_cast<double>(p.mBar) * mBeatsPerBar + p.mBarBeat;
  }
  mHasBeat = mHasBeat || beatGiven;
  // A bar start from an earlier object's beat would be stale.
  if (beatGiven && p.mHasBarBeat && Finite(p.mBarBeat)) {
    mHasBar = true;
    mBarStartBeat = mBeat - p.mBarBeat;
  } else if (p.mHasBar && mBeatsPerBar > 0.0) {
    mHasBar = true;
    mBarStartBeat = static_cast<double>(p.mBar) * mBeatsPerBar;
  }
}

void Lv2Transport::Advance(int64_t frames, double sampleRate) {
  if (mSpeed == 0.0 || frames <= 0) return;
  const double moved = mSpeed * static_cast<double>(frames);
  mFrame += moved;
  if (!mHasBeat || !(mTempo > 0.0) || !(sampleRate > 0.0)) return;
  mBeat += moved * mTempo / (60.0 * sampleRate);
  // The bar start follows whole bars, as a host would report it at the next cycle.
  if (mHasBar && mBeatsPerBar > 0.0) {
    while (mBeat - mBarStartBeat >= mBeatsPerBar) mBarStartBeat += mBeatsPerBar;
    while (mBeat < mBarStartBeat) mBarStartBeat -= mBeatsPerBar;
  }
}

double Lv2Transport::QuarterNotes(double beats) const {
  // Hosts of the other format count positions in quarter notes; an LV2 beat is a beat unit.
  return mBeatUnit > 0 ? beats * 4.0 / mBeatUnit : beats;
}

void Lv2Transport::Fill(TransportInfo* info) const {
  *info = TransportInfo();
  info->mSamplePos = mFrame;
  if (mTempo > 0.0) info->mTempo = mTempo;
  if (mHasBeat && mBeat >= 0.0) info->mPpqPos = QuarterNotes(mBeat);
  if (mHasBar && mBarStartBeat >= 0.0) info->mLastBarPos = QuarterNotes(mBarStartBeat);
  // Time signatures are whole numbers of beats over a power of two, as hosts of the other format give them.
  if (mBeatsPerBar >= 1.0 && mBeatUnit > 0 && mBeatsPerBar < 2147483647.0) {
    info->mNumerator = static_cast<int>(mBeatsPerBar);
    info->mDenominator = mBeatUnit;
  }
  info->mPlaying = Playing();
}
