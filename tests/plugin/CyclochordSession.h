// A Cyclochord instance loaded in the test host, driven through its AEffect with real parameter values.
#pragma once

#include <cstdint>
#include <vector>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "TestHost.h"

struct CyclochordSession {
  TestHost host;
  Cyclochord* plug = nullptr;
  int firstBlock = 0;

  // Plays one block first: the first moving block counts as a jump and drops what was queued before it.
  CyclochordSession() {
    AEffect* effect = host.Load(CreatePluginInstance);
    plug = static_cast<Cyclochord*>(VstPluginOf(effect));
    host.SetTransport(-512, 120, true);
    host.Process(512);
    host.ClearMidi();
    firstBlock = host.Block();
  }

  // Blocks are counted from the first one after that.
  int Block() const { return host.Block() - firstBlock; }

  // Sets a parameter by its real value, the way a host does: through the normalised value.
  void Set(int paramIdx, double value) {
    host.SetParameter(paramIdx, static_cast<float>(plug->GetParam(paramIdx)->NormalizeValue(value)));
  }
  double Get(int paramIdx) const { return plug->GetParam(paramIdx)->Value(); }

  // Only the main voice sounds, on channel index 0; the others are muted.
  void MainOnly() {
    Set(kParMute, 1);
    Set(kV1Mute, 1);
    Set(kV2Mute, 1);
  }

  void NoteOn(int note, int velocity, int offset, int channel = 0) {
    host.SendMidi(static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity),
                  offset);
  }
  void NoteOff(int note, int offset, int channel = 0) {
    host.SendMidi(static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), 0, offset);
  }

  // Processes blocks and returns what came back during them (and during the events sent before them).
  std::vector<MidiEvent> Run(int blocks = 1, int frames = 512) {
    for (int i = 0; i < blocks; ++i) host.Process(frames);
    std::vector<MidiEvent> out = host.TakeMidi();
    for (MidiEvent& e : out) e.block -= firstBlock;
    return out;
  }
};

// A flood: 128 events per 32-frame block, every voice sounding on its own channel with a long delay, so the
// note queue fills within a few blocks and stays full. Block b strikes 64 keys and releases the 64 struck
// four blocks before.
inline void ConfigureFlood(CyclochordSession& s) {
  s.Set(kParChan, 2);
  s.Set(kV1Chan, 3);
  s.Set(kV2Chan, 4);
  s.Set(kMnDelay, 3);  // 1/2
  s.Set(kPDelay, 2);   // 1/1
  s.Set(kV1Delay, 5);  // 1/4
  s.Set(kV2Delay, 4);  // 1/2t
}
inline void SendFloodBlock(CyclochordSession& s, int block) {
  for (int i = 0; i < 64; ++i) {
    s.NoteOn((block * 64 + i) % 128, 1 + i, i / 2);
    s.NoteOff(((block - 4) * 64 + i + 128) % 128, 16 + i / 4);
  }
}

// What a test compares: (block, offset, status, note, velocity).
struct Ev {
  int block, offset, status, note, velocity;
  bool operator==(const Ev& o) const {
    return block == o.block && offset == o.offset && status == o.status && note == o.note && velocity == o.velocity;
  }
};

inline std::vector<Ev> Evs(const std::vector<MidiEvent>& events) {
  std::vector<Ev> out;
  for (const MidiEvent& e : events) out.push_back({e.block, e.offset, e.status, e.data1, e.data2});
  return out;
}

inline std::vector<int> NotesOn(const std::vector<MidiEvent>& events) {
  std::vector<int> notes;
  for (const MidiEvent& e : events)
    if (e.IsNoteOn()) notes.push_back(e.data1);
  return notes;
}

#include <ostream>
inline std::ostream& operator<<(std::ostream& os, const Ev& e) {
  return os << "{block " << e.block << " @" << e.offset << " " << std::hex << e.status << std::dec << " " << e.note
            << " v" << e.velocity << "}";
}
