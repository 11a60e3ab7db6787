// Turns what the plug-in sent into a MIDI file with the input's resolution and tempo map.
#pragma once

#include <string>

#include "MidiFile.h"
#include "Renderer.h"
#include "TempoMap.h"

namespace cchost {

// Rounds a frame of the song to the nearest tick; frames before the song start give tick 0.
uint32_t FrameToTick(const TempoMap& map, double sampleRate, int64_t frame);

MidiEvent ToMidiEvent(const ReceivedEvent& received, uint32_t tick);

// Format 1: track 1 holds the input's tempo, time and key signatures, track 2 the plug-in's output.
MidiFile MakeOutputFile(const TempoMap& map, double sampleRate, const RenderResult& result,
                        const std::string& trackName);

}  // namespace cchost
