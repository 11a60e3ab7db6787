#include "ClapWrapper.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Text.h"

namespace {
// As for VST hosts: no block is longer than this, whatever a host announces.
constexpr uint32_t kLargestBlock = 1u << 24;
constexpr double kTimeFactor = static_cast<double>(CLAP_BEATTIME_FACTOR);

template <class T>
const T* HostExtension(const clap_host_t* host, const char* id) {
  return host->get_extension ? static_cast<const T*>(host->get_extension(host, id)) : nullptr;
}
}  // namespace

// The table of calls the host makes; each finds its wrapper and hands over.
struct ClapCalls {
  static ClapWrapper& W(const clap_plugin_t* plugin) { return *ClapWrapper::From(plugin); }

  static bool CLAP_ABI Init(const clap_plugin_t* p) { return W(p).Init(); }
  static void CLAP_ABI Destroy(const clap_plugin_t* p) { delete ClapWrapper::From(p); }
  static bool CLAP_ABI Activate(const clap_plugin_t* p, double rate, uint32_t, uint32_t maxFrames) {
    return W(p).Activate(rate, maxFrames);
  }
  static void CLAP_ABI Deactivate(const clap_plugin_t* p) { W(p).Deactivate(); }
  static bool CLAP_ABI StartProcessing(const clap_plugin_t*) { return true; }
  static void CLAP_ABI StopProcessing(const clap_plugin_t* p) { W(p).EndNotes(); }
  static void CLAP_ABI Reset(const clap_plugin_t* p) { W(p).EndNotes(); }
  static clap_process_status CLAP_ABI Process(const clap_plugin_t* p, const clap_process_t* process) {
    return W(p).Process(process);
  }
  static const void* CLAP_ABI GetExtension(const clap_plugin_t* p, const char* id) {
    return W(p).GetExtension(id);
  }
  static void CLAP_ABI OnMainThread(const clap_plugin_t*) {}
};

ClapWrapper::ClapWrapper(const clap_host_t* host, const clap_plugin_descriptor_t* descriptor,
                         std::unique_ptr<IPluginBase> plugin)
    : mPlug(std::move(plugin)), mHost(host) {
  mPlug->AttachHost(this);
  mClapPlugin.desc = descriptor;
  mClapPlugin.plugin_data = this;
  mClapPlugin.init = ClapCalls::Init;
  mClapPlugin.destroy = ClapCalls::Destroy;
  mClapPlugin.activate = ClapCalls::Activate;
  mClapPlugin.deactivate = ClapCalls::Deactivate;
  mClapPlugin.start_processing = ClapCalls::StartProcessing;
  mClapPlugin.stop_processing = ClapCalls::StopProcessing;
  mClapPlugin.reset = ClapCalls::Reset;
  mClapPlugin.process = ClapCalls::Process;
  mClapPlugin.get_extension = ClapCalls::GetExtension;
  mClapPlugin.on_main_thread = ClapCalls::OnMainThread;
}

ClapWrapper::~ClapWrapper() {
  GuiDestroy();
  // The plug-in and its editor go before the output and queues they may still reach.
  mPlug.reset();
}

ClapWrapper* ClapWrapper::From(const clap_plugin_t* plugin) {
  return static_cast<ClapWrapper*>(plugin->plugin_data);
}

bool ClapWrapper::Init() {
  ScopedLock lock(mPlug->Lock());
  mHostParams = HostExtension<clap_host_params_t>(mHost, CLAP_EXT_PARAMS);
  mHostState = HostExtension<clap_host_state_t>(mHost, CLAP_EXT_STATE);
  mHostPresetLoad = HostExtension<clap_host_preset_load_t>(mHost, CLAP_EXT_PRESET_LOAD);
  if (!mHostPresetLoad) mHostPresetLoad = HostExtension<clap_host_preset_load_t>(mHost, CLAP_EXT_PRESET_LOAD_COMPAT);
  mHostTimers = HostExtension<clap_host_timer_support_t>(mHost, CLAP_EXT_TIMER_SUPPORT);
  mHostFds = HostExtension<clap_host_posix_fd_support_t>(mHost, CLAP_EXT_POSIX_FD_SUPPORT);
  mHostGui = HostExtension<clap_host_gui_t>(mHost, CLAP_EXT_GUI);
  if (IEditorInterface* graphics = mPlug->GetGraphics()) {
    const bool loop = mHostTimers && mHostTimers->register_timer && mHostTimers->unregister_timer && mHostFds &&
                      mHostFds->register_fd && mHostFds->unregister_fd;
    graphics->SetHostLoop(loop ? this : nullptr);
  }
  if (const auto* ports = HostExtension<clap_host_note_ports_t>(mHost, CLAP_EXT_NOTE_PORTS)) {
    const uint32_t dialects = ports->supported_dialects ? ports->supported_dialects(mHost) : 0;
    mNotesAsNoteEvents = !(dialects & CLAP_NOTE_DIALECT_MIDI) && (dialects & CLAP_NOTE_DIALECT_CLAP);
  }
  mPlug->SetHost(mHost->name ? mHost->name : "", 0);
  // As a VST host's open: every handler runs once with the values as they stand.
  mPlug->NotifyAllParameters();
  return true;
}

