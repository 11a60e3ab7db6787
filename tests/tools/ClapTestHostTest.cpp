// The CLAP test host against the echo plug-in (.clap file) and against a linked-in plug-in that breaks rules.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

#include "ClapTestHost.h"
#include "ClapTestHostGtest.h"

using namespace clap_test;

namespace {

constexpr clap_id kDelay = 7;

class EchoHost : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    mLibrary = ClapLibrary::Open("ClapEcho.clap", &error);
    ASSERT_TRUE(mLibrary) << error;
    mHost = std::make_unique<ClapTestHost>(mLibrary->Entry(), "ClapEcho.clap");
    ASSERT_TRUE(mHost->Load());
  }
  void TearDown() override {
    if (mHost) {
      EXPECT_TRUE(NoViolations(*mHost));
    }
    mHost.reset();
  }
  // Plays the events (absolute frames) in blocks; returns the outputs as (absolute frame, first data byte).
  std::vector<std::pair<int64_t, int>> Play(uint32_t block, std::vector<std::pair<int64_t, ClapEvent>> events,
                                            int64_t length) {
    std::vector<std::pair<int64_t, int>> out;
    for (int64_t at = 0; at < length; at += block) {
      std::vector<ClapEvent> in;
      for (auto& [frame, e] : events)
        if (frame >= at && frame < at + block) {
          e.Header().time = uint32_t(frame - at);
          in.push_back(e);
        }
      for (const ClapEvent& e : mHost->Process(block, in).out)
        out.emplace_back(at + e.Header().time, e.Is(CLAP_EVENT_MIDI) ? e.As<clap_event_midi_t>().data[0] : -1);
    }
    return out;
  }
  std::unique_ptr<ClapLibrary> mLibrary;
  std::unique_ptr<ClapTestHost> mHost;
};

TEST_F(EchoHost, NotesComeBackOneDelayLaterWhateverTheBlockSize) {
  ASSERT_TRUE(mHost->Activate(44100, 1, 4096));
  ASSERT_TRUE(mHost->StartProcessing());
  for (uint32_t block : {1u, 7u, 512u, 1000u, 4096u}) {
    SCOPED_TRACE(block);
    mHost->Reset();
    const auto out = Play(
        block, {{10, MidiEvent(0, 0x90, 60, 100)}, {300, MidiEvent(0, 0x80, 60)}, {301, MidiEvent(0, 0xB0, 7, 99)}},
        4096);
    const std::vector<std::pair<int64_t, int>> expected = {
        {10, 0x90}, {300, 0x80}, {301, 0xB0}, {1010, 0x90}, {1300, 0x80}};
    ASSERT_EQ(out.size(), expected.size());
    for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i], expected[i]) << i;
  }
}

TEST_F(EchoHost, ParameterChangesReachTheNotesThatFollowThem) {
  ASSERT_TRUE(mHost->Activate(48000, 1, 512));
  ASSERT_TRUE(mHost->StartProcessing());
  const auto out = Play(512,
                        {{5, MidiEvent(0, 0x90, 60, 1)},
                         {6, ParamValueEvent(0, kDelay, 20)},
                         {6, MidiEvent(0, 0x90, 61, 1)},
                         {7, ParamValueEvent(0, 12345, 1)}},
                        1536);
  const std::vector<std::pair<int64_t, int>> expected = {{5, 0x90}, {6, 0x90}, {26, 0x90}, {1005, 0x90}};
  EXPECT_EQ(out, expected);
  // Between blocks the same change goes through flush, on the audio side's terms.
  mHost->Flush({ParamValueEvent(0, kDelay, 300)});
  mHost->StopProcessing();
  mHost->Deactivate();
  double value = 0;
  ASSERT_TRUE(mHost->ParamValue(kDelay, &value));
  EXPECT_EQ(value, 300);
}

