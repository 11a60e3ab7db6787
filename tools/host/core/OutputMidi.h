// Turns what the plug-in sent into a MIDI file with the input's resolution and tempo map.
#pragma once

#include <string>

#include "MidiFile.h"
#include "MidiFileWriter.h"
#include "NoteCheck.h"
#include "Renderer.h"
#include "TempoMap.h"

namespace cchost {

// Rounds a frame of the song to the nearest tick; frames before the song start give tick 0.
uint32_t FrameToTick(const TempoMap& map, double sampleRate, int64_t frame);

MidiEvent ToMidiEvent(const ReceivedEvents& received, const ReceivedEvent& e, uint32_t tick);

// Writes the output track as the render produces it, pairs its notes and counts its events, so that the
// output never has to be held as a whole. Format 1: track 1 holds the input's tempo, time and key
// signatures, track 2 the plug-in's output.
class OutputTrack : public RenderSink {
 public:
  // keepSpans: every output note's span (for a picture), not only the hanging ones.
  OutputTrack(const TempoMap& map, double sampleRate, const std::string& trackName, bool keepSpans);
  void Take(const ReceivedEvents& received, size_t first) override;

  // After the render: the file, ending where the transport stopped; the notes and counts of the output.
  std::vector<uint8_t> FileBytes(int64_t stopFrame);
  NoteReport Notes() { return mPairer.Finish(); }
  const EventCounts& Counts() const { return mCounts; }
  uint32_t LastTick() const { return mLastTick; }

 private:
  const TempoMap& mMap;
  double mRate;
  TrackWriter mWriter;
  NotePairer mPairer;
  EventCounts mCounts;
  uint32_t mLastTick = 0;
};

// The whole file at once from events kept in a render's result.
std::vector<uint8_t> WriteOutputFile(const TempoMap& map, double sampleRate, const RenderResult& result,
                                     const std::string& trackName);

}  // namespace cchost