bool ClapWrapper::Activate(double sampleRate, uint32_t maxFrames) {
  // Delays are computed from the rate, so only a real one is accepted.
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) return false;
  ScopedLock lock(mPlug->Lock());
  ScopedLock audio(mPlug->AudioLock());
  mMaxFrames = std::clamp<uint32_t>(maxFrames, 1, kLargestBlock);
  mSamplesPerSecond = sampleRate;
  mPlug->SetSampleRate(sampleRate);
  mPlug->SetBlockSize(static_cast<int>(mMaxFrames));
  mPlug->Reset();
  mPlug->OnActivate(true);
  mActive = true;
  return true;
}

void ClapWrapper::Deactivate() {
  ScopedLock lock(mPlug->Lock());
  ScopedLock audio(mPlug->AudioLock());
  mPlug->OnActivate(false);
  mPlug->Reset();
  mEndNotes = true;
  mActive = false;
}

void ClapWrapper::EndNotes() {
  // Nothing can be sent from here: what sounds ends at the first frame of the next process.
  mEndNotes = true;
}

const void* ClapWrapper::GetExtension(const char* id) const {
  if (!id) return nullptr;
  if (std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0) return &kNotePorts;
  if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kParams;
  if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
  if (std::strcmp(id, CLAP_EXT_PRESET_LOAD) == 0 || std::strcmp(id, CLAP_EXT_PRESET_LOAD_COMPAT) == 0)
    return &kPresetLoad;
  if (std::strcmp(id, CLAP_EXT_GUI) == 0 && mPlug->GetGraphics()) return &kGui;
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kTimerSupport;
  if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kFdSupport;
  return nullptr;
}

// ---- Processing [audio thread] ----

clap_process_status ClapWrapper::Process(const clap_process_t* process) {
  if (!process) return CLAP_PROCESS_ERROR;
  ScopedLock audio(mPlug->AudioLock());
  mPlug->ApplyParameterChanges();
  if (mEndNotes) {
    mEndNotes = false;
    mPlug->EndAllNotes();
  }
  const uint32_t frames = process->frames_count;
  mOutput.BeginCall(frames);
  mEdits.Flush(process->out_events);
  mStretchStart = 0;
  SetTransport(process->transport, process->steady_time);

  const clap_input_events_t* in = process->in_events;
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* event = in->get(in, i);
    if (event && event->space_id == CLAP_CORE_EVENT_SPACE_ID) HandleEvent(event, frames);
  }
  RunUntil(frames);
  mOutput.Flush(process->out_events, mNotesAsNoteEvents);
  // Delayed notes may be queued: a host that lets us sleep might never ask for them.
  return CLAP_PROCESS_CONTINUE;
}

void ClapWrapper::HandleEvent(const clap_event_header_t* event, uint32_t frames) {
  // A block longer than activation allowed is run in parts; an event inside it waits for the part that holds it.
  if (event->time < frames)
    while (event->time > mStretchStart && event->time - mStretchStart >= mMaxFrames) RunUntil(mStretchStart + mMaxFrames);
  switch (event->type) {
    case CLAP_EVENT_MIDI: {
      if (event->size < sizeof(clap_event_midi_t)) return;
      const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
      DeliverMidi(event->time, midi->data[0], midi->data[1], midi->data[2]);
      return;
    }
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE: {
      if (event->size < sizeof(clap_event_note_t)) return;
      const auto* note = reinterpret_cast<const clap_event_note_t*>(event);
      if (note->key > 127 || note->channel > 15 || note->key < -1 || note->channel < -1) return;
      // Triggers ignore the input channel, so a release on any channel is one on channel 1.
      const uint8_t channel = static_cast<uint8_t>(std::max<int16_t>(note->channel, 0));
      if (event->type != CLAP_EVENT_NOTE_ON && note->key < 0) {
        // A wildcard release or choke ends every key.
        for (uint8_t key = 0; key < 128; ++key) DeliverMidi(event->time, static_cast<uint8_t>(0x80 | channel), key, 0);
        return;
      }
      // A trigger needs one key.
      if (note->key < 0 || note->channel < 0) return;
      const uint8_t key = static_cast<uint8_t>(note->key);
      if (event->type == CLAP_EVENT_NOTE_ON) {
        // Velocity 0 is a real note-on here, not a release: it plays as softly as MIDI can.
        const double v = std::isfinite(note->velocity) ? std::clamp(note->velocity, 0.0, 1.0) : 0.0;
        const int velocity = std::max(1, static_cast<int>(std::lround(v * 127.0)));
        DeliverMidi(event->time, static_cast<uint8_t>(0x90 | channel), key, static_cast<uint8_t>(velocity));
      } else {
        DeliverMidi(event->time, static_cast<uint8_t>(0x80 | channel), key, 0);
      }
      return;
    }
    case CLAP_EVENT_MIDI_SYSEX: {
      // Passed through untouched, as VST hosts get theirs; its bytes live until this call returns.
      if (event->size < sizeof(clap_event_midi_sysex_t)) return;
      const auto* sysex = reinterpret_cast<const clap_event_midi_sysex_t*>(event);
      mOutput.AddSysex(event->time, sysex->buffer, sysex->size);
      return;
    }
    case CLAP_EVENT_PARAM_VALUE:
      SetParamFromEvent(event);
      // The next trigger takes it, as the host placed it among the notes.
      mPlug->ApplyParameterChanges();
      return;
    case CLAP_EVENT_TRANSPORT:
      if (event->size < sizeof(clap_event_transport_t)) return;
      RunUntil(std::min(event->time, frames));
      SetTransport(reinterpret_cast<const clap_event_transport_t*>(event), -1);
      return;
    default:
      return;  // MIDI 2, expressions, modulation: nothing this plug-in takes
  }
}

