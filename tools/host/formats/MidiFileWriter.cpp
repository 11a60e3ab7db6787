// Standard MIDI File encoding.
#include "MidiFileWriter.h"

#include <algorithm>

namespace cchost {
namespace {

void PutVar(std::vector<uint8_t>* out, uint32_t value) {
  uint8_t buffer[5];
  int n = 0;
  buffer[n++] = value & 0x7F;
  while ((value >>= 7) != 0) buffer[n++] = static_cast<uint8_t>(0x80 | (value & 0x7F));
  while (n > 0) out->push_back(buffer[--n]);
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v >> 8));
  out->push_back(static_cast<uint8_t>(v));
}

std::vector<uint8_t> EncodeTrack(const MidiTrack& track) {
  std::vector<MidiEvent> events = track.events;
  // The end of the track is written once, last.
  events.erase(std::remove_if(events.begin(), events.end(),
                              [](const MidiEvent& e) { return e.kind == MidiEventKind::kMeta && e.metaType == 0x2F; }),
               events.end());
  std::stable_sort(events.begin(), events.end(),
                   [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
  std::vector<uint8_t> out;
  uint32_t now = 0;
  uint8_t running = 0;
  for (const MidiEvent& e : events) {
    PutVar(&out, e.tick - now);
    now = e.tick;
    switch (e.kind) {
      case MidiEventKind::kChannel:
        if (e.status != running) out.push_back(e.status);
        running = e.status;
        out.push_back(e.data1 & 0x7F);
        if (ChannelDataLength(e.status) == 2) out.push_back(e.data2 & 0x7F);
        break;
      case MidiEventKind::kSysEx:
        out.push_back(e.status);
        PutVar(&out, static_cast<uint32_t>(e.bytes.size()));
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
        running = 0;  // readers may cancel running status here, so never rely on it
        break;
      case MidiEventKind::kMeta:
        out.push_back(0xFF);
        out.push_back(e.metaType);
        PutVar(&out, static_cast<uint32_t>(e.bytes.size()));
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
        running = 0;
        break;
    }
  }
  PutVar(&out, std::max(track.endTick, now) - now);
  out.insert(out.end(), {0xFF, 0x2F, 0x00});
  return out;
}

}  // namespace

std::vector<uint8_t> WriteMidiFile(const MidiFile& file) {
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
  Put32(&out, 6);
  Put16(&out, static_cast<uint32_t>(file.format));
  Put16(&out, static_cast<uint32_t>(file.tracks.size()));
  Put16(&out, static_cast<uint32_t>(file.division));
  for (const MidiTrack& track : file.tracks) {
    const std::vector<uint8_t> body = EncodeTrack(track);
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    Put32(&out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

}  // namespace cchost