TEST_F(EchoHost, ParameterInfoAndText) {
  ASSERT_EQ(mHost->ParamCount(), 1u);
  clap_param_info_t info;
  ASSERT_TRUE(mHost->ParamInfo(0, &info));
  EXPECT_EQ(info.id, kDelay);
  EXPECT_STREQ(info.name, "Echo delay");
  EXPECT_FALSE(mHost->ParamInfo(1, &info));
  const struct {
    const char* text;
    bool ok;
    double value;
  } kCases[] = {{"250", true, 250}, {"250 frames", true, 250}, {"48001", false, 0},
                {"soon", false, 0}, {"12 bars", false, 0},     {"", false, 0}};
  for (const auto& c : kCases) {
    double v = -1;
    EXPECT_EQ(mHost->TextToValue(kDelay, c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  std::string text;
  ASSERT_TRUE(mHost->ValueToText(kDelay, 1000, &text));
  EXPECT_EQ(text, "1000 frames");
  mHost->Flush({ParamValueEvent(0, kDelay, 77)});
  double value = 0;
  ASSERT_TRUE(mHost->ParamValue(kDelay, &value));
  EXPECT_EQ(value, 77);
}

TEST_F(EchoHost, StateSurvivesShortStreamsAndRefusesBrokenOnes) {
  mHost->Flush({ParamValueEvent(0, kDelay, 4321)});
  std::vector<uint8_t> saved;
  ASSERT_TRUE(mHost->SaveState(&saved, {1, -1, -1}));  // one byte per call
  ASSERT_EQ(saved.size(), 12u);
  std::vector<uint8_t> partial;
  EXPECT_FALSE(mHost->SaveState(&partial, {UINT64_MAX, -1, 5}));
  EXPECT_FALSE(mHost->SaveState(&partial, {UINT64_MAX, 3, -1}));

  mHost->Flush({ParamValueEvent(0, kDelay, 1)});
  std::vector<uint8_t> wrongMagic = saved, wrongVersion = saved, tooLong = saved;
  wrongMagic[0] = 'X';
  wrongVersion[4] = 2;
  tooLong[10] = 0x7F;  // a delay beyond the range
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    StreamBehaviour stream;
    bool ok;
  } kCases[] = {{"ends early", saved, {UINT64_MAX, 11, -1}, false},
                {"fails", saved, {UINT64_MAX, -1, 4}, false},
                {"empty", {}, {}, false},
                {"wrong magic", wrongMagic, {}, false},
                {"wrong version", wrongVersion, {}, false},
                {"delay out of range", tooLong, {}, false},
                {"three bytes a call", saved, {3, -1, -1}, true}};
  for (const auto& c : kCases) {
    EXPECT_EQ(mHost->LoadState(c.bytes, c.stream), c.ok) << c.name;
    double value = 0;
    ASSERT_TRUE(mHost->ParamValue(kDelay, &value));
    EXPECT_EQ(value, c.ok ? 4321 : 1) << c.name << ": a refused state changes nothing";
  }
  ASSERT_FALSE(mHost->Requests().paramRescans.empty());
  EXPECT_EQ(mHost->Requests().paramRescans.back(), CLAP_PARAM_RESCAN_VALUES);
}

TEST_F(EchoHost, EventsOfEveryKindAndTimeAreSurvived) {
  ASSERT_TRUE(mHost->Activate(44100, 1, 64));
  ASSERT_TRUE(mHost->StartProcessing());
  clap_event_transport_t transport = {};
  transport.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_IS_PLAYING;
  transport.tempo = 120;
  const std::vector<uint8_t> dump = {0xF0, 0x7D, 0x01, 0xF7};
  const ProcessResult r =
      mHost->Process(64,
                     {NoteEvent(CLAP_EVENT_NOTE_ON, 0, 60, 0.5), RawEvent(1, 7, 3, 16), RawEvent(2, 0, 200, 64),
                      TransportEvent(3, transport), SysexEvent(4, dump), NoteEvent(CLAP_EVENT_NOTE_OFF, 500, 60)},
                     &transport);
  EXPECT_EQ(r.status, CLAP_PROCESS_CONTINUE);
  ASSERT_EQ(r.out.size(), 3u);
  EXPECT_TRUE(r.out[0].Is(CLAP_EVENT_NOTE_ON));
  EXPECT_EQ(r.out[1].Sysex(), dump);
  EXPECT_EQ(r.out[2].Header().time, 63u) << "an event past the block goes out on its last frame";
}

TEST_F(EchoHost, AudioSideOnAnotherThread) {
  ASSERT_TRUE(mHost->Activate(44100, 1, 512));
  std::thread audio([this] {
    ASSERT_TRUE(mHost->StartProcessing());
    EXPECT_EQ(mHost->Process(512, {MidiEvent(0, 0x90, 60, 1)}).out.size(), 1u);
    mHost->StopProcessing();
  });
  audio.join();
  mHost->Deactivate();
}

TEST_F(EchoHost, EditorDrivesTimersAndTheMainThreadCallback) {
  ASSERT_TRUE(mHost->GuiIsApiSupported(CLAP_WINDOW_API_X11, false));
  EXPECT_FALSE(mHost->GuiIsApiSupported(CLAP_WINDOW_API_X11, true));
  ASSERT_TRUE(mHost->GuiCreate(CLAP_WINDOW_API_X11, false));
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(mHost->GuiGetSize(&w, &h));
  EXPECT_EQ(w, 240u);
  clap_window_t window = {};
  window.api = CLAP_WINDOW_API_X11;
  window.x11 = 42;
  ASSERT_TRUE(mHost->GuiSetParent(window));
  ASSERT_TRUE(mHost->GuiShow());
  ASSERT_EQ(mHost->Timers().size(), 1u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(mHost->FireTimers(true), 1);
  EXPECT_EQ(mHost->Requests().callback, 1);
  mHost->OnMainThread();
  ASSERT_EQ(mHost->Requests().logs.size(), 1u);
  EXPECT_EQ(mHost->Requests().logs[0].second, "main-thread callback after 3 timer ticks");
  ASSERT_TRUE(mHost->GuiHide());
  EXPECT_TRUE(mHost->Timers().empty());
}

TEST_F(EchoHost, CallsOutOfOrderAreRefusedAndRecorded) {
  EXPECT_EQ(mHost->Process(64, {}).status, CLAP_PROCESS_ERROR);
  EXPECT_FALSE(mHost->StartProcessing());
  ASSERT_TRUE(mHost->Activate(44100, 1, 64));
  EXPECT_FALSE(mHost->Activate(44100, 1, 64));
  const std::vector<std::string> v = mHost->Violations();
  ASSERT_EQ(v.size(), 3u);
  EXPECT_NE(v[0].find("process while inactive"), std::string::npos) << v[0];
  EXPECT_NE(v[2].find("activate while active"), std::string::npos) << v[2];
  mHost->ClearViolations();
}

// ---- a linked-in plug-in that breaks one rule at a time ----

std::function<void(const clap_host_t*, const clap_process_t*)> gFault;
bool gAskInCreate = false;
const clap_host_t* gHost = nullptr;

const clap_plugin_descriptor_t* Descriptor() {
  static const char* const features[] = {"note-effect", nullptr};
  static const clap_plugin_descriptor_t d = {CLAP_VERSION, "test.faulty", "Faulty", "", "", "", "", "", "", features};
  return &d;
}

const clap_plugin_t* CLAP_ABI CreateFaulty(const clap_plugin_factory_t*, const clap_host_t* host, const char*) {
  static clap_plugin_t plugin;
  gHost = host;
  if (gAskInCreate) host->get_extension(host, CLAP_EXT_LOG);
  plugin = {Descriptor(),
            nullptr,
            [](const clap_plugin_t*) { return true; },
            [](const clap_plugin_t*) {},
            [](const clap_plugin_t*, double, uint32_t, uint32_t) { return true; },
            [](const clap_plugin_t*) {},
            [](const clap_plugin_t*) { return true; },
            [](const clap_plugin_t*) {},
            [](const clap_plugin_t*) {},
            [](const clap_plugin_t*, const clap_process_t* p) {
              if (gFault) gFault(gHost, p);
              return CLAP_PROCESS_CONTINUE;
            },
            [](const clap_plugin_t*, const char*) -> const void* { return nullptr; },
            [](const clap_plugin_t*) {}};
  return &plugin;
}

const clap_plugin_factory_t kFaultyFactory = {
    [](const clap_plugin_factory_t*) { return 1u; },
    [](const clap_plugin_factory_t*, uint32_t i) { return i == 0 ? Descriptor() : nullptr; }, CreateFaulty};

const clap_plugin_entry_t kFaultyEntry = {
    CLAP_VERSION, [](const char*) { return true; }, []() {},
    [](const char* id) -> const void* { return std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) ? nullptr : &kFaultyFactory; }};

template <class T>
const T* HostExt(const clap_host_t* h, const char* id) {
  return static_cast<const T*>(h->get_extension(h, id));
}

void PushMidi(const clap_process_t* p, uint32_t time, uint32_t size = sizeof(clap_event_midi_t),
              uint16_t type = CLAP_EVENT_MIDI) {
  clap_event_midi_t e = {};
  e.header = {size, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
  e.data[0] = 0x90;
  p->out_events->try_push(p->out_events, &e.header);
}

TEST(ClapTestHostChecks, EachBrokenRuleIsRecorded) {
  const struct {
    const char* name;
    std::function<void(const clap_host_t*, const clap_process_t*)> fault;
    const char* expected;
  } kCases[] = {
      {"rescan from process",
       [](const clap_host_t* h, const clap_process_t*) {
         HostExt<clap_host_params_t>(h, CLAP_EXT_PARAMS)->rescan(h, 1);
       },
       "params.rescan inside an audio-thread call"},
      {"mark_dirty from process",
       [](const clap_host_t* h, const clap_process_t*) {
         HostExt<clap_host_state_t>(h, CLAP_EXT_STATE)->mark_dirty(h);
       },
       "state.mark_dirty inside an audio-thread call"},
      {"request_flush from process",
       [](const clap_host_t* h, const clap_process_t*) {
         HostExt<clap_host_params_t>(h, CLAP_EXT_PARAMS)->request_flush(h);
       },
       "request_flush from the audio thread"},
      {"event past the block", [](const clap_host_t*, const clap_process_t* p) { PushMidi(p, p->frames_count); },
       "output event at 64 in a block of 64"},
      {"events out of order",
       [](const clap_host_t*, const clap_process_t* p) {
         PushMidi(p, 5);
         PushMidi(p, 3);
       },
       "output event at 3 after one at 5"},
      {"unknown type", [](const clap_host_t*, const clap_process_t* p) { PushMidi(p, 0, 24, 99); }, "unknown type 99"},
      {"note too short", [](const clap_host_t*, const clap_process_t* p) { PushMidi(p, 0, 24, CLAP_EVENT_NOTE_ON); },
       "output event type 0 of 24 bytes"},
      {"size below the header", [](const clap_host_t*, const clap_process_t* p) { PushMidi(p, 0, 8); },
       "output event of 8 bytes"},
  };
  for (const auto& c : kCases) {
    gFault = c.fault;
    ClapTestHost host(&kFaultyEntry);
    ASSERT_TRUE(host.Load());
    ASSERT_TRUE(host.Activate(44100, 1, 64));
    ASSERT_TRUE(host.StartProcessing());
    host.Process(64, {});
    const std::vector<std::string> v = host.Violations();
    ASSERT_EQ(v.size(), 1u) << c.name;
    EXPECT_NE(v[0].find(c.expected), std::string::npos) << c.name << ": " << v[0];
  }
  gFault = nullptr;
}

TEST(ClapTestHostChecks, HostCallsInsideCreateAreRecorded) {
  gAskInCreate = true;
  ClapTestHost host(&kFaultyEntry);
  ASSERT_TRUE(host.Load());
  gAskInCreate = false;
  const std::vector<std::string> v = host.Violations();
  ASSERT_EQ(v.size(), 1u);
  EXPECT_NE(v[0].find("before plugin init"), std::string::npos) << v[0];
}

TEST(ClapTestHostChecks, AudioCallsFromTwoThreadsAtOnceAreRecorded) {
  std::atomic<int> stage{0};
  gFault = [&stage](const clap_host_t*, const clap_process_t*) {
    stage = 1;
    while (stage != 2) std::this_thread::yield();
  };
  ClapTestHost host(&kFaultyEntry);
  ASSERT_TRUE(host.Load());
  ASSERT_TRUE(host.Activate(44100, 1, 64));
  ASSERT_TRUE(host.StartProcessing());
  std::thread audio([&host] { host.Process(64, {}); });
  while (stage != 1) std::this_thread::yield();
  host.Reset();
  stage = 2;
  audio.join();
  gFault = nullptr;
  const std::vector<std::string> v = host.Violations();
  ASSERT_EQ(v.size(), 1u);
  EXPECT_NE(v[0].find("reset while another thread"), std::string::npos) << v[0];
}

}  // namespace