void ClapWrapper::DeliverMidi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  // Offsets count from the stretch being gathered; a host's unsorted event cannot go back before it.
  const int32_t offset = time > mStretchStart ? static_cast<int32_t>(std::min<uint32_t>(time - mStretchStart, kLargestBlock)) : 0;
  IMidiMessage msg(offset, status, data1, data2);
  mPlug->ProcessMidiMessage(&msg);
}

void ClapWrapper::SetTransport(const clap_event_transport_t* transport, int64_t steadyTime) {
  TransportInfo info;
  if (transport) {
    const uint32_t flags = transport->flags;
    if ((flags & CLAP_TRANSPORT_HAS_TEMPO) && transport->tempo > 0.0 && std::isfinite(transport->tempo))
      info.mTempo = transport->tempo;
    const double beats = transport->song_pos_beats / kTimeFactor;
    if (flags & CLAP_TRANSPORT_HAS_SECONDS_TIMELINE) {
      info.mSamplePos = transport->song_pos_seconds / kTimeFactor * mSamplesPerSecond;
    } else if (flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) {
      info.mSamplePos = beats * 60.0 / info.mTempo * mSamplesPerSecond;
    } else if (steadyTime >= 0) {
      info.mSamplePos = static_cast<double>(steadyTime);
    }
    if (flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) {
      info.mPpqPos = beats;
      info.mLastBarPos = transport->bar_start / kTimeFactor;
      if (flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) {
        info.mCycleStart = transport->loop_start_beats / kTimeFactor;
        info.mCycleEnd = transport->loop_end_beats / kTimeFactor;
      }
    }
    if ((flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE) && transport->tsig_num > 0 && transport->tsig_denom > 0) {
      info.mNumerator = transport->tsig_num;
      info.mDenominator = transport->tsig_denom;
    }
    info.mPlaying = (flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
    info.mCycleActive = (flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0;
  }
  // Without a transport the host has none at all: not playing, as a VST host without time information.
  mStretchTransport = info;
}

void ClapWrapper::RunUntil(uint32_t time) {
  while (time > mStretchStart) {
    const uint32_t frames = std::min(time - mStretchStart, mMaxFrames);
    mOutput.SetStretchStart(mStretchStart);
    mPlug->ProcessBlock(nullptr, nullptr, static_cast<int>(frames));
    mStretchStart += frames;
    // A longer stretch goes on where this part ended.
    if (mStretchTransport.mPlaying && mStretchTransport.mSamplePos >= 0.0) {
      mStretchTransport.mSamplePos += frames;
      if (mStretchTransport.mPpqPos >= 0.0)
        mStretchTransport.mPpqPos += frames * mStretchTransport.mTempo / (60.0 * mSamplesPerSecond);
    }
  }
  mOutput.SetStretchStart(mStretchStart);
}

bool ClapWrapper::SendMidiMessages(const IMidiMessage* msgs, int count) {
  bool all = true;
  for (int i = 0; i < count; ++i) all = mOutput.Add(msgs[i]) && all;
  return all;
}

// ---- Note ports [main thread] ----

namespace {
uint32_t CLAP_ABI NotePortCount(const clap_plugin_t*, bool) { return 1; }

bool CLAP_ABI NotePortInfo(const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info) {
  if (index != 0 || !info) return false;
  *info = {};
  info->id = 0;
  // Out: notes as MIDI, or as note events for a host that takes only those.
  info->supported_dialects = CLAP_NOTE_DIALECT_MIDI | CLAP_NOTE_DIALECT_CLAP;
  info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
  CopyText(info->name, sizeof(info->name), isInput ? "Notes in" : "Notes out");
  return true;
}
}  // namespace

const clap_plugin_note_ports_t ClapWrapper::kNotePorts = {NotePortCount, NotePortInfo};
