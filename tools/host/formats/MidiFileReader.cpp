// Standard MIDI File parsing: chunks, variable-length numbers, running status, meta and sysex.
#include "MidiFileReader.h"

#include <cstdio>

#include "FileIo.h"

namespace cchost {
namespace {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  size_t Position() const { return mPos; }
  size_t Remaining() const { return mSize - mPos; }
  bool AtEnd() const { return mPos >= mSize; }
  bool Byte(uint8_t* out) {
    if (mPos >= mSize) return false;
    *out = mData[mPos++];
    return true;
  }
  bool Peek(uint8_t* out) const {
    if (mPos >= mSize) return false;
    *out = mData[mPos];
    return true;
  }
  bool Bytes(size_t n, std::vector<uint8_t>* out) {
    if (n > Remaining()) return false;
    out->assign(mData + mPos, mData + mPos + n);
    mPos += n;
    return true;
  }
  bool Skip(size_t n) {
    if (n > Remaining()) return false;
    mPos += n;
    return true;
  }
  bool U16(uint32_t* out) { return Big(2, out); }
  bool U32(uint32_t* out) { return Big(4, out); }
  // A variable-length number has at most four bytes (28 bits).
  enum class VarResult { kOk, kTruncated, kTooLong };
  VarResult Var(uint32_t* out) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b = 0;
      if (!Byte(&b)) return VarResult::kTruncated;
      value = (value << 7) | (b & 0x7F);
      if (!(b & 0x80)) {
        *out = value;
        return VarResult::kOk;
      }
    }
    return VarResult::kTooLong;
  }

 private:
  bool Big(int n, uint32_t* out) {
    if (Remaining() < size_t(n)) return false;
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | mData[mPos++];
    *out = v;
    return true;
  }
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

std::string At(size_t chunkStart, size_t pos) {
  char text[64];
  std::snprintf(text, sizeof(text), " (byte %zu)", chunkStart + pos);
  return text;
}

bool ReadTrack(const uint8_t* data, size_t size, size_t fileOffset, int trackIndex, MidiTrack* track,
               std::string* error) {
  ByteReader in(data, size);
  const std::string where = "track " + std::to_string(trackIndex + 1) + ": ";
  uint64_t tick = 0;
  uint8_t running = 0;
  auto fail = [&](const std::string& what) {
    *error = where + what + At(fileOffset, in.Position());
    return false;
  };
  while (!in.AtEnd()) {
    uint32_t delta = 0;
    switch (in.Var(&delta)) {
      case ByteReader::VarResult::kTruncated:
        return fail("truncated delta time");
      case ByteReader::VarResult::kTooLong:
        return fail("bad variable-length number (more than four bytes)");
      case ByteReader::VarResult::kOk:
        break;
    }
    tick += delta;
    if (tick > 0xFFFFFFFFull) return fail("event time beyond the range of a MIDI file");
    const uint32_t t = static_cast<uint32_t>(tick);
    uint8_t first = 0;
    if (!in.Peek(&first)) return fail("truncated event");
    uint8_t status = first;
    if (first < 0x80) {
      if (running == 0) return fail("data byte without a status byte (running status with no status)");
      status = running;
    } else {
      in.Skip(1);
    }
    if (status < 0xF0) {
      running = status;
      uint8_t d1 = 0, d2 = 0;
      if (!in.Byte(&d1)) return fail("truncated channel message");
      if (ChannelDataLength(status) == 2 && !in.Byte(&d2)) return fail("truncated channel message");
      if (d1 >= 0x80 || d2 >= 0x80) return fail("status byte where a data byte was expected");
      track->events.push_back(MidiEvent::Channel(t, status, d1, d2));
    } else if (status == 0xF0 || status == 0xF7) {
      uint32_t length = 0;
      if (in.Var(&length) != ByteReader::VarResult::kOk) return fail("bad system exclusive length");
      std::vector<uint8_t> bytes;
      if (!in.Bytes(length, &bytes)) return fail("truncated system exclusive event");
      track->events.push_back(MidiEvent::SysEx(t, status, std::move(bytes)));
    } else if (status == 0xFF) {
      uint8_t type = 0;
      uint32_t length = 0;
      if (!in.Byte(&type)) return fail("truncated meta event");
      if (in.Var(&length) != ByteReader::VarResult::kOk) return fail("bad meta event length");
      std::vector<uint8_t> bytes;
      if (!in.Bytes(length, &bytes)) return fail("truncated meta event");
      if (type == 0x2F) {
        track->endTick = t;
        return true;  // whatever follows the end of the track is not part of it
      }
      track->events.push_back(MidiEvent::Meta(t, type, std::move(bytes)));
    } else {
      char text[64];
      std::snprintf(text, sizeof(text), "status byte 0x%02X is not allowed in a MIDI file", status);
      return fail(text);
    }
  }
  // Tolerated: a track without its end-of-track event ends at its last event.
  track->endTick = track->events.empty() ? 0 : track->events.back().tick;
  return true;
}

}  // namespace

