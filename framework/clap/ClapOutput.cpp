#include "ClapOutput.h"

#include <algorithm>

bool ClapMidiOutput::Add(const IMidiMessage& msg) {
  const int64_t raw = static_cast<int64_t>(msg.mOffset) + mStart;
  const int64_t last = mFrames > 0 ? static_cast<int64_t>(mFrames) - 1 : 0;
  const uint32_t time = static_cast<uint32_t>(std::clamp<int64_t>(raw, 0, last));
  return Insert({time, {msg.mStatus, msg.mData1, msg.mData2}, nullptr, 0});
}

bool ClapMidiOutput::AddSysex(uint32_t time, const uint8_t* bytes, uint32_t size) {
  if (!bytes || size == 0) return false;
  return Insert({mFrames > 0 ? std::min(time, mFrames - 1) : 0, {0xF0, 0, 0}, bytes, size});
}

bool ClapMidiOutput::Insert(const Entry& entry) {
  if (mCount == kCapacity) {
    ++mDropped;
    return false;
  }
  // Mostly in order already: the walk back is short.
  int i = mCount;
  while (i > 0 && mEntries[static_cast<size_t>(i - 1)].mTime > entry.mTime) {
    mEntries[static_cast<size_t>(i)] = mEntries[static_cast<size_t>(i - 1)];
    --i;
  }
  mEntries[static_cast<size_t>(i)] = entry;
  ++mCount;
  return true;
}

void ClapMidiOutput::Flush(const clap_output_events_t* out, bool asNoteEvents) {
  const int count = mCount;
  mCount = 0;
  // Until the next call, anything sent waits for its first frame.
  mFrames = 0;
  mStart = 0;
  if (!out || !out->try_push) {
    mDropped += static_cast<uint64_t>(count);
    return;
  }
  for (int i = 0; i < count; ++i) {
    const Entry& e = mEntries[static_cast<size_t>(i)];
    bool pushed = false;
    if (e.mSysex) {
      clap_event_midi_sysex_t sysex = {};
      sysex.header = {sizeof(sysex), e.mTime, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI_SYSEX, 0};
      sysex.port_index = 0;
      sysex.buffer = e.mSysex;
      sysex.size = e.mSysexSize;
      pushed = out->try_push(out, &sysex.header);
    } else if (asNoteEvents) {
      const uint8_t kind = e.mData[0] & 0xF0;
      if (kind != 0x80 && kind != 0x90) continue;  // the note dialect carries notes only
      clap_event_note_t note = {};
      const bool on = kind == 0x90 && e.mData[2] > 0;
      note.header = {sizeof(note), e.mTime, CLAP_CORE_EVENT_SPACE_ID, on ? CLAP_EVENT_NOTE_ON : CLAP_EVENT_NOTE_OFF, 0};
      note.note_id = -1;
      note.port_index = 0;
      note.channel = static_cast<int16_t>(e.mData[0] & 0x0F);
      note.key = static_cast<int16_t>(e.mData[1] & 0x7F);
      note.velocity = on ? e.mData[2] / 127.0 : 0.0;
      pushed = out->try_push(out, &note.header);
    } else {
      clap_event_midi_t midi = {};
      midi.header = {sizeof(midi), e.mTime, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
      midi.port_index = 0;
      midi.data[0] = e.mData[0];
      midi.data[1] = e.mData[1];
      midi.data[2] = e.mData[2];
      pushed = out->try_push(out, &midi.header);
    }
    if (!pushed) ++mDropped;
  }
}

bool ClapEditQueue::Push(const Edit& edit) {
  const uint32_t write = mWrite.load(std::memory_order_relaxed);
  if (write - mRead.load(std::memory_order_acquire) == kSize) return false;
  mEdits[write % kSize] = edit;
  mWrite.store(write + 1, std::memory_order_release);
  return true;
}

void ClapEditQueue::Flush(const clap_output_events_t* out) {
  uint32_t read = mRead.load(std::memory_order_relaxed);
  const uint32_t write = mWrite.load(std::memory_order_acquire);
  for (; read != write; ++read) {
    const Edit& edit = mEdits[read % kSize];
    if (!out || !out->try_push) continue;
    if (edit.mKind == kValue) {
      clap_event_param_value_t value = {};
      value.header = {sizeof(value), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
      value.param_id = edit.mParam;
      value.note_id = -1;
      value.port_index = value.channel = value.key = -1;
      value.value = edit.mValue;
      out->try_push(out, &value.header);
    } else {
      clap_event_param_gesture_t gesture = {};
      const uint16_t type = edit.mKind == kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
      gesture.header = {sizeof(gesture), 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
      gesture.param_id = edit.mParam;
      out->try_push(out, &gesture.header);
    }
  }
  mRead.store(read, std::memory_order_release);
}
