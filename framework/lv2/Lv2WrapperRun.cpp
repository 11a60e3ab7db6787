// The wrapper's run(): control ports, incoming MIDI and transport atoms, block processing and MIDI out
// [audio thread, under the audio lock].
#include <algorithm>
#include <cmath>

#include <lv2/atom/util.h>

#include "Lv2Wrapper.h"

namespace {
// Bytes of a MIDI message with this status byte; 0 for a data byte or a system-exclusive start, which a
// three-byte message cannot carry.
uint32_t MidiMessageSize(uint8_t status) {
  if (status < 0x80) return 0;
  if (status < 0xC0 || (status >= 0xE0 && status < 0xF0)) return 3;
  if (status < 0xE0) return 2;
  switch (status) {
    case 0xF1:
    case 0xF3: return 2;
    case 0xF2: return 3;
    case 0xF0: return 0;
    default: return 1;
  }
}
}  // namespace

bool Lv2Wrapper::ReadNumber(const LV2_Atom* atom, double* value) const {
  if (atom->type == mURIDs.atomFloat && atom->size >= sizeof(float))
    *value = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
  else if (atom->type == mURIDs.atomDouble && atom->size >= sizeof(double))
    *value = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
  else if (atom->type == mURIDs.atomInt && atom->size >= sizeof(int32_t))
    *value = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
  else if (atom->type == mURIDs.atomLong && atom->size >= sizeof(int64_t))
    *value = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
  else
    return false;
  return std::isfinite(*value);
}

bool Lv2Wrapper::ReadPosition(const LV2_Atom* atom, Lv2Position* p) const {
  if ((atom->type != mURIDs.atomObject && atom->type != mURIDs.atomBlank) || atom->size < sizeof(LV2_Atom_Object_Body))
    return false;
  const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
  if (object->body.otype != mURIDs.timePosition) return false;
  LV2_ATOM_OBJECT_FOREACH(object, property) {
    double v = 0.0;
    if (!ReadNumber(&property->value, &v)) continue;
    // Integers beyond these bounds are no position any host means.
    constexpr double kLimit = 4.0e18;
    const LV2_URID key = property->key;
    if (key == mURIDs.timeFrame && std::fabs(v) < kLimit) {
      p->mHasFrame = true;
      p->mFrame = static_cast<int64_t>(v);
    } else if (key == mURIDs.timeSpeed) {
      p->mHasSpeed = true;
      p->mSpeed = v;
    } else if (key == mURIDs.timeBeatsPerMinute) {
      p->mHasTempo = true;
      p->mTempo = v;
    } else if (key == mURIDs.timeBeat) {
      p->mHasBeat = true;
      p->mBeat = v;
    } else if (key == mURIDs.timeBar && std::fabs(v) < kLimit) {
      p->mHasBar = true;
      p->mBar = static_cast<int64_t>(v);
    } else if (key == mURIDs.timeBarBeat) {
      p->mHasBarBeat = true;
      p->mBarBeat = v;
    } else if (key == mURIDs.timeBeatsPerBar) {
      p->mHasBeatsPerBar = true;
      p->mBeatsPerBar = v;
    } else if (key == mURIDs.timeBeatUnit && v >= 1.0 && v <= 256.0) {
      p->mHasBeatUnit = true;
      p->mBeatUnit = static_cast<int32_t>(v);
    }
  }
  return true;
}

void Lv2Wrapper::DeliverMidi(const LV2_Atom* atom, int64_t time) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(atom + 1);
  const uint32_t size = atom->size;
  if (size == 0) return;
  const uint32_t expected = MidiMessageSize(bytes[0]);
  if (expected == 0 || size > 3) {
    // System exclusive and anything else that is no short message goes back to the host unchanged, as the
    // VST wrapper hands back events that are not MIDI messages.
    if (bytes[0] >= 0x80) mOutput.Hold(time, bytes, size);
    return;
  }
  IMidiMessage msg(static_cast<int32_t>(time - mSegmentStart), bytes[0], size > 1 ? bytes[1] : 0,
                   size > 2 ? bytes[2] : 0);
  mPlug->ProcessMidiMessage(&msg);
}

bool Lv2Wrapper::SendMidiMessage(const IMidiMessage* msg) {
  const uint32_t size = MidiMessageSize(msg->mStatus);
  if (size == 0) return false;
  const uint8_t bytes[3] = {msg->mStatus, msg->mData1, msg->mData2};
  // Outside run() there is no sequence to write to: as the VST wrapper does, it waits for the next cycle.
  if (mPhase == Phase::kIdle) return mOutput.HoldForNextCycle(bytes, size);
  const int64_t time = mSegmentStart + std::max<int64_t>(msg->mOffset, 0);
  if (mPhase == Phase::kEvents)
    mOutput.Hold(time, bytes, size);
  else
    mOutput.Send(time, bytes, size);
  return true;
}

bool Lv2Wrapper::SendMidiMessages(const IMidiMessage* msgs, int count) {
  bool allSent = true;
  for (int i = 0; i < count; ++i) allSent = SendMidiMessage(&msgs[i]) && allSent;
  return allSent;
}

void Lv2Wrapper::RunSegment(int64_t end) {
  const int64_t length = end - mSegmentStart;
  mPhase = Phase::kBlock;
  // The LV2 build has no audio ports: a plug-in that makes no audio gets no tables at all, one that does gets
  // tables of null channels.
  if (mPlug->ProcessesAudio())
    mPlug->ProcessBlock(mNoBuffers.data(), mNoBuffers.data(), static_cast<int>(length));
  else
    mPlug->RunWithoutAudio(static_cast<int>(length));
  mOutput.ReleaseHeld();
  mTransport.Advance(length, mPlug->GetSampleRate());
  mSegmentStart = end;
  mPhase = Phase::kEvents;
}

void Lv2Wrapper::RunUntil(int64_t time) {
  // The plug-in never gets a block longer than it was set up for.
  const int64_t longest = std::max(mPlug->GetBlockSize(), 1);
  while (time - mSegmentStart >= longest) RunSegment(mSegmentStart + longest);
}

void Lv2Wrapper::Run(uint32_t nFrames) {
  ScopedLock lock(mPlug->AudioLock());
  const int64_t frames = nFrames;
  mOutput.Begin(mMidiOut, nFrames);
  mSegmentStart = 0;
  mPhase = Phase::kEvents;
  ReadControlPorts();
  mPlug->ApplyParameterChanges();
  if (mEventsIn && mEventsIn->atom.size >= sizeof(LV2_Atom_Sequence_Body)) {
    LV2_ATOM_SEQUENCE_FOREACH(mEventsIn, event) {
      // Hosts send events in time order inside the cycle; one that does not gets them at the nearest place.
      const int64_t time = std::min(std::max<int64_t>(event->time.frames, mSegmentStart),
                                    frames > 0 ? frames - 1 : 0);
      if (event->body.type == mURIDs.midiEvent) {
        RunUntil(time);
        DeliverMidi(&event->body, time);
        continue;
      }
      Lv2Position position;
      if (!ReadPosition(&event->body, &position)) continue;
      // The transport changes here: what comes before it is a block of its own, as a VST host would split it.
      RunUntil(time);
      if (time > mSegmentStart) RunSegment(time);
      mTransport.Apply(position);
    }
  }
  RunUntil(frames);
  if (frames > mSegmentStart || frames == 0) RunSegment(frames);
  mOutput.End();
  mPhase = Phase::kIdle;
}