bool ReadMidiFile(const std::vector<uint8_t>& bytes, MidiFile* out, std::string* error) {
  ByteReader in(bytes.data(), bytes.size());
  std::vector<uint8_t> id;
  uint32_t length = 0, format = 0, ntracks = 0, division = 0;
  if (!in.Bytes(4, &id) || std::string(id.begin(), id.end()) != "MThd") {
    *error = "not a Standard MIDI File (no MThd header)";
    return false;
  }
  if (!in.U32(&length) || length < 6 || length > in.Remaining() || !in.U16(&format) || !in.U16(&ntracks) ||
      !in.U16(&division)) {
    *error = "truncated or malformed MThd header";
    return false;
  }
  in.Skip(length - 6);
  if (format > 1) {
    *error = format == 2 ? "MIDI file format 2 (independent sequences) is not supported"
                         : "unknown MIDI file format " + std::to_string(format);
    return false;
  }
  if (format == 0 && ntracks != 1) {
    *error = "a format 0 MIDI file must hold exactly one track, this one declares " + std::to_string(ntracks);
    return false;
  }
  if (division & 0x8000) {
    *error = "SMPTE time division is not supported (only ticks per quarter note)";
    return false;
  }
  if (division == 0) {
    *error = "time division of 0 ticks per quarter note";
    return false;
  }
  MidiFile file;
  file.format = static_cast<int>(format);
  file.division = static_cast<int>(division);
  while (file.tracks.size() < ntracks) {
    const size_t chunkStart = in.Position();
    uint32_t chunkLength = 0;
    if (!in.Bytes(4, &id) || !in.U32(&chunkLength)) {
      *error = "file ends after " + std::to_string(file.tracks.size()) + " of " + std::to_string(ntracks) +
               " tracks (truncated)";
      return false;
    }
    if (chunkLength > in.Remaining()) {
      *error = "truncated chunk '" + std::string(id.begin(), id.end()) + "' at byte " + std::to_string(chunkStart) +
               ": declares " + std::to_string(chunkLength) + " bytes, " + std::to_string(in.Remaining()) +
               " remain";
      return false;
    }
    if (std::string(id.begin(), id.end()) != "MTrk") {
      in.Skip(chunkLength);  // unknown chunks are skipped, as the format allows
      continue;
    }
    MidiTrack track;
    if (!ReadTrack(bytes.data() + in.Position(), chunkLength, in.Position(), static_cast<int>(file.tracks.size()),
                   &track, error))
      return false;
    in.Skip(chunkLength);
    file.tracks.push_back(std::move(track));
  }
  *out = std::move(file);
  return true;
}

bool LoadMidiFile(const std::string& path, MidiFile* out, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  if (!ReadMidiFile(bytes, out, error)) {
    *error = path + ": " + *error;
    return false;
  }
  return true;
}

}  // namespace cchost
