// Cyclochord through its CLAP wrapper, under a host that checks every call's thread, order and events: the
// module file, parameters, state, processing with hostile input, and the ends of notes at resets and stops.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "ClapEntry.h"
#include "ClapTestHost.h"
#include "ClapTestHostGtest.h"
#include "ClapWrapper.h"
#include "CyclochordParams.h"

using clap_test::ClapEvent;
using clap_test::ClapTestHost;
using clap_test::NoViolations;

namespace {

const clap_plugin_entry_t kLinkedEntry = {CLAP_VERSION, ClapEntryInit, ClapEntryDeinit, ClapEntryGetFactory};

struct Out {
  uint32_t time;
  uint8_t status, data1, data2;
  bool operator==(const Out& o) const {
    return time == o.time && status == o.status && data1 == o.data1 && data2 == o.data2;
  }
};

std::vector<Out> Midi(const clap_test::ProcessResult& result) {
  std::vector<Out> out;
  for (const ClapEvent& e : result.out)
    if (e.Is(CLAP_EVENT_MIDI)) {
      const auto& m = e.As<clap_event_midi_t>();
      out.push_back({e.Header().time, m.data[0], m.data[1], m.data[2]});
    }
  return out;
}

clap_event_transport_t Playing(int64_t frame, double rate = 48000.0, double tempo = 120.0) {
  clap_event_transport_t t = {};
  t.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_SECONDS_TIMELINE | CLAP_TRANSPORT_IS_PLAYING;
  t.tempo = tempo;
  t.song_pos_seconds = static_cast<clap_sectime>(std::llround(frame / rate * CLAP_SECTIME_FACTOR));
  return t;
}

// A loaded, active, processing instance at 48 kHz with blocks of up to 512 frames.
class ClapWrapperTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mHost.Load());
    ASSERT_TRUE(mHost.Activate(48000.0, 1, 512));
    ASSERT_TRUE(mHost.StartProcessing());
  }
  void TearDown() override { EXPECT_TRUE(NoViolations(mHost)); }

  // One playing block at the running position.
  std::vector<Out> Block(const std::vector<ClapEvent>& events, uint32_t frames = 512) {
    const clap_event_transport_t t = Playing(mFrame);
    mFrame += frames;
    return Midi(mHost.Process(frames, events, &t));
  }
  IPluginBase& Product() { return ClapWrapper::From(mHost.Plugin())->Plugin(); }

  ClapTestHost mHost{&kLinkedEntry};
  int64_t mFrame = 0;
};

TEST(ClapModule, ExportsTheEntryAndSurvivesRepeatedInit) {
  std::string error;
  auto library = clap_test::ClapLibrary::Open(CYCLOCHORD_CLAP_FILE, &error);
  ASSERT_NE(library, nullptr) << error;
  const clap_plugin_entry_t* entry = library->Entry();
  ASSERT_TRUE(entry->init(CYCLOCHORD_CLAP_FILE));
  EXPECT_TRUE(entry->init(CYCLOCHORD_CLAP_FILE)) << "a second init, as a host and a wrapper inside it make";
  entry->deinit();
  {
    ClapTestHost host(entry, CYCLOCHORD_CLAP_FILE);
    ASSERT_TRUE(host.Load("example.larkspire.cyclochord"));
    const clap_plugin_descriptor_t* d = host.Descriptor();
    EXPECT_STREQ(d->name, "Cyclochord");
    EXPECT_STREQ(d->vendor, "Larkspire");
    ASSERT_NE(d->features, nullptr);
    EXPECT_STREQ(d->features[0], "note-effect");
    EXPECT_TRUE(NoViolations(host));
  }
  entry->deinit();
}

