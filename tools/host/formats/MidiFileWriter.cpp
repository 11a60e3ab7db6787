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
  TrackWriter writer;
  for (const MidiEvent& e : events) writer.Add(e);
  return writer.Finish(track.endTick);
}

}  // namespace

void TrackWriter::Add(const MidiEvent& e) {
  if (e.kind == MidiEventKind::kMeta && e.metaType == 0x2F) return;  // written once, by Finish
  PutVar(&mOut, e.tick >= mNow ? e.tick - mNow : 0);
  mNow = std::max(mNow, e.tick);
  switch (e.kind) {
    case MidiEventKind::kChannel:
      if (e.status != mRunning) mOut.push_back(e.status);
      mRunning = e.status;
      mOut.push_back(e.data1 & 0x7F);
      if (ChannelDataLength(e.status) == 2) mOut.push_back(e.data2 & 0x7F);
      break;
    case MidiEventKind::kSysEx:
      mOut.push_back(e.status);
      PutVar(&mOut, static_cast<uint32_t>(e.bytes.size()));
      mOut.insert(mOut.end(), e.bytes.begin(), e.bytes.end());
      mRunning = 0;  // readers may cancel running status here, so never rely on it
      break;
    case MidiEventKind::kMeta:
      mOut.push_back(0xFF);
      mOut.push_back(e.metaType);
      PutVar(&mOut, static_cast<uint32_t>(e.bytes.size()));
      mOut.insert(mOut.end(), e.bytes.begin(), e.bytes.end());
      mRunning = 0;
      break;
  }
}

std::vector<uint8_t> TrackWriter::Finish(uint32_t endTick) {
  PutVar(&mOut, std::max(endTick, mNow) - mNow);
  mOut.insert(mOut.end(), {0xFF, 0x2F, 0x00});
  mNow = 0;
  mRunning = 0;
  return std::move(mOut);
}

std::vector<uint8_t> WriteMidiFile(int format, int division, const std::vector<std::vector<uint8_t>>& tracks) {
  size_t size = 14;
  for (const std::vector<uint8_t>& body : tracks) size += 8 + body.size();
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
  out.reserve(size);
  Put32(&out, 6);
  Put16(&out, static_cast<uint32_t>(format));
  Put16(&out, static_cast<uint32_t>(tracks.size()));
  Put16(&out, static_cast<uint32_t>(division));
  for (const std::vector<uint8_t>& body : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    Put32(&out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

std::vector<uint8_t> WriteMidiFile(const MidiFile& file) {
  std::vector<std::vector<uint8_t>> tracks;
  for (const MidiTrack& track : file.tracks) tracks.push_back(EncodeTrack(track));
  return WriteMidiFile(file.format, file.division, tracks);
}

}  // namespace cchost
