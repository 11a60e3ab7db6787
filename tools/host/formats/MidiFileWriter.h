// Writes the MidiFile model as a Standard MIDI File.
#pragma once

#include <cstdint>
#include <vector>

#include "MidiFile.h"

namespace cchost {

// Events of each track are written in tick order (stable), with running status for channel
// messages, and an end-of-track event at the later of the last event and the track's endTick.
std::vector<uint8_t> WriteMidiFile(const MidiFile& file);

}  // namespace cchost
