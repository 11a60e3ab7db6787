// Draws input and output notes on one time axis in beats: a piano-roll picture of a render.
#pragma once

#include <string>
#include <vector>

#include "NoteCheck.h"
#include "PngWriter.h"
#include "TempoMap.h"

namespace cchost {

struct PianoRollInput {
  std::string title;
  std::vector<NoteSpan> inputNotes;   // ticks of the input file
  std::vector<NoteSpan> outputNotes;  // same ticks, coloured by channel
  uint32_t endTick = 0;
};

class TextPainter;

RgbImage DrawPianoRoll(const PianoRollInput& input, const TempoMap& map);  // with the system's text
RgbImage DrawPianoRoll(const PianoRollInput& input, const TempoMap& map, TextPainter& text);
uint32_t ChannelColour(int channel);

}  // namespace cchost
