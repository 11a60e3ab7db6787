// The output file depends neither on the block size nor on the format: every example, and a file whose tempo and
// time signature change under held notes and delayed voices, rendered through Cyclochord's VST and CLAP modules
// at block sizes from 1 to 8192 give the same bytes. Also the plan of blocks itself, and the tempo a probe sees on either side of a change.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "BlockPlan.h"
#include "MidiFileReader.h"
#include "MidiFileWriter.h"
#include "ToolTestSupport.h"

using namespace cchost;
using namespace cchost_test;

namespace {

const int kBlockSizes[] = {1, 7, 64, 511, 512, 2205, 4096, 8192};

// The first event where two renders part, readable, rather than a dump of bytes.
std::string FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  MidiFile fa, fb;
  std::string error;
  if (!ReadMidiFile(a, &fa, &error) || !ReadMidiFile(b, &fb, &error)) return "unreadable: " + error;
  auto describe = [](const std::vector<MidiEvent>& events, size_t i) {
    if (i >= events.size()) return std::string("(end)");
    const MidiEvent& e = events[i];
    return "tick " + std::to_string(e.tick) + " status " + std::to_string(e.status) + " " +
           std::to_string(e.data1) + " " + std::to_string(e.data2);
  };
  const std::vector<MidiEvent> ea = fa.Merged(), eb = fb.Merged();
  for (size_t i = 0; i < std::max(ea.size(), eb.size()); ++i)
    if (i >= ea.size() || i >= eb.size() || ea[i] != eb[i])
      return "event " + std::to_string(i) + ": " + describe(ea, i) + " against " + describe(eb, i);
  return "same events, different encoding";
}

MidiFile ChangesUnderHeldNotes() {
  // Tempo changes at odd ticks and on beats, a 7/8 bar and back, while notes are held across each change and
  // others start exactly on it, on one tick before it and one after.
  MidiFile file = OneTrackFile({}, 100.0, 480);
  std::vector<MidiEvent>& meta = file.tracks[0].events;
  meta.push_back(TempoEvent(1920, 137.0));
  meta.push_back(MidiEvent::Meta(1920, 0x58, {7, 3, 24, 8}));
  meta.push_back(TempoEvent(2777, 61.3));
  meta.push_back(MidiEvent::Meta(3600, 0x58, {4, 2, 24, 8}));
  meta.push_back(TempoEvent(4321, 190.0));
  std::vector<MidiEvent>& notes = file.tracks[1].events;
  for (uint32_t change : {1920u, 2777u, 3600u, 4321u}) {
    notes.push_back(On(change - 300, 48));
    notes.push_back(Off(change + 300, 48));
    for (uint32_t at : {change - 1, change, change + 1}) {
      notes.push_back(On(at, 60 + int(at % 12)));
      notes.push_back(Off(at + 120, 60 + int(at % 12)));
    }
  }
  notes.push_back(MidiEvent::Channel(2777, 0xE0, 0, 0x50));  // passed through on a change tick
  return file;
}

// Every voice sounding, each with its own delay, the rotators stepping.
const std::vector<std::string> kBusy = {"--set", "MnDelay=1/16",  "--set", "ParInt=7",    "--set", "pDelay=1/8t",
                                        "--set", "ParChan=2",     "--set", "v1Int1=4",    "--set", "v1Int2=-5",
                                        "--set", "v1Delay=1/8",   "--set", "v1Chan=3",    "--set", "v2Int1=12",
                                        "--set", "v2Delay=1/4d",  "--set", "v2algo=ZigZag", "--set", "v2Chan=4"};

// The same settings by the names CLAP hosts show.
const std::vector<std::string> kBusyClap = {
    "--set", "Main Delay=1/16",          "--set", "Parallel Interval=7",   "--set", "Parallel Delay=1/8t",
    "--set", "Parallel Channel=2",       "--set", "Rotator 1 Interval 1=4", "--set", "Rotator 1 Interval 2=-5",
    "--set", "Rotator 1 Delay=1/8",      "--set", "Rotator 1 Channel=3",   "--set", "Rotator 2 Interval 1=12",
    "--set", "Rotator 2 Delay=1/4d",     "--set", "Rotator 2 Algorithm=ZigZag", "--set", "Rotator 2 Channel=4"};

struct Case {
  std::string name, midi;
  std::vector<std::string> settings, clapSettings;
};

// The examples of renders.list by their names, then two busy sessions; "changes" is written into the scratch folder.
std::vector<Case> Cases(const std::string& changesFile) {
  std::vector<Case> cases;
  const std::string source = CYCLOCHORD_SOURCE_DIR;
  std::ifstream list(source + "/examples/renders.list");
  std::string line, name, midi, preset;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    if (fields >> name >> midi >> preset && name[0] != '#') {
      const std::vector<std::string> load = {"--load-fxp", source + "/presets/" + preset};
      cases.push_back({name, source + "/examples/" + midi, load, load});
    }
  }
  cases.push_back({"changes", changesFile, kBusy, kBusyClap});
  cases.push_back({"bass busy", source + "/examples/bass.mid", kBusy, kBusyClap});
  return cases;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const Case& c : Cases("")) names.push_back(c.name);
  return names;
}

}  // namespace

#ifdef CYCLOCHORD_MODULE_BUILT
// One test a session, so that ctest's shards share the renders out between the cores.
class BlockSizeSweep : public ::testing::TestWithParam<std::string> {};