TEST_F(ClapWrapperTest, ParametersHaveReadableNamesAndTextsThatReadBack) {
  EXPECT_EQ(mHost.ParamCount(), 38u) << "42 slots less the four reserved ones";
  int hidden = 0;
  for (uint32_t i = 0; i < mHost.ParamCount(); ++i) {
    clap_param_info_t info;
    ASSERT_TRUE(mHost.ParamInfo(i, &info));
    EXPECT_TRUE(info.id != 0 && info.id != 4 && info.id != 10 && info.id != 24) << "reserved " << info.id;
    if (info.flags & CLAP_PARAM_IS_HIDDEN) ++hidden;
    if (info.id == kV1Delay) {
      EXPECT_STREQ(info.name, "Rotator 1 Delay");
      EXPECT_STREQ(info.module, "Rotator 1");
      EXPECT_TRUE(info.flags & CLAP_PARAM_IS_ENUM);
    }
    // Every step of a stepped parameter reads back from its own text.
    const double step = (info.flags & CLAP_PARAM_IS_STEPPED) ? 1.0 : 0.25;
    for (double v = info.min_value; v <= info.max_value; v += step) {
      std::string text;
      double back = -1e9;
      ASSERT_TRUE(mHost.ValueToText(info.id, v, &text)) << info.name;
      ASSERT_TRUE(mHost.TextToValue(info.id, text, &back)) << info.name << " '" << text << "'";
      EXPECT_DOUBLE_EQ(back, v) << info.name << " '" << text << "'";
    }
  }
  EXPECT_EQ(hidden, 1) << "only Human, which nothing hears";
  double value = 0;
  for (clap_id reserved : {0u, 4u, 10u, 24u, 42u, 45u}) EXPECT_FALSE(mHost.ParamValue(reserved, &value));
  EXPECT_FALSE(mHost.TextToValue(kParInt, "seven", &value));
}

TEST_F(ClapWrapperTest, NotesAreVoicedWhereTheHostPlacedThemAmongParameterChanges) {
  using clap_test::NoteEvent;
  using clap_test::ParamValueEvent;
  const std::vector<Out> out = Block({NoteEvent(CLAP_EVENT_NOTE_ON, 10, 60, 0.0), ParamValueEvent(20, kParInt, 7),
                                      NoteEvent(CLAP_EVENT_NOTE_ON, 30, 64, 1.0),
                                      NoteEvent(CLAP_EVENT_NOTE_OFF, 40, 60, 0.0)});
  // Velocity 0 is a note-on in CLAP: the softest one. The interval reaches only the note after it.
  const std::vector<Out> expected = {{10, 0x90, 60, 1}, {30, 0x90, 64, 127}, {30, 0x90, 71, 127}, {40, 0x80, 60, 0}};
  EXPECT_EQ(out, expected);
  double interval = 0;
  ASSERT_TRUE(mHost.ParamValue(kParInt, &interval));
  EXPECT_EQ(interval, 7.0);
}

// A choke or release with a wildcard key, as hosts send "all notes", ends every held trigger.
TEST_F(ClapWrapperTest, WildcardReleasesEndEveryKey) {
  for (uint16_t type : {CLAP_EVENT_NOTE_OFF, CLAP_EVENT_NOTE_CHOKE}) {
    Block({clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 1, 60, 1.0), clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 2, 67, 1.0, 3)});
    const std::vector<Out> out = Block({clap_test::NoteEvent(type, 9, -1, 0.0, -1)});
    const std::vector<Out> expected = {{9, 0x80, 60, 0}, {9, 0x80, 67, 0}};
    EXPECT_EQ(out, expected) << "event type " << type;
  }
}

TEST_F(ClapWrapperTest, WithoutATransportNothingPlays) {
  const clap_test::ProcessResult result =
      mHost.Process(512, {clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 0, 60, 1.0)}, nullptr);
  EXPECT_TRUE(Midi(result).empty());
  EXPECT_EQ(result.status, CLAP_PROCESS_CONTINUE);
}

