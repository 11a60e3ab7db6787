// A host session read from the input: dispatcher calls, parameter changes, event lists, processing calls and
// transport changes in any order, with the note events checked as they arrive and silence checked at the end.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "CheckedHost.h"
#include "FuzzInput.h"

namespace {

// Opcodes whose pointers this target cannot make safe, or that it drives through actions of their own.
bool IsDrivenElsewhere(VstInt32 opcode) {
  switch (opcode) {
    case effClose:            // ends the session
    case effEditOpen:         // ptr is a window of the host's
    case effGetChunk:         // ptr receives a pointer, value is unused: below
    case effSetChunk:         // value is the size of ptr: below
    case effProcessEvents:    // below
    case effSetBlockSize:     // below
    case effSetSpeakerArrangement:  // value is a pointer
    case effGetSpeakerArrangement:  // value is a pointer
      return true;
    default:
      return false;
  }
}

constexpr int kMaxEvents = 300;
constexpr int kMaxFrames = 8192;
// Making the plug-in is most of an input's cost, and a processing call that moves notes ends with the plug-in's
// whole-structure check of its queue: sessions are kept short.
constexpr int kMaxSteps = 64;
constexpr int kMaxProcessCalls = 16;

// Laid out as VstEvents, with room for the entries that type leaves to its numEvents.
struct EventList {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[kMaxEvents];
};
static_assert(offsetof(EventList, events) == offsetof(VstEvents, events), "EventList must match VstEvents");

alignas(16) unsigned char gScratch[8192];
alignas(16) unsigned char gScratch2[8192];
VstMidiEvent gMidi[kMaxEvents];
VstMidiSysexEvent gSysex;
char gSysexBytes[16];

void FillScratch(FuzzInput& in, unsigned char* scratch) {
  std::memset(scratch, 0, sizeof(gScratch));
  size_t n = 0;
  const uint8_t* bytes = in.Bytes(in.Byte() % 96, &n);
  if (n) std::memcpy(scratch, bytes, n);
}

void GenericDispatch(CheckedHost& host, FuzzInput& in) {
  VstInt32 opcode = in.Byte() % 80;
  if (IsDrivenElsewhere(opcode)) opcode = effGetParamDisplay;
  const VstInt32 index = in.Bool() ? in.Below(64) - 8 : in.I32();
  const VstIntPtr value = in.Bool() ? in.Below(64) - 8 : in.I32();
  const float opt = in.Float();
  void* ptr = nullptr;
  if (!in.Bool()) {
    FillScratch(in, gScratch);
    ptr = gScratch;
  }
  host.Dispatch(opcode, index, value, ptr, opt);
}

void SpeakerArrangement(CheckedHost& host, FuzzInput& in) {
  FillScratch(in, gScratch);
  FillScratch(in, gScratch2);
  const bool get = in.Bool();
  const bool withInputs = in.Bool();
  const bool withOutputs = in.Bool();
  host.Dispatch(get ? effGetSpeakerArrangement : effSetSpeakerArrangement, 0,
                withInputs ? reinterpret_cast<VstIntPtr>(gScratch) : 0, withOutputs ? gScratch2 : nullptr);
}

void Chunks(CheckedHost& host, FuzzInput& in) {
  const VstInt32 index = in.Byte() & 1;
  if (in.Bool()) {
    void* data = nullptr;
    const VstIntPtr size = host.Dispatch(effGetChunk, index, 0, &data);
    if (size > 0 && data) {
      // What we produce goes back in as a host restoring its project would do it.
      std::memcpy(gScratch, data, static_cast<size_t>(size) < sizeof(gScratch) ? static_cast<size_t>(size) : 0);
      if (static_cast<size_t>(size) < sizeof(gScratch)) host.Dispatch(effSetChunk, index, size, gScratch);
    }
  } else {
    size_t n = 0;
    const uint8_t* bytes = in.Bytes(in.U16() % 512, &n);
    std::memcpy(gScratch, bytes, n);
    host.Dispatch(effSetChunk, index, static_cast<VstIntPtr>(n), gScratch);
  }
}

void Events(CheckedHost& host, FuzzInput& in) {
  EventList list = {};
  const int count = in.Byte() % 40 == 0 ? in.Below(kMaxEvents) : in.Below(8);
  for (int i = 0; i < count; ++i) {
    const uint8_t kind = in.Byte();
    if (kind < 8) {
      list.events[i] = nullptr;
    } else if (kind < 16) {
      gSysex = VstMidiSysexEvent();
      gSysex.type = kVstSysExType;
      gSysex.byteSize = sizeof(VstMidiSysexEvent);
      gSysex.deltaFrames = in.I32();
      gSysex.dumpBytes = static_cast<VstInt32>(sizeof(gSysexBytes));
      gSysex.sysexDump = gSysexBytes;
      list.events[i] = reinterpret_cast<VstEvent*>(&gSysex);
    } else {
      VstMidiEvent& midi = gMidi[i];
      midi = VstMidiEvent();
      midi.type = kind < 24 ? static_cast<VstInt32>(in.U32()) : kVstMidiType;
      midi.byteSize = sizeof(VstMidiEvent);
      const uint8_t shape = in.Byte();
      midi.deltaFrames = shape < 200 ? in.Below(1024) : in.I32();
      // Mostly note messages with sane data, so that notes get far enough to sound; sometimes any bytes.
      if (shape & 1) {
        midi.midiData[0] = static_cast<char>(in.Byte());
        midi.midiData[1] = static_cast<char>(in.Byte());
        midi.midiData[2] = static_cast<char>(in.Byte());
      } else {
        static const uint8_t kKinds[] = {0x90, 0x90, 0x80, 0xB0};
        const uint8_t message = kKinds[in.Byte() % 4];
        const uint8_t status = static_cast<uint8_t>(message | (in.Byte() & 0x0F));
        midi.midiData[0] = static_cast<char>(status);
        midi.midiData[1] = static_cast<char>(status >= 0xB0 ? 123 : in.Byte() & 0x7F);
        midi.midiData[2] = static_cast<char>(in.Byte() & 0x7F);
      }
      list.events[i] = reinterpret_cast<VstEvent*>(&midi);
    }
  }
  list.numEvents = count;
  host.Dispatch(effProcessEvents, 0, 0, &list);
}

void Transport(CheckedHost& host, FuzzInput& in) {
  VstTimeInfo& t = host.mTime;
  switch (in.Byte() % 6) {
    case 0: t.flags ^= kVstTransportPlaying; break;
    case 1: t.samplePos = in.Real(-1e5, 1e7); break;  // a locate
    case 2: t.tempo = in.Real(1.0, 400.0); break;
    case 3: t.flags = static_cast<VstInt32>(in.U32()); break;
    case 4: host.SetTimeInfoAvailable(!host.TimeInfoAvailable()); break;
    default:
      t.ppqPos = in.Real(-10, 1e4);  // the host works it out from samplePos at each call; kept for the seeds
      t.barStartPos = in.Real(-10, 1e4);
      t.cycleStartPos = in.Real(-10, 1e4);
      t.cycleEndPos = in.Real(-10, 1e4);
      t.timeSigNumerator = in.I32();
      t.timeSigDenominator = in.I32();
      break;
  }
}

void Process(CheckedHost& host, FuzzInput& in) {
  const uint8_t shape = in.Byte();
  const int frames = shape < 220 ? 1 + in.Below(1024) : (shape < 250 ? in.Below(kMaxFrames + 1) : -in.Below(8));
  static const TestHost::Precision kPrecisions[] = {TestHost::Precision::kSingle, TestHost::Precision::kDouble,
                                                    TestHost::Precision::kAccumulating};
  host.Process(std::max(frames, 0), kPrecisions[in.Byte() % 3]);  // a negative count reaches the plug-in as none
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  static const char* const kProducts[] = {"Fuzz Host", "Cakewalk", "Live", "forte", ""};
  CheckedHost host;  // (re)created per input so that a finding replays alone
  host.mProductString = kProducts[in.Byte() % 5];
  host.Dispatch(effOpen);
  host.mTime.flags |= kVstTransportPlaying;
  for (int steps = 0; steps < kMaxSteps && host.Block() < kMaxProcessCalls && !in.Empty(); ++steps) {
    switch (in.Byte() % 12) {
      case 0: GenericDispatch(host, in); break;
      case 1: {
        const int index = in.Bool() ? in.Below(50) - 2 : in.I32();
        const float value = in.Bool() ? in.Below(1001) / 1000.0f : in.Float();
        host.Effect()->setParameter(host.Effect(), index, value);
        const float back = host.Effect()->getParameter(host.Effect(), index);
        if (!(back >= 0.0f && back <= 1.0f)) FuzzFail("parameter %d reads back %g after set to %g", index, back, value);
        break;
      }
      case 2: host.Dispatch(effSetSampleRate, 0, 0, nullptr, in.Bool() ? in.Real(8000, 192000) : in.Float()); break;
      case 3: {
        // Blocks up to 2^24 frames are accepted, and their buffers take long to make: not worth the time here.
        int32_t frames = in.Bool() ? in.Below(4096) : in.I32();
        if (frames > 65536 && frames <= (1 << 24)) frames = -frames;
        host.Dispatch(effSetBlockSize, 0, frames);
        break;
      }
      case 4: host.Dispatch(effSetProgram, 0, in.Below(10) - 2); break;
      case 5: Chunks(host, in); break;
      case 6: SpeakerArrangement(host, in); break;
      case 7: Transport(host, in); break;
      case 8: host.Dispatch(effMainsChanged, 0, in.Bool()); break;
      case 9: case 10: Events(host, in); break;
      default: Process(host, in); break;
    }
  }
  host.StopAndCheckSilence();
  return 0;
}