TEST_P(BlockSizeSweep, GivesTheSameBytesAtEveryBlockSizeInEveryFormat) {
  ScratchFolder scratch;
  WriteBytes(scratch.Path("changes.mid"), WriteMidiFile(ChangesUnderHeldNotes()));
  const std::vector<Case> cases = Cases(scratch.Path("changes.mid"));
  const auto c = std::find_if(cases.begin(), cases.end(), [](const Case& k) { return k.name == GetParam(); });
  ASSERT_NE(c, cases.end());
  std::vector<uint8_t> first;
  for (const std::string module : {"Cyclochord.so", "Cyclochord.clap"}) {
    const bool clap = module == "Cyclochord.clap";
    for (int block : kBlockSizes) {
      SCOPED_TRACE(c->name + " through " + module + ", blocks of " + std::to_string(block));
      std::vector<std::string> args = {"render", clap ? "./" + module : ModulePath(module), c->midi, "-o",
                                       scratch.Path("out.mid"), "--block", std::to_string(block)};
      const std::vector<std::string>& settings = clap ? c->clapSettings : c->settings;
      args.insert(args.end(), settings.begin(), settings.end());
      const ToolRun run = RunTool(args);
      ASSERT_EQ(run.status, 0) << run.err << run.out;
      const std::vector<uint8_t> bytes = ReadBytes(scratch.Path("out.mid"));
      if (first.empty())
        first = bytes;
      else if (bytes != first)
        ADD_FAILURE() << FirstDifference(bytes, first) << " (VST, blocks of " << kBlockSizes[0] << " first)";
    }
  }
}

TEST(BlockSizeSweepCases, AreTheExamplesAndTheBusySessions) { EXPECT_GE(CaseNames().size(), 6u); }

INSTANTIATE_TEST_SUITE_P(Sessions, BlockSizeSweep, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& session) {
                           std::string name = session.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });
#endif

TEST(BlockSize, APassThroughPlugInGivesTheSameBytesAtEveryBlockSize) {
  ScratchFolder scratch;
  WriteBytes(scratch.Path("in.mid"), WriteMidiFile(ChangesUnderHeldNotes()));
  std::vector<uint8_t> first;
  for (int block : kBlockSizes) {
    SCOPED_TRACE(block);
    const ToolRun run = RunTool({"render", ModulePath("TestPlugin.so"), scratch.Path("in.mid"), "-o",
                                 scratch.Path("out.mid"), "--block", std::to_string(block)});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<uint8_t> bytes = ReadBytes(scratch.Path("out.mid"));
    if (first.empty())
      first = bytes;
    else if (bytes != first)
      ADD_FAILURE() << FirstDifference(bytes, first);
  }
}

TEST(BlockPlan, AChangeIsAnnouncedByABlockOfOneFrameAndTheFirstBlockIsOneFrame) {
  MidiFile file = OneTrackFile({});
  file.tracks[0].events.push_back(TempoEvent(960, 60.0));  // 120 bpm: tick 960 is 1 s, frame 44100
  const TempoMap map(file);
  const Transport transport(map, 44100.0, 22050);
  const BlockPlan plan(map, transport, -22050, 512);
  struct Step {
    int64_t pos, end;
    int length;
    double tempoTick;
  };
  const Step steps[] = {
      {-22050, 100000, 1, 0},        // the start
      {-22049, 100000, 512, 0},      // a full block
      {43700, 100000, 399, 0},       // stops on the frame before the change
      {44099, 100000, 1, 960},       // announces the new tempo
      {44100, 100000, 512, 960},     // on the change: the new tempo
      {44100, 44200, 100, 960},      // never beyond the end
      {90000, 90000, 0, 960},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.pos);
    EXPECT_EQ(plan.Length(s.pos, s.end), s.length);
    EXPECT_EQ(plan.TempoTick(s.pos), s.tempoTick);
  }
  EXPECT_EQ(plan.SignatureTick(44099), 0.0) << "the signature changes on its own frame";
}

#ifdef CYCLOCHORD_MODULE_BUILT
TEST(BlockPlan, NotesOnATempoChangeAreDelayedAtTheNewTempo) {
  // Cyclochord schedules a block's notes before its processing call reads the tempo. At 120 bpm, then 60 from
  // tick 960, a quarter-note delay lands one beat (480 ticks) later at the tempo in force on the note's frame.
  MidiFile input = OneTrackFile({On(900, 60), Off(910, 60), On(960, 62), Off(970, 62), On(961, 64), Off(970, 64)});
  input.tracks[0].events.push_back(TempoEvent(960, 60.0));
  ScratchFolder scratch;
  WriteBytes(scratch.Path("in.mid"), WriteMidiFile(input));
  for (int block : {1, 100, 4096}) {
    SCOPED_TRACE(block);
    const ToolRun run = RunTool({"render", ModulePath("Cyclochord.so"), scratch.Path("in.mid"), "-o",
                                 scratch.Path("out.mid"), "--block", std::to_string(block), "--set", "MnDelay=1/4",
                                 "--set", "ParMute=on", "--set", "v1Mute=on", "--set", "v2Mute=on"});
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    MidiFile output;
    std::string error;
    ASSERT_TRUE(LoadMidiFile(scratch.Path("out.mid"), &output, &error)) << error;
    std::vector<uint32_t> onTicks;
    for (const MidiEvent& e : output.tracks[1].events)
      if (e.IsNoteOn()) onTicks.push_back(e.tick);
    // 900 is half a beat at 120 bpm (30 ticks) plus 210 ticks at 60 bpm after the change.
    EXPECT_EQ(onTicks, (std::vector<uint32_t>{1170, 1440, 1441}));
  }
}
#endif