// Each way a host interrupts processing: what sounds ends at the next call's first frame, what waited is gone.
TEST_F(ClapWrapperTest, ResetStopAndDeactivationEndSoundingNotesAtTheNextCall) {
  using Interrupt = void (*)(ClapTestHost&);
  const Interrupt interrupts[] = {
      [](ClapTestHost& h) { h.Reset(); },
      [](ClapTestHost& h) {
        h.StopProcessing();
        h.StartProcessing();
      },
      [](ClapTestHost& h) {
        h.StopProcessing();
        h.Deactivate();
        h.Activate(48000.0, 1, 512);
        h.StartProcessing();
      },
  };
  for (size_t i = 0; i < std::size(interrupts); ++i) {
    // Rotator 1 echoes a quarter note late; the trigger key stays down.
    Block({clap_test::ParamValueEvent(0, kV1Delay, 3), clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 5, 60, 1.0)});
    interrupts[i](mHost);
    const std::vector<Out> out = Block({});
    const std::vector<Out> expected = {{0, 0x80, 60, 0}};
    EXPECT_EQ(out, expected) << "interrupt " << i;
    for (int b = 0; b < 60; ++b) EXPECT_TRUE(Block({}).empty()) << "the delayed note was dropped, interrupt " << i;
    Block({clap_test::NoteEvent(CLAP_EVENT_NOTE_OFF, 0, 60, 0.0)});
  }
}

TEST_F(ClapWrapperTest, HostileInputGetsADefinedResult) {
  std::vector<ClapEvent> events = {
      clap_test::RawEvent(0, 7, CLAP_EVENT_MIDI, sizeof(clap_event_midi_t)),     // another event space
      clap_test::RawEvent(1, 0, 999, 64),                                       // an unknown type
      clap_test::RawEvent(2, 0, CLAP_EVENT_NOTE_ON, sizeof(clap_event_header_t)),  // cut short
      clap_test::ParamValueEvent(3, kParInt, std::nan("")),
      clap_test::ParamValueEvent(3, kV1Vel, 1e9),
      clap_test::ParamValueEvent(3, 999, 1.0),
      clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 4, -1, 1.0),  // a wildcard key triggers nothing
      clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 9000, 62, 1.0),  // far beyond: held at the largest block's end
  };
  EXPECT_TRUE(Block(events, 64).empty());
  double value = 0;
  ASSERT_TRUE(mHost.ParamValue(kParInt, &value));
  EXPECT_EQ(value, 0.0) << "not a number changes nothing";
  ASSERT_TRUE(mHost.ParamValue(kV1Vel, &value));
  EXPECT_EQ(value, 30.0) << "out of range is held at the nearer end";

  // A block three times longer than activation allowed is run in parts, each event in its own.
  const std::vector<Out> out = Block({clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 1029, 65, 1.0)}, 1536);
  const std::vector<Out> expected = {{512 - 64, 0x90, 62, 127}, {1029, 0x90, 65, 127}};
  EXPECT_EQ(out, expected);
}

TEST_F(ClapWrapperTest, StateIsTheVstChunkAndSurvivesAwkwardStreams) {
  Block({clap_test::ParamValueEvent(0, kParInt, -5), clap_test::ParamValueEvent(0, kScale, 3),
         clap_test::ParamValueEvent(0, kHuman, 0.25)});
  std::vector<uint8_t> state;
  ASSERT_TRUE(mHost.SaveState(&state, {7}));
  EXPECT_EQ(state.size(), 344u);

  ClapTestHost fresh(&kLinkedEntry);
  ASSERT_TRUE(fresh.Load());
  EXPECT_FALSE(fresh.LoadState(state, {UINT64_MAX, -1, 100})) << "a stream that fails";
  EXPECT_FALSE(fresh.LoadState(std::vector<uint8_t>(state.begin(), state.begin() + 100))) << "cut short";
  ASSERT_TRUE(fresh.LoadState(state, {1})) << "one byte at a time";
  for (clap_id id = 0; id < 42; ++id) {
    double a = 0, b = 0;
    ASSERT_EQ(mHost.ParamValue(id, &a), fresh.ParamValue(id, &b));
    EXPECT_EQ(a, b) << "parameter " << id;
  }
  EXPECT_GE(fresh.Requests().paramRescans.size(), 1u) << "the host rereads the values";
  EXPECT_TRUE(NoViolations(fresh));
}

