// Reads Standard MIDI Files (formats 0 and 1) into the MidiFile model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "MidiFile.h"

namespace cchost {

// False with a message in error for anything that is not a well-formed file; out is then untouched.
bool ReadMidiFile(const std::vector<uint8_t>& bytes, MidiFile* out, std::string* error);
bool LoadMidiFile(const std::string& path, MidiFile* out, std::string* error);

}  // namespace cchost
