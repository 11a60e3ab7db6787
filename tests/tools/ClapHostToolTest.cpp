// cyclochord-host with CLAP files: info, render timing and settings, the transport, and files that are no CLAP.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>

#include "ClapTransport.h"
#include "MidiFileReader.h"
#include "MidiFileWriter.h"
#include "PresetFile.h"
#include "ToolTestSupport.h"

using namespace cchost;
using namespace cchost_test;

namespace {

const std::string kEcho = ModulePath("ClapEcho.clap");

// The echo plug-in's state for a delay, as it saves it.
std::vector<uint8_t> EchoState(uint32_t delay) {
  return {'E', 'C', 'H', 'O', 1, 0, 0, 0, uint8_t(delay), uint8_t(delay >> 8), uint8_t(delay >> 16), 0};
}

class ClapTool : public ::testing::Test {
 protected:
  void SetUp() override {
    // 120 bpm at 480 ticks per beat and 48 kHz: 50 frames per tick.
    WriteBytes(Path("in.mid"),
               WriteMidiFile(OneTrackFile({On(0, 60), On(10, 64, 90, 2), Off(480, 60), Off(490, 64, 2)})));
    FxProgram program;
    program.opaqueChunk = true;
    program.name = "late";
    program.chunk = EchoState(48000);
    WriteBytes(Path("late.fxp"), WriteProgramFile(program));
  }
  std::string Path(const std::string& name) const { return mScratch.Path(name); }
  ToolRun Render(const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {"render", kEcho, Path("in.mid"), "-o", Path(out), "--rate", "48000"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  }
  // The output track's events as (tick, status, note).
  std::vector<std::array<int, 3>> OutputEvents(const std::string& name) {
    MidiFile file;
    std::string error;
    EXPECT_TRUE(LoadMidiFile(Path(name), &file, &error)) << error;
    std::vector<std::array<int, 3>> events;
    if (file.tracks.size() < 2) return events;
    for (const MidiEvent& e : file.tracks[1].events)
      if (e.kind == MidiEventKind::kChannel) events.push_back({int(e.tick), e.status, e.data1});
    return events;
  }
  ScratchFolder mScratch;
};

TEST_F(ClapTool, InfoShowsDescriptorPortsParametersAndCurrentValues) {
  ToolRun run = RunTool({"info", kEcho});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* line :
       {"id            com.larkspire.clap-echo", "name          Clap Echo", "features      note-effect utility",
        "dialects clap midi (prefers midi)", "parameters    1", "Echo delay", "Timing", "0 .. 48000 (1000)",
        "1000 frames", "flags: stepped automatable", "state         yes", "editor        x11 embedded"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
  run = RunTool({"info", kEcho, Path("late.fxp")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("48000 frames"), std::string::npos) << run.out;
}

// A host's preset browser finds what the plug-in's discovery offers where it is installed, bad files reported.
TEST_F(ClapTool, InfoListsThePresetsAHostWouldFind) {
  ToolRun run = RunTool({"info", kEcho});
  EXPECT_NE(run.out.find("presets       none found"), std::string::npos) << run.out;

  const std::filesystem::path prefix = std::filesystem::u8path(Path("prefix"));
  const std::filesystem::path presets = prefix / "share" / "cyclochord" / "presets";
  std::filesystem::create_directories(prefix / "lib" / "clap");
  std::filesystem::create_directories(presets);
  std::filesystem::copy_file(std::filesystem::u8path(ModulePath("Cyclochord.clap")), prefix / "lib" / "clap" / "Cyclochord.clap");
  std::filesystem::copy_file(std::filesystem::path(CYCLOCHORD_SOURCE_DIR) / "presets" / "rotating-triads.fxp",
                             presets / "rotating-triads.fxp");
  WriteBytes((presets / "broken.fxp").u8string(), {'C', 'c', 'n', 'K'});
  WriteBytes((presets / "notes.txt").u8string(), {'x'});
  run = RunTool({"info", (prefix / "lib" / "clap" / "Cyclochord.clap").u8string()});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const std::string& line :
       {"presets       Factory presets: " + presets.generic_u8string() + " (factory content), 1 found\n",
        std::string("  Rotating triads (rotating-triads.fxp)\n"), std::string("  not a preset: broken.fxp: ")})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
  EXPECT_EQ(run.out.find("notes.txt"), std::string::npos) << "only files of the declared type are read";
}

TEST_F(ClapTool, EchoesLandOnTheirFrameWhateverTheBlockSize) {
  ToolRun run = Render("ref.mid", {"--set", "Echo delay=24000"});
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  EXPECT_NE(run.out.find("set           Echo delay = 24000 frames"), std::string::npos) << run.out;
  // 24000 frames are 480 ticks; on one frame the plug-in sends the echo that waited before the new input.
  const std::vector<std::array<int, 3>> expected = {{0, 0x90, 60},   {10, 0x92, 64},  {480, 0x90, 60}, {480, 0x80, 60},
                                                    {490, 0x92, 64}, {490, 0x82, 64}, {960, 0x80, 60}, {970, 0x82, 64}};
  EXPECT_EQ(OutputEvents("ref.mid"), expected);
  const std::vector<uint8_t> reference = ReadBytes(Path("ref.mid"));
  for (const char* block : {"1", "7", "511", "4096"}) {
    run = Render("b.mid", {"--set", "Echo delay=24000", "--block", block});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(Path("b.mid")), reference) << "block " << block;
  }
}

TEST_F(ClapTool, SettingsAndPresetsReachThePlugin) {
  const std::vector<uint8_t> reference = [&] {
    EXPECT_EQ(Render("ref.mid", {"--set", "Echo delay=24000"}).status, 0);
    return ReadBytes(Path("ref.mid"));
  }();
  // The name as the plug-in gives it, in other cases, with its module, run together as VST short names are, or
  // the id; the value as text, with its unit, or as the plug-in prints it.
  const std::vector<std::vector<std::string>> kSame = {{"--set", "echo delay=24000 frames"},
                                                       {"--set", "Timing/Echo delay=24000"},
                                                       {"--set", "EchoDelay=24000"},
                                                       {"--set", "7= 24000 "},
                                                       {"--load-fxp", Path("late.fxp"), "--set", "Echo delay=24000"}};
  for (const auto& settings : kSame) {
    const ToolRun run = Render("same.mid", settings);
    ASSERT_EQ(run.status, 0) << settings[1] << ": " << run.err;
    EXPECT_EQ(ReadBytes(Path("same.mid")), reference) << settings[1];
  }
  ToolRun run = Render("late.mid", {"--load-fxp", Path("late.fxp")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(OutputEvents("late.mid")[2], (std::array<int, 3>{480, 0x80, 60})) << "no echo before 960 ticks";
  EXPECT_EQ(OutputEvents("late.mid").size(), 8u);
}

TEST_F(ClapTool, BadFilesSettingsAndOptionsAreRefused) {
  WriteBytes(Path("text.clap"), {'n', 'o', 't', ' ', 'E', 'L', 'F'});
  WriteBytes(Path("state.fxp"), WriteProgramFile(FxProgram()));
  const struct {
    std::vector<std::string> args;
    const char* message;
  } kCases[] = {
      {{"render", Path("text.clap"), Path("in.mid"), "-o", Path("x.mid")}, "not a loadable plug-in module"},
      {{"render", ModulePath("NoEntry.clap"), Path("in.mid"), "-o", Path("x.mid")}, "exports no clap_entry"},
      {{"info", ModulePath("NoEntry.clap")}, "exports no clap_entry"},
      {{"render", Path("missing.clap"), Path("in.mid"), "-o", Path("x.mid")}, "missing.clap: No such file"},
      {{"render", kEcho, Path("in.mid"), "-o", Path("x.mid"), "--set", "Delay=5"},
       "unknown parameter 'Delay' for Clap Echo; parameters: Timing/Echo delay"},
      {{"render", kEcho, Path("in.mid"), "-o", Path("x.mid"), "--set", "Echo delay=soon"},
       "'soon' is no value of Echo delay (0 frames .. 48000 frames)"},
      {{"render", kEcho, Path("in.mid"), "-o", Path("x.mid"), "--set", "Echo delay=-1"}, "no value of Echo delay"},
      {{"render", kEcho, Path("in.mid"), "-o", Path("x.mid"), "--load-fxp", Path("state.fxp")},
       "holds VST parameter values"},
      {{"render", kEcho, Path("in.mid"), "-o", Path("x.mid"), "--program", "1"}, "--program works with VST"},
      {{"info", kEcho, Path("in.mid")}, "in.mid"},
  };
  for (const auto& c : kCases) {
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.status, 1) << c.args[1];
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
  }
  EXPECT_FALSE(FileExists(Path("x.mid")));
  // A preset the plug-in rejects (another plug-in's chunk) is an error, not a silent default.
  FxProgram other;
  other.opaqueChunk = true;
  other.chunk = {1, 2, 3};
  WriteBytes(Path("other.fxp"), WriteProgramFile(other));
  const ToolRun run = Render("x.mid", {"--load-fxp", Path("other.fxp")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Clap Echo refused the state"), std::string::npos) << run.err;
}

TEST(ClapTransport, CarriesTheVstTransportFieldForField) {
  const struct {
    double ppq, barStart, samplePos, tempo;
    int num, denom;
    bool playing;
    int32_t bar;
  } kCases[] = {{0.0, 0.0, 44100.0, 120.0, 4, 4, true, 0},
                {-1.0, -4.0, 0.0, 120.0, 4, 4, true, -1},  // preroll: before the song's first bar
                {13.5, 12.0, 300000.0, 97.25, 3, 4, true, 4},
                {7.25, 6.0, 123.0, 60.0, 6, 8, false, 2}};
  for (const auto& c : kCases) {
    VstTimeInfo info = {};
    info.ppqPos = c.ppq;
    info.barStartPos = c.barStart;
    info.samplePos = c.samplePos;
    info.sampleRate = 44100.0;
    info.tempo = c.tempo;
    info.timeSigNumerator = c.num;
    info.timeSigDenominator = c.denom;
    info.flags =
        kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid | (c.playing ? kVstTransportPlaying : 0);
    const clap_event_transport_t t = ClapTransportFrom(info);
    EXPECT_EQ(t.header.type, CLAP_EVENT_TRANSPORT);
    EXPECT_EQ(t.header.size, sizeof(t));
    EXPECT_EQ(t.header.time, 0u);
    EXPECT_EQ(bool(t.flags & CLAP_TRANSPORT_IS_PLAYING), c.playing);
    EXPECT_EQ(t.flags & 15u, 15u) << "tempo, beats, seconds and signature are always given";
    EXPECT_EQ(double(t.song_pos_beats) / CLAP_BEATTIME_FACTOR, c.ppq);
    EXPECT_EQ(double(t.bar_start) / CLAP_BEATTIME_FACTOR, c.barStart);
    EXPECT_EQ(std::llround(double(t.song_pos_seconds) / CLAP_SECTIME_FACTOR * 44100.0), std::llround(c.samplePos));
    EXPECT_EQ(t.tempo, c.tempo);
    EXPECT_EQ(t.tsig_num, c.num);
    EXPECT_EQ(t.tsig_denom, c.denom);
    EXPECT_EQ(t.bar_number, c.bar) << c.barStart;
  }
}

}  // namespace
