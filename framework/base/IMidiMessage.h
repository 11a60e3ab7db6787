// One MIDI channel message between the wrapper and the plug-in, in both directions.
#pragma once

#include <cstdint>

struct IMidiMessage {
  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  enum EStatusKind {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14,
  };

  IMidiMessage() = default;
  IMidiMessage(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2) {}

  int StatusKind() const { return (mStatus >= 0x80 && mStatus <= 0xEF) ? (mStatus >> 4) : kNone; }
  int Channel() const { return mStatus & 0x0F; }
  int NoteNumber() const { return mData1; }
  int ControlChangeIndex() const { return mData1; }
  int Velocity() const { return mData2; }

  static IMidiMessage MakeNoteOn(int note, int velocity, int32_t offset, int channel) {
    return IMidiMessage(offset, static_cast<uint8_t>(0x90 | (channel & 0x0F)), static_cast<uint8_t>(note & 0x7F),
                        static_cast<uint8_t>(velocity & 0x7F));
  }
  static IMidiMessage MakeNoteOff(int note, int32_t offset, int channel) {
    return IMidiMessage(offset, static_cast<uint8_t>(0x80 | (channel & 0x0F)), static_cast<uint8_t>(note & 0x7F), 0);
  }
};
