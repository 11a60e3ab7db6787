#include "ClapRenderTarget.h"

#include <algorithm>
#include <cmath>

#include "ClapTransport.h"

namespace cchost {

void ClapRenderTarget::Start(double sampleRate, int maxBlock, int64_t) {
  mReceived.Clear();
  mSteadyTime = 0;
  if (!mPlugin.Start(sampleRate, uint32_t(maxBlock), &mStartError)) return;
  mStartError.clear();
}

void ClapRenderTarget::ProcessBlock(int64_t songFrame, int frames, const VstTimeInfo& time,
                                    const std::vector<BlockEvent>& events, bool) {
  if (!mStartError.empty() || frames <= 0) return;
  // Sized first: the inputs point into these arrays.
  mMidi.clear();
  mSysex.clear();
  mInputs.clear();
  mMidi.reserve(events.size());
  mSysex.reserve(events.size());
  if (mDumps.size() < events.size()) mDumps.resize(events.size());
  for (const BlockEvent& b : events) {
    const MidiEvent& e = *b.event;
    clap_event_header_t header = {0, uint32_t(std::clamp(b.delta, 0, frames - 1)), CLAP_CORE_EVENT_SPACE_ID, 0, 0};
    if (e.kind == MidiEventKind::kChannel) {
      clap_event_midi_t midi = {};
      header.size = sizeof(midi);
      header.type = CLAP_EVENT_MIDI;
      midi.header = header;
      midi.data[0] = e.status;
      midi.data[1] = e.data1;
      midi.data[2] = ChannelDataLength(e.status) > 1 ? e.data2 : 0;
      mMidi.push_back(midi);
      mInputs.push_back(&mMidi.back().header);
    } else {
      std::vector<uint8_t>& dump = mDumps[mSysex.size()];
      dump.clear();
      if (e.status == 0xF0) dump.push_back(0xF0);  // a file stores the bytes after F0
      dump.insert(dump.end(), e.bytes.begin(), e.bytes.end());
      if (dump.empty()) continue;
      clap_event_midi_sysex_t sysex = {};
      header.size = sizeof(sysex);
      header.type = CLAP_EVENT_MIDI_SYSEX;
      sysex.header = header;
      sysex.buffer = dump.data();
      sysex.size = uint32_t(dump.size());
      mSysex.push_back(sysex);
      mInputs.push_back(&mSysex.back().header);
    }
  }
  const clap_event_transport_t transport = ClapTransportFrom(time);
  const size_t eventsBefore = mReceived.events.size(), dumpsBefore = mReceived.dumps.size();
  const clap_process_status status =
      mPlugin.Process(mSteadyTime, uint32_t(frames), &transport, mInputs,
                      [&](const clap_event_header_t& e) { Receive(e, songFrame, frames); });
  if (status == CLAP_PROCESS_ERROR) {
    // A failed call's output is not to be used.
    ++mProcessErrors;
    mReceived.events.resize(eventsBefore);
    mReceived.dumps.resize(dumpsBefore);
  }
  mSteadyTime += frames;
}

void ClapRenderTarget::Receive(const clap_event_header_t& event, int64_t blockStart, int frames) {
  if (event.space_id != CLAP_CORE_EVENT_SPACE_ID) return;  // another space's event is not ours to read
  ReceivedEvent received;
  int64_t time = event.time;
  if (time >= frames) {
    // A CLAP event lies inside its block; a later one goes where VST's host puts it, on the next block's start.
    ++mOutsideBlock;
    time = frames;
  }
  received.frame = blockStart + time;
  switch (event.type) {
    case CLAP_EVENT_MIDI: {
      if (event.size < sizeof(clap_event_midi_t) ||
          !MakeShortMessage(reinterpret_cast<const clap_event_midi_t&>(event).data, &received)) {
        ++mMalformed;
        return;
      }
      break;
    }
    case CLAP_EVENT_MIDI_SYSEX: {
      const auto& sysex = reinterpret_cast<const clap_event_midi_sysex_t&>(event);
      if (event.size < sizeof(sysex) || !sysex.buffer || sysex.size == 0 || sysex.size > (1u << 24)) {
        ++mMalformed;
        return;
      }
      mReceived.dumps.emplace_back(sysex.buffer, sysex.buffer + sysex.size);
      received.dump = uint32_t(mReceived.dumps.size());
      break;
    }
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF: {
      // A note in the CLAP dialect, written as the MIDI message it stands for.
      const auto& note = reinterpret_cast<const clap_event_note_t&>(event);
      if (event.size < sizeof(note) || note.channel < 0 || note.channel > 15 || note.key < 0 || note.key > 127 ||
          !std::isfinite(note.velocity)) {
        ++mMalformed;
        return;
      }
      const bool on = event.type == CLAP_EVENT_NOTE_ON;
      const long velocity = std::lround(std::clamp(note.velocity, 0.0, 1.0) * 127.0);
      const uint8_t data[3] = {uint8_t((on ? 0x90 : 0x80) | note.channel), uint8_t(note.key),
                               uint8_t(on ? std::max(1L, velocity) : velocity)};  // velocity 0 would be a note-off
      MakeShortMessage(data, &received);
      break;
    }
    case CLAP_EVENT_PARAM_VALUE:
    case CLAP_EVENT_PARAM_GESTURE_BEGIN:
    case CLAP_EVENT_PARAM_GESTURE_END:
    case CLAP_EVENT_NOTE_END:
      return;  // parameter edits and voice ends are not MIDI output
    default:
      ++mMalformed;  // MIDI 2, expressions, unknown types: nothing a MIDI file can hold
      return;
  }
  mReceived.events.push_back(received);
}

}  // namespace cchost
