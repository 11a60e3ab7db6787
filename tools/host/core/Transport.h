// The transport a plug-in sees: position, tempo, bar and time signature for a frame of the song.
#pragma once

#include <cstdint>

#include "TempoMap.h"
#include "VstAbi.h"

namespace cchost {

class Transport {
 public:
  // samplePos counts from where the transport started, prerollFrames before the song's frame 0.
  Transport(const TempoMap& map, double sampleRate, int64_t prerollFrames)
      : mMap(map), mRate(sampleRate), mPreroll(prerollFrames) {}

  // Time information for a block that starts at songFrame and lasts frames (tempo and time
  // signature are those inside the block, which never straddles a change).
  void Fill(int64_t songFrame, int frames, bool playing, bool changed, VstTimeInfo* info) const;
  // The same with the tempo and time signature in force at the given map ticks.
  void Fill(int64_t songFrame, double tempoTick, double signatureTick, bool playing, bool changed,
            VstTimeInfo* info) const;

  int64_t FrameAtTick(double tick) const;
  double TickAtFrame(int64_t songFrame) const;
  double BeatsAtFrame(int64_t songFrame) const { return TickAtFrame(songFrame) / mMap.Division(); }
  int64_t FrameAtBeats(double beats) const { return FrameAtTick(beats * mMap.Division()); }
  double SampleRate() const { return mRate; }
  int64_t Preroll() const { return mPreroll; }

 private:
  const TempoMap& mMap;
  double mRate;
  int64_t mPreroll;
};

}  // namespace cchost
