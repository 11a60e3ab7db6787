// Sizes of the MIDI note and channel ranges that the engine's tables are built on.
#pragma once

constexpr int NUM_MIDI_NOTES = 128;
constexpr int NUM_MIDI_CHANNELS = 16;
