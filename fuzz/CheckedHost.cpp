#include "CheckedHost.h"

#include "PluginFactory.h"

CheckedHost::CheckedHost() : TestHost(Mode::kCounting) {
  mProductString = "Fuzz Host";
  mVendorVersion = 1000;
  mOnEvent = [this](const VstEvent& event) { Check(event); };
  if (!Load(CreatePluginInstance)) FuzzFail("the plug-in could not be created");
  Start(44100.0, 512);
}

void CheckedHost::StopAndCheckSilence() {
  SetTimeInfoAvailable(true);
  SetPlaying(false);
  Process(64);
  for (int c = 0; c < 16; ++c)
    for (int n = 0; n < 128; ++n)
      if (mSounding[c][n]) FuzzFail("note %d on channel %d still sounds after the transport stopped", n, c + 1);
}

void CheckedHost::Check(const VstEvent& event) {
  if (event.type != kVstMidiType) return;
  const auto& midi = reinterpret_cast<const VstMidiEvent&>(event);
  const uint8_t status = static_cast<uint8_t>(midi.midiData[0]);
  const int kind = status >> 4;
  if (kind != 0x8 && kind != 0x9) return;
  const uint8_t note = static_cast<uint8_t>(midi.midiData[1]);
  const uint8_t velocity = static_cast<uint8_t>(midi.midiData[2]);
  if (note >= 128 || velocity >= 128)
    FuzzFail("note event %02X %02X %02X has a data byte of 128 or more", status, note, velocity);
  const int frames = ProcessingFrames();
  if (frames < 0) FuzzFail("note event %02X %02X %02X sent outside a processing call", status, note, velocity);
  if (midi.deltaFrames < 0 || midi.deltaFrames >= frames)
    FuzzFail("note event %02X %02X %02X at offset %d of a %d-frame call", status, note, velocity, midi.deltaFrames,
             frames);
  mSounding[status & 0x0F][note] = kind == 0x9 && velocity > 0;
}
