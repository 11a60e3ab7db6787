// A bare VST 2.4 plug-in for the host's tests, written against the interface alone: it echoes
// every incoming event and answers each note-on with a system exclusive message that spells out
// the transport it saw ("F0 7D <text> F7"), and reports in the same way when the transport stops.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "VstAbi.h"

namespace {

struct Probe {
  AEffect effect = {};
  audioMasterCallback host = nullptr;
  std::vector<VstMidiEvent> pending;  // this block's note-ons and echoes
  std::vector<std::vector<char>> pendingSysex;
  bool wasPlaying = false;
};

Probe* FromEffect(AEffect* e) { return static_cast<Probe*>(e->object); }

void Send(Probe* p, VstEvent* event) {
  VstEvents list = {};
  list.numEvents = 1;
  list.events[0] = event;
  p->host(&p->effect, audioMasterProcessEvents, 0, 0, &list, 0.0f);
}

void SendText(Probe* p, int delta, const std::string& text) {
  std::vector<char> dump = {char(0xF0), 0x7D};
  dump.insert(dump.end(), text.begin(), text.end());
  dump.push_back(char(0xF7));
  VstMidiSysexEvent sysex = {};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof(sysex);
  sysex.deltaFrames = delta;
  sysex.dumpBytes = static_cast<VstInt32>(dump.size());
  sysex.sysexDump = dump.data();
  Send(p, reinterpret_cast<VstEvent*>(&sysex));
}

VstIntPtr VST_CALLBACK Dispatch(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  Probe* p = FromEffect(e);
  switch (opcode) {
    case effClose:
      delete p;
      return 0;
    case effProcessEvents: {
      const VstEvents* events = static_cast<const VstEvents*>(ptr);
      VstEvent* const* list = events->events;  // numEvents entries, although the type declares two
      for (VstInt32 i = 0; i < events->numEvents; ++i) {
        VstEvent* ev = list[i];
        if (ev->type == kVstMidiType) {
          p->pending.push_back(*reinterpret_cast<VstMidiEvent*>(ev));
        } else if (ev->type == kVstSysExType) {
          Send(p, ev);  // system exclusive goes straight back
        }
      }
      return 1;
    }
    case effCanDo:
      return ptr && (std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ||
                     std::strcmp(static_cast<const char*>(ptr), "sendVstMidiEvent") == 0)
                 ? 1
                 : 0;
    case effGetEffectName:
      std::strcpy(static_cast<char*>(ptr), "TransportProbe");
      return 1;
    default:
      return 0;
  }
}

void VST_CALLBACK Process(AEffect* e, float**, float**, VstInt32 frames) {
  Probe* p = FromEffect(e);
  const VstTimeInfo* t = reinterpret_cast<const VstTimeInfo*>(p->host(e, audioMasterGetTime, 0, 0xFFFF, nullptr, 0));
  const bool playing = t && (t->flags & kVstTransportPlaying);
  char text[200];
  for (VstMidiEvent& m : p->pending) {
    Send(p, reinterpret_cast<VstEvent*>(&m));
    if ((m.midiData[0] & 0xF0) == 0x90 && m.midiData[2] != 0 && t) {
      std::snprintf(text, sizeof(text), "pos=%.0f delta=%d ppq=%.6f tempo=%.4f bar=%.4f sig=%d/%d playing=%d block=%d",
                    t->samplePos, m.deltaFrames, t->ppqPos, t->tempo, t->barStartPos, t->timeSigNumerator, t->timeSigDenominator,
                    playing ? 1 : 0, frames);
      SendText(p, m.deltaFrames, text);
    }
  }
  p->pending.clear();
  if (p->wasPlaying && !playing && t) {
    std::snprintf(text, sizeof(text), "stopped pos=%.0f", t->samplePos);
    SendText(p, 0, text);
  }
  p->wasPlaying = playing;
}

void VST_CALLBACK SetParameter(AEffect*, VstInt32, float) {}
float VST_CALLBACK GetParameter(AEffect*, VstInt32) { return 0.0f; }

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  Probe* p = new Probe();
  p->host = host;
  AEffect& e = p->effect;
  e.magic = kEffectMagic;
  e.dispatcher = Dispatch;
  e.process = Process;
  e.processReplacing = Process;
  e.setParameter = SetParameter;
  e.getParameter = GetParameter;
  e.numPrograms = 0;
  e.flags = effFlagsCanReplacing;
  e.object = p;
  e.uniqueID = VstFourCC('p', 'r', 'b', 'T');
  e.version = 1;
  return &e;
}