// An edit in the editor reaches the host as a gesture it can record, at the next flush or process call.
TEST_F(ClapWrapperTest, EditorEditsReachTheHostAsGestures) {
  IPluginBase& plug = Product();
  plug.BeginHostEdit(kV2Chan);
  plug.SetParameterFromGUI(kV2Chan, plug.GetParam(kV2Chan)->NormalizeValue(9));
  plug.EndHostEdit(kV2Chan);
  EXPECT_GE(mHost.Requests().flush, 1);
  const clap_test::ProcessResult result = mHost.Process(64, {}, nullptr);
  ASSERT_EQ(result.out.size(), 3u);
  EXPECT_TRUE(result.out[0].Is(CLAP_EVENT_PARAM_GESTURE_BEGIN));
  ASSERT_TRUE(result.out[1].Is(CLAP_EVENT_PARAM_VALUE));
  EXPECT_EQ(result.out[1].As<clap_event_param_value_t>().param_id, static_cast<clap_id>(kV2Chan));
  EXPECT_EQ(result.out[1].As<clap_event_param_value_t>().value, 9.0);
  EXPECT_TRUE(result.out[2].Is(CLAP_EVENT_PARAM_GESTURE_END));
}

// The audio side on a thread of its own while the main thread reads values and saves state.
TEST_F(ClapWrapperTest, MainThreadCallsWhileAnotherThreadProcesses) {
  std::thread audio([this] {
    for (int b = 0; b < 300; ++b)
      Block({clap_test::NoteEvent(CLAP_EVENT_NOTE_ON, 3, static_cast<int16_t>(48 + b % 24), 1.0),
             clap_test::ParamValueEvent(8, kV1Int1, b % 12)}, 128);
  });
  std::vector<uint8_t> state;
  for (int i = 0; i < 200; ++i) {
    double value = 0;
    mHost.ParamValue(kV1Int1, &value);
    mHost.SaveState(&state);
  }
  audio.join();
}

TEST_F(ClapWrapperTest, EditorIsAFixedSizeEmbeddedWindow) {
  const char* api = CYCLOCHORD_CLAP_WINDOW_API;
  EXPECT_TRUE(mHost.GuiIsApiSupported(api, false));
  EXPECT_FALSE(mHost.GuiIsApiSupported(api, true));
  EXPECT_FALSE(mHost.GuiIsApiSupported("cocoa", false));
  ASSERT_TRUE(mHost.GuiCreate(api, false));
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(mHost.GuiGetSize(&width, &height));
  EXPECT_EQ(width, 410u);
  EXPECT_EQ(height, 680u);
  EXPECT_FALSE(mHost.GuiCanResize());
  EXPECT_TRUE(mHost.GuiSetSize(410, 680));
  EXPECT_FALSE(mHost.GuiSetSize(800, 600));
  mHost.GuiDestroy();
}

TEST_F(ClapWrapperTest, TheHostsScaleSetsTheSizeThatEveryGuiCallReports) {
  ASSERT_TRUE(mHost.GuiCreate(CYCLOCHORD_CLAP_WINDOW_API, false));
  struct Case {
    double scale;
    bool taken;
    uint32_t width, height;  // reported afterwards
  } cases[] = {{2.0, true, 820, 1360}, {1.25, true, 513, 850}, {0.5, false, 513, 850}, {4.0, false, 513, 850},
               {1.0, true, 410, 680}};
  for (const Case& c : cases) {
    EXPECT_EQ(mHost.GuiSetScale(c.scale), c.taken) << c.scale;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(mHost.GuiGetSize(&width, &height));
    EXPECT_EQ(width, c.width) << c.scale;
    EXPECT_EQ(height, c.height) << c.scale;
    // A size of its own at each scale: only that size is accepted, and the user does not drag it.
    EXPECT_TRUE(mHost.GuiSetSize(c.width, c.height)) << c.scale;
    EXPECT_FALSE(mHost.GuiSetSize(410 + 820 - c.width, c.height)) << c.scale;
    EXPECT_FALSE(mHost.GuiCanResize());
  }
  mHost.GuiDestroy();
}

}  // namespace
